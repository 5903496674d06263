#include "controls/speed_diagram.h"

#include "controls/diagram_drawing.h"
#include "drawlib/glyph_sets.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "gps/gps_fix.h"

#include <algorithm>
#include <cmath>

namespace {
enum : size_t { ITEM_NUMBER = 0, ITEM_KM = 1, ITEM_HOUR = 2 };
constexpr int kFullBarKmh = 150;
}

int CSpeedDiagram::SpeedKmh(double knots)
{
    const double kmh = std::floor(knots * kKnotsToKmh + 0.5);
    return kmh > 255 ? 255 : kmh < 0 ? 0 : static_cast<int>(kmh);
}

int CSpeedDiagram::SetSurface(CDrawTool* surface)
{
    const int result = CFramedTextList::SetSurface(surface);
    platform::CSLock lock(g_widgetLock);
    m_items.assign(3, FramedTextItem {});
    m_items[ITEM_NUMBER] = { GetToolFont(FONT_NUMBER), nullptr, QStringLiteral("  0"), ScaleByDpiX(0),
        ScaleByDpiY(0), ScaleByDpiX(23), ScaleByDpiY(18) };
    m_items[ITEM_KM] = { GetToolFont(FONT_SMALL), nullptr, QStringLiteral("km"), ScaleByDpiX(21),
        ScaleByDpiY(-3), ScaleByDpiX(40), ScaleByDpiY(12) };
    m_items[ITEM_HOUR] = { GetToolFont(FONT_SMALL), nullptr, QStringLiteral("h"), ScaleByDpiX(24),
        ScaleByDpiY(3), ScaleByDpiX(40), ScaleByDpiY(20) };
    m_lastSpeed = -1;
    return result;
}

void CSpeedDiagram::GetFrameStyle(const ElementPoint& position, const ElementSize& size, int& style)
{
    double knots = 0;
    {
        platform::CSLock lock(g_gpsFixLock);
        knots = g_gpsFix.m_speedKnots;
    }
    const int speed = SpeedKmh(knots);
    if (m_items.size() == 3) {
        if (speed != m_lastSpeed) {
            m_lastSpeed = speed;
            const int hundreds = speed / 100, tens = speed / 10 % 10;
            QString& number = m_items[ITEM_NUMBER].text;
            number = QString(QChar(hundreds ? u'0' + hundreds : u' '))
                + QChar(hundreds || tens ? u'0' + tens : u' ') + QChar(u'0' + speed % 10);
            m_items[ITEM_NUMBER].left = speed > 99 ? 0 : speed < 10 ? -8 : -4;
        }
        const bool russian = g_language == LANGUAGE_RUSSIAN;
        m_items[ITEM_KM].text = russian ? QStringLiteral("км") : QStringLiteral("km");
        m_items[ITEM_HOUR].text = russian ? QStringLiteral("ч") : QStringLiteral("h");
    }
    DrawPercentBar(m_surface, position, size, std::min(speed, kFullBarKmh) * 2 / 3, kDiagramFillColour,
        kDiagramRestColour, -1);
    style = FRAME_CONTENT;
}

QString CSpeedDiagram::GetNumberText()
{
    platform::CSLock lock(g_widgetLock);
    return m_items.empty() ? QString() : m_items[ITEM_NUMBER].text;
}
