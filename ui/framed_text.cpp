#include "ui/framed_text.h"

void CFramedText::SetText(CGlyphFont* font, const QString& text, int textFlags)
{
    platform::CSLock lock(g_widgetLock);
    m_font = font;
    m_text = text;
    m_textFlags = static_cast<int16_t>(textFlags);
}

void CFramedText::DrawContent(const ElementPoint& position, const ElementSize& size)
{
    FontDrawTextBox(
        m_font, m_text, { position.x, position.y, position.x + size.cx, position.y + size.cy }, m_textFlags);
}
