#include "controls/distance_diagram.h"

#include "controls/diagram_drawing.h"
#include "drawlib/glyph_sets.h"
#include "foundation/language.h"
#include "nav/route_manager.h"

#include <cmath>

CDistanceDiagram::CDistanceDiagram(CRouteManager* routes)
    : m_routes(routes)
{
}

bool CDistanceDiagram::Progress(double length, double remaining, int& percent, double& shown)
{
    // A route of no length has no share driven (the share would be 0 / 0).
    if (length <= 0 || remaining < 0) {
        percent = 0;
        return false;
    }
    if (remaining >= length) {
        percent = 0;
        shown = length;
        return true;
    }
    percent = 100 - static_cast<int>(std::floor(remaining * 100 / length + 0.5));
    shown = remaining;
    return true;
}

void CDistanceDiagram::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    const ElementPoint position { m_x, m_y };
    const ElementSize size { m_width, m_height };
    double length = -1, remaining = -1;
    if (m_routes && m_routes->HasRoute()) {
        length = m_routes->GetRoute().GetRouteLength();
        remaining = m_routes->GetRemainingDistance();
    }
    int percent = 0;
    double shown = 0;
    if (!Progress(length, remaining, percent, shown)) {
        DrawPercentBar(m_surface, position, size, 0, kDiagramFillColour, kDiagramRestColour, -1);
        m_lastDistance = -1;
        return;
    }
    DrawPercentBar(m_surface, position, size, percent, kDiagramFillColour, kDiagramRestColour, -1);
    const int32_t metres = static_cast<int32_t>(std::floor(shown + 0.5));
    const int language = g_language;
    if (metres != m_lastDistance || language != m_textLanguage) {
        m_lastDistance = metres;
        m_textLanguage = language;
        m_text = FormatDiagramDistance(metres, language);
    }
    DrawDiagramText(m_text, position, size, GetToolFont(FONT_SMALL), GetToolFont(FONT_NUMBER));
}

void CDistanceDiagram::SetState(int state)
{
    if (state == STATE_HIDDEN)
        m_lastDistance = -1;
    CScreenElement::SetState(state);
}
