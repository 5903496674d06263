#include "ui/button_hint.h"

#include "foundation/screen_metrics.h"
#include "ui/framed_element.h"

namespace {
constexpr int kHintAlpha = 190;
constexpr uint32_t kHintFrameColour = 0xFF0000;
constexpr int kHintTextFlags = 1;
}

CButtonHint::CButtonHint() { SetAlpha(kHintAlpha); }

int CButtonHint::Init(CDrawTool* surface, int fullWidth)
{
    CLockOrderGuard lock(m_lock);
    SetSurface(surface);
    CScreenElement::SetState(STATE_HIDDEN);
    m_fullWidth = fullWidth;
    return 1;
}

void CButtonHint::ShowText(const QString& text, ElementPoint& anchor, CGlyphFont* font)
{
    CLockOrderGuard lock(m_lock);
    // Each box keeps its own last text, and a box asked again for the text it
    // has is shown again even when nothing else changed (a hidden hint of the
    // same button must come back on the next press).
    if (text == m_text && anchor == m_anchor && font == m_font) {
        CScreenElement::SetState(STATE_SHOWN);
        return;
    }
    m_anchor = anchor;
    m_font = font;
    m_text = text;
    const int s = ScaleByDpiX(2), t = ScaleByDpiY(2);
    m_box = { anchor.x, anchor.y, anchor.x + FontFixedTextWidth(font, text) + 2 * s,
        anchor.y + FontLineHeight(font) + 2 * t };
    BringOnScreen(anchor);
    CScreenElement::SetState(STATE_SHOWN);
}

void CButtonHint::MoveTo(ElementPoint& anchor)
{
    CLockOrderGuard lock(m_lock);
    if (anchor == m_anchor)
        return;
    m_anchor = anchor;
    const int width = m_box.right - m_box.left, height = m_box.bottom - m_box.top;
    m_box = { anchor.x, anchor.y, anchor.x + width, anchor.y + height };
    BringOnScreen(anchor);
}

void CButtonHint::BringOnScreen(ElementPoint& anchor)
{
    const int w = GetScreenWidth(), h = GetScreenHeight();
    if (m_box.right >= w) {
        const int shift = m_box.right - (w - 1);
        m_box.left -= shift;
        m_box.right = w - 1;
        anchor.x = m_box.left;
    }
    if (m_box.left < 0) {
        m_box.left = 0;
        anchor.x = 0;
    }
    if (m_box.bottom >= h) {
        const int shift = m_box.bottom - (h - 1);
        m_box.top -= shift;
        m_box.bottom = h - 1;
        anchor.y = m_box.top;
    }
    if (m_box.top < 0) {
        m_box.top = 0;
        anchor.y = 0;
    }
    const int s = ScaleByDpiX(2), t = ScaleByDpiY(2);
    m_textRect = { m_box.left + s, m_box.top + t, m_box.right - s, m_box.bottom - t };
}

void CButtonHint::Hide() { SetState(STATE_HIDDEN); }

void CButtonHint::SetState(int state)
{
    CLockOrderGuard lock(m_lock);
    CScreenElement::SetState(state);
}

CGlyphFont* CButtonHint::GetFont()
{
    CLockOrderGuard lock(m_lock);
    return m_font;
}

QString CButtonHint::GetText()
{
    CLockOrderGuard lock(m_lock);
    return m_text;
}

ElementPoint CButtonHint::GetAnchor()
{
    CLockOrderGuard lock(m_lock);
    return m_anchor;
}

ElementRect CButtonHint::GetBox()
{
    CLockOrderGuard lock(m_lock);
    return m_box;
}

ElementRect CButtonHint::GetTextRect()
{
    CLockOrderGuard lock(m_lock);
    return m_textRect;
}

void CButtonHint::Draw()
{
    CLockOrderGuard lock(m_lock);
    if (GetState() == STATE_HIDDEN || !m_font)
        return;
    const int screenWidth = GetScreenWidth();
    const int right = m_fullWidth ? screenWidth - 1 : m_box.right;
    const int width = m_fullWidth ? screenWidth - m_box.left : right - m_box.left;
    FillRectAlpha(
        m_surface, m_box.left, m_box.top, width, m_box.bottom - m_box.top, kColourWhite, GetAlpha());
    DrawLineOn(m_surface, m_box.left, m_box.top, right, m_box.top, kHintFrameColour);
    DrawLineOn(m_surface, right, m_box.top, right, m_box.bottom, kHintFrameColour);
    DrawLineOn(m_surface, right, m_box.bottom, m_box.left, m_box.bottom, kHintFrameColour);
    DrawLineOn(m_surface, m_box.left, m_box.bottom, m_box.left, m_box.top, kHintFrameColour);
    FontDrawTextBox(m_font, m_text, m_textRect, kHintTextFlags);
}
