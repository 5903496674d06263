#include "tools/mapc/styles.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>

#include "tools/mapc/layers.h"
#include "tools/mapc/osm_data.h"

namespace mapc {

namespace {

// tools/mapc/map_styles.tsv, built in.
constexpr std::string_view kStyleTable =
#include "map_styles_tsv.inc"
    ;

constexpr const char* kColumns[] = { "layer", "below", "flags", "label", "line", "width", "dashed", "centre",
    "centre_width", "outline", "fill", "omit", "arrows" };
constexpr size_t kColumnCount = std::size(kColumns);

std::vector<std::string_view> Split(std::string_view line, char separator)
{
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t end = line.find(separator, start);
        parts.push_back(
            line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

class RowReader {
public:
    // `at` gives each column's place in the row.
    RowReader(int lineNumber, const std::vector<std::string_view>& cells, const size_t (&at)[kColumnCount])
        : m_line(lineNumber)
        , m_cells(cells)
        , m_at(at)
    {
    }

    std::string_view Cell(size_t column) const { return m_cells[m_at[column]]; }

    [[noreturn]] void Fail(size_t column, const std::string& what) const
    {
        throw CompileError("map_styles.tsv line " + std::to_string(m_line) + ", column " + kColumns[column]
            + ": " + what + " (\"" + std::string(Cell(column)) + "\")");
    }

    uint32_t Number(size_t column, uint32_t max) const
    {
        const std::string_view text = Cell(column);
        if (text == "-")
            return 0;
        uint32_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || value > max)
            Fail(column, "not a number from 0 to " + std::to_string(max));
        return value;
    }

    uint32_t Colour(size_t column) const
    {
        const std::string_view text = Cell(column);
        if (text == "-")
            return 0;
        uint32_t value = 0;
        if (text.size() != 7 || text[0] != '#')
            Fail(column, "not a colour #RRGGBB");
        const auto [end, error] = std::from_chars(text.data() + 1, text.data() + text.size(), value, 16);
        if (error != std::errc() || end != text.data() + text.size())
            Fail(column, "not a colour #RRGGBB");
        return value;
    }

    bool Yes(size_t column) const
    {
        if (Cell(column) != "yes" && Cell(column) != "-")
            Fail(column, "neither yes nor -");
        return Cell(column) == "yes";
    }

private:
    int m_line;
    const std::vector<std::string_view>& m_cells;
    const size_t (&m_at)[kColumnCount];
};

StyleSpec ParseRow(const RowReader& row)
{
    enum {
        layer,
        below,
        flags,
        label,
        line,
        width,
        dashed,
        centre,
        centreWidth,
        outline,
        fill,
        omit,
        arrows
    };
    for (size_t column = 0; column < kColumnCount; ++column) {
        if (row.Cell(column).empty())
            row.Fail(column, "empty; write - for none");
    }
    StyleSpec s;
    const int l = LayerOfKey(row.Cell(layer));
    if (l < 0)
        row.Fail(layer, "no such layer");
    s.group = kLayers[l].group;
    if (row.Cell(below) != "any") {
        const uint32_t scale = row.Number(below, UINT32_MAX);
        if (scale == 0)
            row.Fail(below, "a scale is a positive number or any");
        s.threshold = static_cast<float>(128.0 / scale);
    }
    for (char c : row.Cell(flags) == "-" ? std::string_view() : row.Cell(flags)) {
        constexpr std::string_view letters = "DSLA";
        constexpr uint8_t bits[] = { 0x20, 0x40, 0x10, 0x80 };
        const size_t found = letters.find(c);
        if (c == 'O')
            s.flags2 |= 0x20; // drawn only where the road has a passage setting
        else if (found == std::string_view::npos)
            row.Fail(flags, "flags are the letters D, S, L, A and O, or -");
        else
            s.flags |= bits[found];
    }
    s.labelSize = static_cast<uint8_t>(row.Number(label, 255));
    s.line = row.Colour(line);
    s.width = static_cast<uint8_t>(row.Number(width, 255));
    s.dashed = row.Yes(dashed);
    s.centre = row.Colour(centre);
    s.centreWidth = static_cast<uint8_t>(row.Number(centreWidth, 255));
    s.outline = static_cast<uint8_t>(row.Number(outline, 255));
    s.fill = row.Colour(fill);
    if (row.Cell(omit) != "-") {
        for (std::string_view part : Split(row.Cell(omit), ',')) {
            if (part == "outline")
                s.flags2 |= 0x10;
            else if (part == "fill")
                s.flags2 |= 0x08;
            else
                row.Fail(omit, "omit is outline, fill or -");
        }
    }
    s.lastFlags = row.Yes(arrows) ? 0x01 : 0x00;
    return s;
}

} // namespace

std::vector<StyleSpec> ParseStyles(std::string_view table)
{
    std::vector<StyleSpec> styles;
    size_t at[kColumnCount] = {};
    bool header = false;
    int lineNumber = 0;
    for (std::string_view line : Split(table, '\n')) {
        ++lineNumber;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty() || line.starts_with('#'))
            continue;
        const std::vector<std::string_view> cells = Split(line, '\t');
        const std::string where = "map_styles.tsv line " + std::to_string(lineNumber) + ": ";
        if (!header) {
            for (size_t c = 0; c < kColumnCount; ++c) {
                const auto it = std::find(cells.begin(), cells.end(), kColumns[c]);
                if (it == cells.end())
                    throw CompileError(where + "the header has no column " + kColumns[c]);
                at[c] = static_cast<size_t>(it - cells.begin());
            }
            header = true;
            continue;
        }
        if (cells.size() != kColumnCount)
            throw CompileError(where + std::to_string(cells.size()) + " cells where the header has "
                + std::to_string(kColumnCount));
        styles.push_back(ParseRow(RowReader(lineNumber, cells, at)));
    }
    if (styles.empty())
        throw CompileError("map_styles.tsv holds no style");
    return styles;
}

std::array<uint8_t, 44> StyleBytes(const StyleSpec& s)
{
    std::array<uint8_t, 44> b {};
    uint32_t bits = 0;
    std::memcpy(&bits, &s.threshold, sizeof bits);
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<uint8_t>(bits >> (8 * i));
    b[4] = s.group;
    b[5] = s.flags2;
    b[6] = s.flags;
    b[7] = s.labelSize;
    auto rgb = [&](int at, uint32_t c) {
        b[at] = static_cast<uint8_t>(c >> 16);
        b[at + 1] = static_cast<uint8_t>(c >> 8);
        b[at + 2] = static_cast<uint8_t>(c);
    };
    rgb(14, s.line);
    b[17] = s.width;
    b[18] = s.dashed ? 1 : 0;
    rgb(20, s.centre);
    b[23] = s.centreWidth;
    b[29] = s.outline;
    rgb(32, s.fill);
    b[40] = s.lastFlags;
    return b;
}

std::vector<std::array<uint8_t, 44>> Styles()
{
    std::vector<std::array<uint8_t, 44>> styles;
    for (const StyleSpec& s : ParseStyles(kStyleTable))
        styles.push_back(StyleBytes(s));
    return styles;
}

mapwriter::Symbol LocalitySymbol()
{
    // A 7 x 7 ring with a dot, bottom row first.
    mapwriter::Symbol s;
    s.width = 7;
    s.height = 7;
    s.number = 1;
    s.symbolClass = 1;
    s.rows = { 0x38, 0x44, 0x92, 0xBA, 0x92, 0x44, 0x38 };
    return s;
}

} // namespace mapc
