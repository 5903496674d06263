#include "ui/text_button.h"

#include "drawlib/glyph_sets.h"
#include "ui/element_drawing.h"

namespace {
constexpr uint32_t kFrameGrey = 0x808080;
constexpr int kFilledBackgroundMargin = 2;

// The background colour is 0xRRGGBB; the draw tool takes red in the low byte.
uint32_t ToToolColour(uint32_t rgb) { return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16); }
}

int CTextButton::Setup(CDrawTool* surface, const ElementPoint& position, CScreenElement* owner,
    const QString& caption, const ElementSize& size, uint32_t style, uint32_t background, int margin,
    CGlyphFont* font, uint32_t textFlags)
{
    SetSurface(surface);
    m_owner = owner;
    SetPosition(position);
    if (owner)
        SetAlpha(owner->GetAlpha());
    SetSize(size);
    m_caption = caption;
    m_style = style;
    m_background = background;
    m_textFlags = textFlags;
    if (!(style & TEXT_BUTTON_BACKGROUND))
        m_margin = 0;
    else if (style & TEXT_BUTTON_IMAGE_BACKGROUND)
        m_margin = margin;
    else
        m_margin = kFilledBackgroundMargin;
    m_font = font ? font : GetToolFont(FONT_SMALL);
    return 1;
}

void CTextButton::DrawFilledBackground(int alpha)
{
    const int l = m_x, t = m_y, r = m_x + m_width - 1, b = m_y + m_height - 1;
    FillRectAlpha(m_surface, l + 1, t + 1, m_width - 2, m_height - 2, ToToolColour(m_background), alpha);
    if (m_pressStep == 1) {
        DrawRectOutline(m_surface, l, t, m_width, m_height, kColourWhite);
        return;
    }
    // Raised: light along the top and left, shadow along the bottom and right
    // (grey inside, black outside); sunk swaps the edges.
    const bool raised = m_pressStep == 0;
    const uint32_t light = kColourWhite;
    if (raised) {
        DrawLineOn(m_surface, l, t, r, t, light);
        DrawLineOn(m_surface, l, t, l, b, light);
        DrawLineOn(m_surface, l + 1, b - 1, r - 1, b - 1, kFrameGrey);
        DrawLineOn(m_surface, r - 1, t + 1, r - 1, b - 1, kFrameGrey);
        DrawLineOn(m_surface, l, b, r, b, kColourBlack);
        DrawLineOn(m_surface, r, t, r, b, kColourBlack);
    } else {
        DrawLineOn(m_surface, l, b, r, b, light);
        DrawLineOn(m_surface, r, t, r, b, light);
        DrawLineOn(m_surface, l + 1, t + 1, r - 1, t + 1, kFrameGrey);
        DrawLineOn(m_surface, l + 1, t + 1, l + 1, b - 1, kFrameGrey);
        DrawLineOn(m_surface, l, t, r, t, kColourBlack);
        DrawLineOn(m_surface, l, t, l, b, kColourBlack);
    }
}

void CTextButton::DrawImage(int)
{
    if (GetState() == STATE_HIDDEN)
        return;
    const int alpha = OwnerAlpha();
    int offset = 0;
    const bool animated = (m_style & TEXT_BUTTON_PRESS_ANIMATION) != 0;
    if (animated) {
        UpdatePressStep();
        offset = m_pressStep * PRESS_STEP_IMAGE_OFFSET;
    }
    if (m_style & TEXT_BUTTON_BACKGROUND) {
        if (m_style & TEXT_BUTTON_IMAGE_BACKGROUND)
            DrawKeyedImage(m_surface, static_cast<int>(m_background) + offset, m_x, m_y, alpha);
        else
            DrawFilledBackground(alpha);
    }
    ElementRect content { m_x, m_y, m_x + m_width, m_y + m_height };
    if (animated) {
        const int shift = m_pressStep - 1;
        content
            = { content.left + shift, content.top + shift, content.right + shift, content.bottom + shift };
    }
    const int icon = (m_style & TEXT_BUTTON_ICON_FOLLOWS_STEP) ? m_id + offset : m_id;
    content = { content.left + m_margin, content.top + m_margin, content.right - m_margin,
        content.bottom - m_margin };
    if (m_style & TEXT_BUTTON_ICON) {
        const ElementSize size = GetImageSize(m_surface, icon);
        if (size.cx > 0 && size.cy > 0) {
            const int height = content.bottom - content.top;
            const int y = size.cy < height ? content.top + (height - size.cy) / 2 : content.top;
            DrawKeyedImage(m_surface, icon, content.left, y, size, alpha);
            content.left += size.cx;
        }
    }
    if ((m_style & TEXT_BUTTON_CAPTION) && content.left < content.right && content.top < content.bottom)
        FontDrawTextInRect(m_font, m_caption, content, static_cast<int>(m_textFlags & 0xFFFF));
}
