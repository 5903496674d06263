#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "kernel/render/app_ft_manager.h"

#include FT_GLYPH_H

class CZX_Image;

// A view's label font: the shared face at one pixel size, with the advance and
// a copy of the glyph of each of the 256 codes of an 8-bit code page cached.
class CZX_Font : public CZXS_Object {
public:
    // The drawing position in 1/64 pixel, kept by the caller between calls. y
    // follows the font engine: upwards, so a baseline at row r has y = -64 r.
    struct Pen {
        int32_t x = 0;
        int32_t y = 0;
    };

    CZX_Font() = default;
    CZX_Font(const CZX_Font&) = delete;
    CZX_Font& operator=(const CZX_Font&) = delete;
    ~CZX_Font() override;

    const char16_t* ClassName() const override { return u"CZX_Font"; }

    // Uses the manager's face (none: detached); a different face empties the cache.
    void AttachFace(const CAppFT_Manager* manager);
    // 1, or 0 with error 2004 when the face refuses the size.
    int SetSize(int32_t width, int32_t height);
    // In 1/64 pixel; -1 with error ZXS_KERR_GLYPHLOAD or ZXS_KERR_GLYPHIMAGE (copy) on failure.
    int32_t Advance(uint8_t code, int codePage);
    // Sum of the advances up to the terminating 0; -1 when one fails.
    int32_t TextWidth(const char* text, int codePage);
    // Draws up to `maxChars` characters (0: all) along the direction (cosine,
    // sine in 16.16) by darkening the image with each glyph's coverage. 1, or 0
    // with error 2007 when a glyph cannot be rendered.
    int DrawText(CZX_Image& image, const char* text, int codePage, Pen& pen, int32_t cosine, int32_t sine,
        int32_t maxChars);
    void Flush();

    bool HasGlyph(uint8_t code) const { return m_sizes[m_current].entries[code].glyph != nullptr; }
    // Rendered glyphs kept for drawing them again (at most kMaxBitmaps).
    size_t BitmapCount() const { return m_bitmaps.size(); }

    static constexpr size_t kMaxBitmaps = 2048;

private:
    // A rendered glyph depends on the size, the glyph, the direction and where
    // the pen stands inside its pixel; moved by whole pixels it is the same
    // picture moved, so the pen's whole pixels are left out of the key.
    struct BitmapKey {
        int32_t width;
        int32_t height;
        uint32_t glyph;
        int32_t cosine;
        int32_t sine;
        int32_t subX;
        int32_t subY;
        bool operator==(const BitmapKey&) const = default;
    };
    struct BitmapKeyHash {
        size_t operator()(const BitmapKey& k) const;
    };
    // The glyph's coverage, its corner relative to the pen's whole pixel
    // (left, and top upwards) and the pen's advance.
    struct Bitmap {
        int32_t left = 0;
        int32_t top = 0;
        int32_t width = 0;
        int32_t rows = 0;
        int32_t advanceX = 0;
        int32_t advanceY = 0;
        std::vector<uint8_t> coverage;
    };
    // The glyph at the pen, from the cache or rendered into it; null with the
    // error set when it cannot be rendered. The caller holds the engine's lock.
    const Bitmap* RenderedGlyph(FT_Face face, FT_UInt index, FT_Matrix& matrix, const Pen& pen);

    struct Entry {
        int32_t advance = 0;
        FT_Glyph glyph = nullptr;
    };
    // The glyphs of one size; the few sizes a frame's labels use are kept
    // side by side, so that going back and forth between them loads nothing again.
    struct SizeCache {
        int32_t width = -1;
        int32_t height = -1;
        std::array<Entry, 256> entries {};
    };
    static constexpr size_t kSizes = 4;

    std::array<SizeCache, kSizes> m_sizes {};
    size_t m_current = 0;
    size_t m_nextFree = 0;
    std::unordered_map<BitmapKey, Bitmap, BitmapKeyHash> m_bitmaps;
    std::shared_ptr<CAppFT_Manager::Engine> m_engine;
    int32_t m_width = -1;
    int32_t m_height = -1;
};
