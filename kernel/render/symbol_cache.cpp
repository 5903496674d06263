#include "kernel/render/symbol_cache.h"

#include <algorithm>

#include "kernel/api/result_codes.h"
#include "kernel/doc/kernel_memory.h"
#include "kernel/doc/little_endian.h"
#include "kernel/render/image_foundation.h"

namespace {

} // namespace

void CZXS_SymbolCache::FreeBlock::operator()(void* p) const { ZXS_MemFree(p); }

int32_t CZXS_SymbolCache::Decode(int group, int32_t number)
{
    if (!m_indexes) {
        const int64_t size = std::max<int64_t>(1, m_set.LargestPixels());
        m_indexes.reset(static_cast<uint8_t*>(ZXS_MemAlloc(static_cast<size_t>(size))));
        m_colours.reset(static_cast<uint16_t*>(ZXS_MemAlloc(256 * sizeof(uint16_t))));
        if (!m_indexes || !m_colours) {
            Release();
            return ZXS_ERR_MEMORY;
        }
        m_indexSize = size;
    }
    if (number == m_number && group == m_group)
        return 0;
    m_number = number;
    m_group = group;
    m_width = m_height = 0;
    if (group < 0 || group >= CZXS_SymbolSet::kGroups)
        return ZXS_KERR_SYMBOLRANGE;
    // A group without images has no table at all: every number of it is missing.
    const int32_t largest = m_set.LargestNumber(group);
    if (number < 0 || number > std::max(largest, 0))
        return ZXS_KERR_SYMBOLRANGE;
    CZXS_SymbolSet::Image image;
    if (!m_set.FirstImage(group, number, image)
        || static_cast<int64_t>(image.width) * image.height > m_indexSize)
        return ZXS_KERR_NOSYMBOL;

    const uint32_t b = image.bitsPerPixel;
    uint8_t* out = m_indexes.get();
    for (uint32_t row = 0; row < image.height; ++row) {
        const uint8_t* pixels = image.pixels + 4 * static_cast<size_t>(row) * image.PixelRowWords();
        const uint8_t* mask = image.mask + 4 * static_cast<size_t>(row) * image.MaskRowWords();
        for (uint32_t x = 0; x < image.width; ++x) {
            uint32_t value;
            if (b == 8) {
                value = pixels[x];
            } else {
                // Packed from the most significant bit of each 32-bit word down.
                const uint32_t bit = x * b;
                value = (ZXS_Le32(pixels + 4 * (bit / 32)) >> (32 - b - bit % 32)) & ((1u << b) - 1);
            }
            const bool transparent = (ZXS_Le32(mask + 4 * (x / 32)) >> (31 - x % 32)) & 1;
            // A value past the palette has no colour: left transparent.
            *out++ = transparent || value >= image.paletteLength ? kTransparent : static_cast<uint8_t>(value);
        }
    }
    for (uint32_t i = 0; i < image.paletteLength; ++i)
        m_colours[i] = CZX_Surface565::ColourFromBgr(ZXS_Le32(image.palette + 4 * i));
    m_width = static_cast<int16_t>(image.width);
    m_height = static_cast<int16_t>(image.height);
    m_anchorX = image.anchorX;
    m_anchorY = image.anchorY;
    return 0;
}

void CZXS_SymbolCache::Draw(CZX_ImageFoundation& image, int32_t number, int32_t x, int32_t y)
{
    CZX_Surface565* surface = image.Surface();
    if (surface == nullptr || m_set.IsEmpty() || Decode(0, number) != 0)
        return;
    const int64_t left = static_cast<int64_t>(x) - m_anchorX;
    const int64_t top = static_cast<int64_t>(y) - m_anchorY;
    for (int32_t row = 0; row < m_height; ++row) {
        const int64_t py = top + row;
        if (py < 0 || py >= surface->Height())
            continue;
        for (int32_t col = 0; col < m_width; ++col) {
            const int64_t px = left + col;
            const uint8_t index = Index(col, row);
            if (px >= 0 && px < surface->Width() && index != kTransparent)
                surface->SetPixel(static_cast<int32_t>(px), static_cast<int32_t>(py), m_colours[index]);
        }
    }
}

void CZXS_SymbolCache::Release()
{
    m_indexes.reset();
    m_colours.reset();
    m_indexSize = 0;
    m_number = -1;
    m_group = -1;
}
