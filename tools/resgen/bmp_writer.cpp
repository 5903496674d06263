#include "tools/resgen/bmp_writer.h"
#include "tools/resgen/le_bytes.h"

#include <QSaveFile>

namespace resgen {

namespace {

// The colour a pixel is written with: key pixels magenta, the rest opaque.
void PixelColour(QRgb p, bool keyed, int* r, int* g, int* b)
{
    const int a = qAlpha(p);
    if (keyed && a < kKeyAlphaThreshold) {
        *r = 255;
        *g = 0;
        *b = 255;
        return;
    }
    if (keyed) {
        *r = qRed(p);
        *g = qGreen(p);
        *b = qBlue(p);
        // The loader keeps 5-6-5 bits; an opaque pixel must not land on the key.
        if ((*r >> 3) == 31 && (*g >> 2) == 0 && (*b >> 3) == 31)
            *g = 4;
        return;
    }
    // Over white, so a picture without a key never shows stray transparency.
    *r = (qRed(p) * a + 255 * (255 - a)) / 255;
    *g = (qGreen(p) * a + 255 * (255 - a)) / 255;
    *b = (qBlue(p) * a + 255 * (255 - a)) / 255;
}

} // namespace

QByteArray EncodeBmp24(const QImage& source, bool keyed, int pixelsPerMetre)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const quint32 pixelBytes = quint32(rowBytes) * quint32(height);
    const quint32 pixelOffset = 14 + 40;

    QByteArray out;
    out.reserve(int(pixelOffset + pixelBytes));
    out.append("BM", 2);
    Put32(out, pixelOffset + pixelBytes); // file size
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, pixelOffset);
    Put32(out, 40); // biSize
    Put32(out, quint32(width));
    Put32(out, quint32(height)); // positive: rows bottom-up
    Put16(out, 1); // planes
    Put16(out, 24); // bits per pixel
    Put32(out, 0); // BI_RGB
    Put32(out, pixelBytes);
    Put32(out, quint32(pixelsPerMetre));
    Put32(out, quint32(pixelsPerMetre));
    Put32(out, 0); // colours used
    Put32(out, 0); // colours important
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            int r, g, b;
            PixelColour(line[x], keyed, &r, &g, &b);
            out.append(char(b));
            out.append(char(g));
            out.append(char(r));
        }
        for (int pad = width * 3; pad < rowBytes; ++pad)
            out.append('\0');
    }
    return out;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

} // namespace resgen
