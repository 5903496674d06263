#pragma once
// Helpers for the draw tool and glyph font tests: strips written as resource
// bitmaps, and a reader that turns text drawn with an encoded strip back into
// characters.
#include "drawlib/draw_tool.h"
#include "drawlib/rgb565.h"
#include "tests/support/bmp_builder.h"
#include "tests/support/scoped_screen.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// Writes "<folder>/<id>.bmp", 24 bits; `pixel(x, y)` gives 0xRRGGBB from the top row.
inline bool WriteStrip(
    const QString& folder, int id, int width, int height, const std::function<uint32_t(int, int)>& pixel)
{
    testbmp::Layout layout;
    layout.width = width;
    layout.height = height;
    layout.bits = 24;
    const std::vector<uint8_t> bytes = testbmp::MakeFile(layout, pixel);
    QFile file(QDir(folder).filePath(QStringLiteral("%1.bmp").arg(id)));
    return file.open(QIODevice::WriteOnly)
        && file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()))
        == qint64(bytes.size());
}

inline uint32_t RgbOf(uint16_t pixel)
{
    return UnpackRed(pixel) << 16 | UnpackGreen(pixel) << 8 | UnpackBlue(pixel);
}

// An encoded strip: every pixel of glyph g of font f (0 main, 1 digits) tells
// its glyph, column and row, so that what is drawn can be read back exactly.
// The space glyph is key colour, like the real strips' background.
namespace encoded {

inline constexpr int kWidth = 8;
inline constexpr int kHeight = 10;

inline uint16_t Pixel(int font, int glyph, int column, int row)
{
    return uint16_t(1 + (((font * 160 + glyph) * kWidth + column) << 4 | row));
}

inline bool WriteFontStrip(const QString& folder, int id, int font, const std::u16string& set)
{
    return WriteStrip(folder, id, kWidth * int(set.size()), kHeight, [&](int x, int y) -> uint32_t {
        const int glyph = x / kWidth;
        if (set[size_t(glyph)] == u' ')
            return 0xFF00FF;
        return RgbOf(Pixel(font, glyph, x % kWidth, y));
    });
}

// The drawn text, one string per text line: "top,left:text". A digit drawn
// from the digit font is written "~d"; a glyph drawn only in part is followed
// by [first-last column] and/or {first-last row}; an empty cell is a space.
inline std::vector<std::string> Read(
    CDrawTool& tool, const std::u16string& mainSet, const std::u16string& digitSet)
{
    struct Cell {
        int font = 0, glyph = 0;
        std::set<int> columns, rows;
    };
    std::map<int, std::map<int, Cell>> lines; // top -> left -> cell
    for (int y = 0; y < tool.GetHeight(); ++y)
        for (int x = 0; x < tool.GetWidth(); ++x) {
            const int32_t colour = tool.GetPixel(x, y, false);
            const uint16_t p = PackRGB565(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
            if (p == 0)
                continue;
            const int v = p - 1, row = v & 15, column = (v >> 4) % kWidth, glyph = (v >> 4) / kWidth;
            Cell& cell = lines[y - row][x - column];
            cell.font = glyph / 160;
            cell.glyph = glyph % 160;
            cell.columns.insert(column);
            cell.rows.insert(row);
        }
    auto utf8 = [](char16_t c) { return QString(QChar(c)).toStdString(); };
    std::vector<std::string> out;
    for (const auto& [top, cells] : lines) {
        const int left = cells.begin()->first;
        std::string text = std::to_string(top) + "," + std::to_string(left) + ":";
        int next = left;
        for (const auto& [x, cell] : cells) {
            for (; next < x; next += kWidth)
                text += ' ';
            next = x + kWidth;
            const std::u16string& set = cell.font ? digitSet : mainSet;
            // Appended piece by piece: GCC 12 at -O3 takes "literal" + std::string
            // for a copy of impossible size (-Wstringop-overflow).
            auto range = [&text](char open, const std::set<int>& values, char close) {
                text += open;
                text += std::to_string(*values.begin());
                text += '-';
                text += std::to_string(*values.rbegin());
                text += close;
            };
            if (cell.font)
                text += '~';
            text += utf8(set[size_t(cell.glyph)]);
            if (int(cell.columns.size()) != kWidth)
                range('[', cell.columns, ']');
            if (int(cell.rows.size()) != kHeight)
                range('{', cell.rows, '}');
        }
        out.push_back(text);
    }
    return out;
}

} // namespace encoded
