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
        FT_Vector delta = { pen.x, pen.y };
        FT_Set_Transform(face, &matrix, &delta);
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_RENDER | FT_LOAD_FORCE_AUTOHINT) != 0) {
            SetError(ZXS_KERR_GLYPHRENDER);
            result = 0;
            break;
        }
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        // Glyphs reaching past the left or right edge are cut there, not dropped.
        const int32_t firstColumn = std::max(0, -slot->bitmap_left);
        const int32_t endColumn
            = std::min(static_cast<int32_t>(bitmap.width), surface->Width() - slot->bitmap_left);
        for (int32_t r = 0; r < static_cast<int32_t>(bitmap.rows); ++r) {
            const int32_t y = r - slot->bitmap_top;
            if (y < 0 || y >= surface->Height())
                continue;
            const uint8_t* coverage = bitmap.buffer + static_cast<ptrdiff_t>(r) * bitmap.pitch;
            for (int32_t j = firstColumn; j < endColumn; ++j) {
                if (coverage[j] > 15) {
                    surface->SetCursor(slot->bitmap_left + j, y);
                    surface->Shade(coverage[j]);
                }
            }
        }
        pen.x += static_cast<int32_t>(slot->advance.x);
        pen.y += static_cast<int32_t>(slot->advance.y);
        previous = index;
    }
    FT_Set_Transform(face, nullptr, nullptr);
    return result;
}
