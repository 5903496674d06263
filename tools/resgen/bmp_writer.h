#pragma once
// Writes a picture as an uncompressed 24-bit BMP file: a 14-byte file header,
// a 40-byte BITMAPINFOHEADER and the rows bottom-up, each padded to a multiple
// of 4 bytes. Pictures with a transparent area use the key colour magenta
// (0xFF00FF) there, as the program's image loader expects.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace resgen {

// Alpha below this counts as transparent in a keyed picture; edges drawn
// with antialiasing keep their colour instead of blending into magenta.
inline constexpr int kKeyAlphaThreshold = 110;

// Encodes `image`. With `keyed`, pixels whose alpha is below the threshold
// become magenta and opaque pixels are kept from turning into the key once
// the loader truncates them to 5-6-5; without it, transparency is composed
// over white.
QByteArray EncodeBmp24(const QImage& image, bool keyed, int pixelsPerMetre);

// Writes the bytes to `path` through a temporary file; false on failure.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace resgen
