#pragma once

// Helpers of the kernel rendering tests: images as rows of characters, so a
// golden picture is written and checked by eye in the test source, and PNG
// dumps for a closer look (set TRAVENOR_RENDER_DUMP to a folder).

#include <QImage>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "kernel/render/image_foundation.h"

namespace render_test {

// One character per pixel, from `legend` (pixel value to character); pixels
// not in the legend show as '?'.
inline std::vector<std::string> Picture(
    const CZX_ImageFoundation& image, const std::map<uint16_t, char>& legend)
{
    std::vector<std::string> rows;
    const CZX_Surface565* s = image.Surface();
    for (int32_t y = 0; y < s->Height(); ++y) {
        std::string row;
        for (int32_t x = 0; x < s->Width(); ++x) {
            const auto it = legend.find(s->Pixel(x, y));
            row += it == legend.end() ? '?' : it->second;
        }
        rows.push_back(row);
    }
    return rows;
}

inline QImage ToQImage(const CZX_ImageFoundation& image)
{
    const CZX_Surface565* s = image.Surface();
    QImage out(s->Width(), s->Height(), QImage::Format_RGB16);
    for (int32_t y = 0; y < s->Height(); ++y)
        for (int32_t x = 0; x < s->Width(); ++x)
            reinterpret_cast<uint16_t*>(out.scanLine(y))[x] = s->Pixel(x, y);
    return out;
}

inline void DumpPng(const CZX_ImageFoundation& image, const std::string& name, int zoom = 1)
{
    const char* dir = std::getenv("TRAVENOR_RENDER_DUMP");
    if (dir == nullptr)
        return;
    QImage out = ToQImage(image);
    if (zoom > 1)
        out = out.scaled(out.width() * zoom, out.height() * zoom);
    out.save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
}

} // namespace render_test
