#include "ui/label_element.h"

#include "drawlib/glyph_sets.h"
#include "ui/element_drawing.h"

void CLabelElement::Create(
    const QString& text, const ElementPoint& position, const ElementSize& size, CGlyphFont* font, int flags)
{
    m_font = font ? font : GetToolFont(FONT_SMALL);
    m_text = text;
    m_flags = flags;
    SetPosition(position);
    SetSize(size);
    SetState(STATE_SHOWN);
}

void CLabelElement::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    FontDrawTextInRect(m_font, m_text, { m_x, m_y, m_x + m_width, m_y + m_height }, m_flags);
}

int CLabelElement::SetSurface(CDrawTool* surface)
{
    const int result = CScreenElement::SetSurface(surface);
    SetState(STATE_HIDDEN);
    return result;
}
