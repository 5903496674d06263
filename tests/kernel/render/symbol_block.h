#pragma once
// Symbol image sets written word by word, for golden blocks and frame tests.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "kernel/doc/little_endian.h"
#include "kernel/render/symbol_set.h"

namespace render_test {

// Writes a symbol image set by its word layout, for golden blocks.
struct BlockWriter {
    std::vector<uint8_t> bytes;

    void Word(uint32_t v)
    {
        uint8_t b[4];
        ZXS_PutLe32(b, v);
        bytes.insert(bytes.end(), b, b + 4);
    }
    void Half(uint16_t v)
    {
        uint8_t b[2];
        ZXS_PutLe16(b, v);
        bytes.insert(bytes.end(), b, b + 2);
    }
    BlockWriter& Start(uint32_t magic = CZXS_SymbolSet::kMagic, uint32_t version = 1)
    {
        Word(magic);
        Word(version);
        return *this;
    }
    BlockWriter& Entry(uint32_t number, uint32_t group, uint32_t images)
    {
        Word(number | group << 14 | images << 16);
        return *this;
    }
    // `pixels`: one string per row of frame 0, each character a palette index
    // digit; `mask`: 'x' where transparent. Later frames repeat frame 0.
    BlockWriter& Image(int16_t anchorX, int16_t anchorY, uint8_t bits, std::vector<uint32_t> palette,
        const std::vector<std::string>& pixels, const std::vector<std::string>& mask, uint16_t extra = 0,
        uint16_t frames = 1)
    {
        const uint16_t w = static_cast<uint16_t>(pixels[0].size()), h = static_cast<uint16_t>(pixels.size());
        Half(w);
        Half(h);
        Half(static_cast<uint16_t>(anchorX));
        Half(static_cast<uint16_t>(anchorY));
        Half(0x5555); // not read
        bytes.push_back(bits);
        bytes.push_back(static_cast<uint8_t>(palette.size()));
        Half(extra);
        Half(frames);
        Word(0xdeadbeef); // not read
        for (uint32_t c : palette)
            Word(c);
        for (uint16_t i = 0; i < extra; ++i)
            Word(0xcafef00d);
        const uint32_t rowWords = (w * bits + 31) / 32;
        for (uint16_t f = 0; f < frames; ++f) {
            for (const std::string& row : pixels) {
                std::vector<uint8_t> rowBytes(rowWords * 4, 0);
                for (uint32_t x = 0; x < w; ++x) {
                    const uint32_t v = static_cast<uint32_t>(row[x] - '0');
                    if (bits == 8) {
                        rowBytes[x] = static_cast<uint8_t>(v);
                    } else {
                        const uint32_t bit = x * bits;
                        const uint32_t word = bit / 32, shift = 32 - bits - bit % 32;
                        for (int b = 0; b < 4; ++b)
                            rowBytes[word * 4 + b] |= static_cast<uint8_t>((v << shift) >> (8 * b));
                    }
                }
                bytes.insert(bytes.end(), rowBytes.begin(), rowBytes.end());
            }
        }
        for (uint16_t f = 0; f < frames; ++f) {
            for (const std::string& row : mask) {
                for (uint32_t word = 0; word < (w + 31u) / 32; ++word) {
                    uint32_t v = 0;
                    for (uint32_t x = word * 32; x < std::min<uint32_t>(w, word * 32 + 32); ++x)
                        if (row[x] == 'x')
                            v |= 1u << (31 - x % 32);
                    Word(v);
                }
            }
        }
        return *this;
    }
    BlockWriter& End()
    {
        Word(0);
        return *this;
    }
};

} // namespace render_test
