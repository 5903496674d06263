#include "kernel/render/font.h"

#include <algorithm>

#include "kernel/api/result_codes.h"
#include "kernel/doc/code_page.h"
#include "kernel/render/image.h"

CZX_Font::~CZX_Font() { Flush(); }

void CZX_Font::AttachFace(const CAppFT_Manager* manager)
{
    std::shared_ptr<CAppFT_Manager::Engine> engine = manager != nullptr ? manager->GetEngine() : nullptr;
    if (engine != m_engine)
        Flush();
    m_engine = std::move(engine);
}

namespace {

template <typename Entries> void Release(Entries& entries)
{
    for (auto& e : entries) {
        if (e.glyph != nullptr)
            FT_Done_Glyph(e.glyph);
        e = {};
    }
}

} // namespace

void CZX_Font::Flush()
{
    m_bitmaps.clear();
    if (!m_engine)
        return;
    const std::lock_guard<std::mutex> lock(m_engine->lock);
    for (SizeCache& size : m_sizes)
        Release(size.entries);
}

int CZX_Font::SetSize(int32_t width, int32_t height)
{
    if (width == m_width && height == m_height)
        return 1;
    bool applied = false;
    if (m_engine) {
        const std::lock_guard<std::mutex> lock(m_engine->lock);
        applied = m_engine->UseSize(width, height);
    }
    if (!applied) {
        // Forget the size, so asking for it again tries again.
        m_width = m_height = -1;
        SetError(ZXS_KERR_FONTSIZE);
        return 0;
    }
    m_width = width;
    m_height = height;
    for (size_t i = 0; i < kSizes; ++i) {
        if (m_sizes[i].width == width && m_sizes[i].height == height) {
            m_current = i;
            return 1;
        }
    }
    // A size not kept yet takes the place of the one kept longest.
    m_current = m_nextFree;
    m_nextFree = (m_nextFree + 1) % kSizes;
    SizeCache& size = m_sizes[m_current];
    {
        const std::lock_guard<std::mutex> lock(m_engine->lock);
        Release(size.entries);
    }
    size.width = width;
    size.height = height;
    return 1;
}

int32_t CZX_Font::Advance(uint8_t code, int codePage)
{
    Entry& entry = m_sizes[m_current].entries[code];
    if (entry.glyph != nullptr)
        return entry.advance;
    if (!m_engine) {
        SetError(ZXS_KERR_GLYPHLOAD);
        return -1;
    }
    const std::lock_guard<std::mutex> lock(m_engine->lock);
    FT_Face face = m_engine->face;
    const FT_UInt index = FT_Get_Char_Index(face, CZXS_CodePage::ToWide(codePage, code));
    // Another font may have left the shared face at its own size.
    if (!m_engine->UseSize(m_width, m_height) || FT_Load_Glyph(face, index, FT_LOAD_IGNORE_TRANSFORM) != 0) {
        SetError(ZXS_KERR_GLYPHLOAD);
        return -1;
    }
    FT_Glyph glyph = nullptr;
    if (FT_Get_Glyph(face->glyph, &glyph) != 0) {
        SetError(ZXS_KERR_GLYPHIMAGE);
        return -1;
    }
    entry.advance = static_cast<int32_t>(face->glyph->advance.x);
    entry.glyph = glyph;
    return entry.advance;
}

int32_t CZX_Font::TextWidth(const char* text, int codePage)
{
    int32_t width = 0;
    for (const char* p = text; p != nullptr && *p != 0; ++p) {
        const int32_t advance = Advance(static_cast<uint8_t>(*p), codePage);
        if (advance < 0)
            return -1;
        width += advance;
    }
    return width;
}

size_t CZX_Font::BitmapKeyHash::operator()(const BitmapKey& k) const
{
    uint64_t h = 1469598103934665603ull;
    for (const int64_t v : { int64_t { k.width }, int64_t { k.height }, int64_t { k.glyph },
             int64_t { k.cosine }, int64_t { k.sine }, int64_t { k.subX }, int64_t { k.subY } })
        h = (h ^ static_cast<uint64_t>(v)) * 1099511628211ull;
    return static_cast<size_t>(h);
}

