#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/mapwriter/map_writer.h"

// How the map draws its layers: the styles table (tools/mapc/map_styles.tsv)
// and the locality symbol.
namespace mapc {

struct StyleSpec {
    uint8_t group = 0;
    float threshold = 0; // drawn when one map unit is more pixels than this
    uint8_t flags = 0; // 0x20 drawable, 0x40 searchable, 0x10 labelled, 0x80 area labels
    uint8_t flags2 = 0; // 0x08 no fill, 0x10 no outline, 0x20 only roads with a passage setting
    uint8_t labelSize = 0;
    uint32_t line = 0; // 0xRRGGBB
    uint8_t width = 0;
    uint32_t centre = 0;
    uint8_t centreWidth = 0;
    uint8_t outline = 0;
    uint32_t fill = 0;
    uint8_t lastFlags = 0; // 0x01 one-way arrows
    bool dashed = false;
};

// The rows of a styles table in its text form, in order. Throws CompileError
// naming the line and the column of the first thing wrong.
std::vector<StyleSpec> ParseStyles(std::string_view table);

// A style as the map stores it.
std::array<uint8_t, 44> StyleBytes(const StyleSpec& s);

// The styles of every compiled map: the table built into the compiler.
std::vector<std::array<uint8_t, 44>> Styles();

// The symbol of the localities layer.
mapwriter::Symbol LocalitySymbol();

} // namespace mapc
