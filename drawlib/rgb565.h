#pragma once
// Colours and 16-bit 5-6-5 pixels. A colour is 32 bits: byte 0 red, byte 1
// green, byte 2 blue, byte 3 alpha (0 transparent, 0xFF opaque). A pixel keeps
// red in bits 11-15, green in bits 5-10 and blue in bits 0-4.
#include <cstdint>

constexpr uint16_t PackRGB565(unsigned r, unsigned g, unsigned b)
{
    return static_cast<uint16_t>(((r & 0xFF) >> 3) << 11 | ((g & 0xFF) >> 2) << 5 | ((b & 0xFF) >> 3));
}
constexpr unsigned UnpackRed(uint16_t p) { return static_cast<unsigned>(p >> 11) << 3; }
constexpr unsigned UnpackGreen(uint16_t p) { return (static_cast<unsigned>(p >> 5) << 2) & 0xFF; }
constexpr unsigned UnpackBlue(uint16_t p) { return (static_cast<unsigned>(p) << 3) & 0xFF; }

constexpr unsigned ColourAlpha(uint32_t colour) { return colour >> 24; }
constexpr uint16_t ColourToPixel(uint32_t colour)
{
    return PackRGB565(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}
// The pixel repeated in both halves of a 32-bit word, for paired writes.
constexpr uint32_t FillValue(uint16_t pixel) { return static_cast<uint32_t>(pixel) * 0x10001u; }

// Blends the source fields into the pixel with alpha a (0-255), channel by
// channel on the packed fields: d + (s - d) * a / 256.
constexpr uint16_t BlendFields(uint16_t d, unsigned sr5, unsigned sg6, unsigned sb5, unsigned a)
{
    const int dr = d >> 11, dg = (d >> 5) & 0x3F, db = d & 0x1F;
    const int ia = static_cast<int>(a);
    const int r = (dr * 256 + (static_cast<int>(sr5) - dr) * ia) >> 8;
    const int g = (dg * 256 + (static_cast<int>(sg6) - dg) * ia) >> 8;
    const int b = (db * 256 + (static_cast<int>(sb5) - db) * ia) >> 8;
    return static_cast<uint16_t>(r << 11 | g << 5 | b);
}
constexpr uint16_t BlendPixel(uint16_t d, uint16_t s, unsigned a)
{
    return BlendFields(d, s >> 11, (s >> 5) & 0x3F, s & 0x1F, a);
}
