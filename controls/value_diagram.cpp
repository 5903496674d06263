#include "controls/value_diagram.h"

#include "controls/diagram_drawing.h"
#include "controls/distance_diagram.h"
#include "drawlib/glyph_sets.h"
#include "foundation/language.h"
#include "gps/gps_source.h"
#include "nav/route_manager.h"

#include <cmath>

void CValueDiagram::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    ValueDiagramFill fill;
    fill.restColour = kDiagramRestColour;
    fill.fillColour = kDiagramFillColour;
    Fill(fill);
    m_lastValue = fill.flags & ValueDiagramFill::HAS_VALUE ? fill.value : -1;
    const ElementPoint position { m_x, m_y };
    const ElementSize size { m_width, m_height };
    if (fill.flags & ValueDiagramFill::DRAW_BAR)
        DrawPercentBar(m_surface, position, size, fill.percent, fill.fillColour, fill.restColour, -1);
    if (fill.flags & ValueDiagramFill::DRAW_TEXT)
        DrawDiagramText(m_text, position, size, fill.mainFont ? fill.mainFont : GetToolFont(FONT_NUMBER),
            fill.secondFont);
}

void CValueDiagram::SetState(int state)
{
    if (state == STATE_HIDDEN)
        m_lastValue = -1;
    CScreenElement::SetState(state);
}

void CValueDiagram::FillDurationText(ValueDiagramFill& fill)
{
    if (!(fill.flags & ValueDiagramFill::HAS_VALUE))
        return;
    fill.mainFont = GetToolFont(FONT_SMALL);
    fill.secondFont = GetToolFont(FONT_NUMBER);
    fill.flags |= ValueDiagramFill::DRAW_TEXT;
    const int language = g_language;
    if (fill.value == m_lastValue && language == m_textLanguage && !m_text.isEmpty())
        return;
    m_textLanguage = language;
    m_text = FormatDiagramDuration(fill.value, language);
}

CRemainingTimeDiagram::CRemainingTimeDiagram(CRouteManager* routes)
    : m_routes(routes)
{
}

int32_t CRemainingTimeDiagram::TravelSeconds(double metres, double speedKmh)
{
    // Without a speed there is no time to tell: the text shows a dash.
    if (!(speedKmh > 0))
        return -1;
    const double seconds = std::floor(metres / speedKmh * 3.6 + 0.5);
    return seconds < -1 || seconds > INT32_MAX ? -1 : static_cast<int32_t>(seconds);
}

void CRemainingTimeDiagram::Fill(ValueDiagramFill& fill)
{
    if (!m_routes || !m_routes->HasRoute())
        return;
    const double length = m_routes->GetRoute().GetRouteLength();
    const double remaining = m_routes->GetRemainingDistance();
    double distance = 0;
    if (!CDistanceDiagram::Progress(length, remaining, fill.percent, distance))
        return;
    double speed = 0;
    if (g_gpsSource) {
        platform::CSLock lock(g_gpsFixLock);
        speed = g_gpsSource->GetAverageSpeed();
    }
    fill.value = TravelSeconds(distance, speed);
    fill.flags = ValueDiagramFill::DRAW_BAR | ValueDiagramFill::HAS_VALUE;
    FillDurationText(fill);
}
