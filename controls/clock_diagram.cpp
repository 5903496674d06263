#include "controls/clock_diagram.h"

#include "drawlib/glyph_sets.h"
#include "platform/local_time.h"

namespace {
constexpr uint32_t kClockColour = 0x99F7FF; // pale yellow
}

int CClockDiagram::SetSurface(CDrawTool* surface)
{
    const int result = CTextDiagram::SetSurface(surface);
    platform::CSLock lock(g_widgetLock);
    m_text = QStringLiteral("  :  ");
    m_font = GetToolFont(FONT_NUMBER);
    m_lastMinute = -1;
    return result != 0 ? 1 : 0;
}

void CClockDiagram::GetFrameStyle(const ElementPoint& position, const ElementSize& size, int& style)
{
    const platform::LocalTime now = platform::GetLocalTime();
    const int32_t minute = now.hour * 60 + now.minute;
    if (minute != m_lastMinute && m_text.size() == 5) {
        m_lastMinute = minute;
        m_text[0] = QChar(u'0' + now.hour / 10 % 10);
        m_text[1] = QChar(u'0' + now.hour % 10);
        m_text[3] = QChar(u'0' + now.minute / 10);
        m_text[4] = QChar(u'0' + now.minute % 10);
    }
    FillRectAlpha(m_surface, position.x, position.y, size.cx, size.cy, kClockColour, GetAlpha());
    style = FRAME_CONTENT;
}

QString CClockDiagram::GetText()
{
    platform::CSLock lock(g_widgetLock);
    return m_text;
}
