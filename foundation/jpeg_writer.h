#pragma once
// Screen shots as JPEG files, through libjpeg.
#include <QString>

#include <cstdint>

// Compresses `height` rows of `width` pixels (3 bytes each, R, G, B, rows top
// to bottom without padding) at `quality` into the file at `path` (a device
// or local path). On failure the result is false, the text of the failure is
// kept for GetJpegErrorText, and no partial file is left (an old file at the
// path stays as it was).
bool SaveJpegFile(const QString& path, int width, int height, int quality, const uint8_t* pixels);

// The text of the last failure (or warning) of the JPEG writer; empty when there was none.
QString GetJpegErrorText();
