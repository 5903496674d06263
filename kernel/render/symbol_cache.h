#pragma once

#include <cstdint>
#include <memory>

#include "kernel/render/symbol_set.h"

class CZX_ImageFoundation;

// Decodes one symbol of the set at a time into palette indexes (255 where the
// mask makes it transparent) and draws it into an image. Made for one drawing
// pass; consecutive draws of the same symbol decode it once.
class CZXS_SymbolCache {
public:
    static constexpr uint8_t kTransparent = 255;

    explicit CZXS_SymbolCache(const CZXS_SymbolSet& set)
        : m_set(set)
    {
    }
    ~CZXS_SymbolCache() { Release(); }
    CZXS_SymbolCache(const CZXS_SymbolCache&) = delete;
    CZXS_SymbolCache& operator=(const CZXS_SymbolCache&) = delete;

    // 0; ZXS_ERR_MEMORY no memory for the buffers; ZXS_KERR_SYMBOLRANGE number
    // above the group's largest; ZXS_KERR_NOSYMBOL no image for it.
    int32_t Decode(int group, int32_t number);
    // Symbol `number` of group 0 with its anchor at (x, y), cut to the image.
    void Draw(CZX_ImageFoundation& image, int32_t number, int32_t x, int32_t y);
    void Release();

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    uint8_t Index(int32_t col, int32_t row) const
    {
        return m_indexes[static_cast<size_t>(row) * m_width + col];
    }

private:
    struct FreeBlock {
        void operator()(void* p) const;
    };

    const CZXS_SymbolSet& m_set;
    std::unique_ptr<uint8_t[], FreeBlock> m_indexes;
    int64_t m_indexSize = 0;
    int32_t m_number = -1;
    int32_t m_group = -1;
    int16_t m_width = 0;
    int16_t m_height = 0;
    int16_t m_anchorX = 0;
    int16_t m_anchorY = 0;
    std::unique_ptr<uint16_t[], FreeBlock> m_colours; // 256 pixel values
};