const CZX_Font::Bitmap* CZX_Font::RenderedGlyph(
    FT_Face face, FT_UInt index, FT_Matrix& matrix, const Pen& pen)
{
    const BitmapKey key { m_width, m_height, index, static_cast<int32_t>(matrix.xx),
        static_cast<int32_t>(matrix.yx), pen.x & 63, pen.y & 63 };
    const auto found = m_bitmaps.find(key);
    if (found != m_bitmaps.end())
        return &found->second;
    FT_Vector delta = { pen.x, pen.y };
    FT_Set_Transform(face, &matrix, &delta);
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_RENDER | FT_LOAD_FORCE_AUTOHINT) != 0) {
        SetError(ZXS_KERR_GLYPHRENDER);
        return nullptr;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& source = slot->bitmap;
    Bitmap bitmap;
    bitmap.left = slot->bitmap_left - (pen.x >> 6);
    bitmap.top = slot->bitmap_top - (pen.y >> 6);
    bitmap.width = static_cast<int32_t>(source.width);
    bitmap.rows = static_cast<int32_t>(source.rows);
    bitmap.advanceX = static_cast<int32_t>(slot->advance.x);
    bitmap.advanceY = static_cast<int32_t>(slot->advance.y);
    bitmap.coverage.resize(static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.rows));
    for (int32_t r = 0; r < bitmap.rows; ++r)
        std::copy_n(source.buffer + static_cast<ptrdiff_t>(r) * source.pitch, bitmap.width,
            bitmap.coverage.begin() + static_cast<ptrdiff_t>(r) * bitmap.width);
    // Kept to a bound: views that move every frame never draw the same glyphs again.
    if (m_bitmaps.size() >= kMaxBitmaps)
        m_bitmaps.clear();
    return &m_bitmaps.emplace(key, std::move(bitmap)).first->second;
}

int CZX_Font::DrawText(CZX_Image& image, const char* text, int codePage, Pen& pen, int32_t cosine,
    int32_t sine, int32_t maxChars)
{
    if (text == nullptr || *text == 0)
        return 1;
    CZX_Surface565* surface = image.Surface();
    if (!m_engine || surface == nullptr) {
        SetError(ZXS_KERR_GLYPHRENDER);
        return 0;
    }
    const std::lock_guard<std::mutex> lock(m_engine->lock);
    FT_Face face = m_engine->face;
    if (!m_engine->UseSize(m_width, m_height)) {
        SetError(ZXS_KERR_GLYPHRENDER);
        return 0;
    }
    FT_Matrix matrix = { cosine, -sine, sine, cosine };
    FT_UInt previous = 0;
    int result = 1;
    for (int32_t i = 0; text[i] != 0 && (maxChars == 0 || i < maxChars); ++i) {
        const FT_UInt index
            = FT_Get_Char_Index(face, CZXS_CodePage::ToWide(codePage, static_cast<uint8_t>(text[i])));
        // The kerning belongs before this glyph, turned along the text's direction.
        if (FT_HAS_KERNING(face) && previous != 0 && index != 0) {
            FT_Vector kerning = { 0, 0 };
            if (FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kerning) == 0) {
                FT_Vector_Transform(&kerning, &matrix);
                pen.x += static_cast<int32_t>(kerning.x);
                pen.y += static_cast<int32_t>(kerning.y);
            }
        }
        const Bitmap* glyph = RenderedGlyph(face, index, matrix, pen);
        if (glyph == nullptr) {
            result = 0;
            break;
        }
        const int32_t left = glyph->left + (pen.x >> 6);
        const int32_t top = glyph->top + (pen.y >> 6);
        // Glyphs reaching past the left or right edge are cut there, not dropped.
        const int32_t firstColumn = std::max(0, -left);
        const int32_t endColumn = std::min(glyph->width, surface->Width() - left);
        for (int32_t r = 0; r < glyph->rows; ++r) {
            const int32_t y = r - top;
            if (y < 0 || y >= surface->Height())
                continue;
            const uint8_t* coverage = glyph->coverage.data() + static_cast<ptrdiff_t>(r) * glyph->width;
            uint16_t* row = surface->Row(y);
            for (int32_t j = firstColumn; j < endColumn; ++j)
                if (coverage[j] > 15)
                    row[left + j] = CZX_Surface565::Shade565(row[left + j], coverage[j]);
        }
        pen.x += glyph->advanceX;
        pen.y += glyph->advanceY;
        previous = index;
    }
    FT_Set_Transform(face, nullptr, nullptr);
    return result;
}
