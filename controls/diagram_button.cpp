#include "controls/diagram_button.h"

#include "controls/command_registry.h"
#include "foundation/screen_metrics.h"
#include "ui/image_button.h"

CDiagramButton::CDiagramButton(CRouteManager* routes, CBlinkerList* blinkers, CScreenElement* jamWidget)
    : m_power(blinkers)
    , m_distance(routes)
    , m_remainingTime(routes)
    , m_jam(jamWidget)
{
}

CDiagramButton::~CDiagramButton()
{
    // The registry must not draw widgets that are gone.
    if (!g_CommandRegistry)
        return;
    for (int32_t id = FIRST_DIAGRAM_ID; id <= LAST_DIAGRAM_ID; ++id) {
        CDiagramEntry* entry = g_CommandRegistry->GetDiagramEntry(static_cast<uint32_t>(id));
        if (entry && entry->widget == GetWidget(id))
            entry->widget = nullptr;
    }
}

int CDiagramButton::Attach(CDrawTool* surface, const ElementPoint& position, const ElementSize& size)
{
    SetPosition(position);
    SetSize(size);
    SetAlpha(255);
    SetState(STATE_HIDDEN);
    for (int32_t id = FIRST_DIAGRAM_ID; id <= LAST_DIAGRAM_ID; ++id) {
        CScreenElement* widget = GetWidget(id);
        if (widget)
            widget->SetSurface(surface);
        if (g_CommandRegistry)
            g_CommandRegistry->SetDiagramWidget(static_cast<uint32_t>(id), widget);
    }
    SetSurface(surface);
    return 1;
}

void CDiagramButton::SetDiagram(int32_t id) { m_diagram = IsDiagramId(id) ? id : FIRST_DIAGRAM_ID; }

CScreenElement* CDiagramButton::GetWidget(int32_t id)
{
    switch (id) {
    case 14000:
        return &m_satellites;
    case 14001:
        return &m_power;
    case 14002:
        return &m_clock;
    case 14003:
        return &m_speed;
    case 14004:
        return &m_distance;
    case 14005:
        return &m_remainingTime;
    case 14006:
        return m_jam;
    default:
        return nullptr;
    }
}

void CDiagramButton::Draw()
{
    const int32_t id = m_diagram;
    if (GetState() != STATE_HIDDEN && IsDiagramId(id))
        if (g_CommandRegistry)
            g_CommandRegistry->DrawDiagram(static_cast<uint32_t>(id), m_surface, m_x, m_y, GetAlpha());
}

bool CDiagramButton::HitTest(const ElementPoint& point) const
{
    const int margin = ScaleByDpiX(10);
    return point.x >= m_x - margin && point.x < m_x + m_width + margin && point.y >= m_y
        && point.y < m_y + m_height;
}

int CDiagramButton::OnPointerDown(const ElementPoint& point)
{
    m_pressed = GetState() != STATE_HIDDEN && HitTest(point) ? 1 : 0;
    return m_pressed;
}

int CDiagramButton::OnPointerUp(const ElementPoint& point)
{
    if (!m_pressed || GetState() == STATE_HIDDEN)
        return 0;
    m_pressed = 0;
    if (!HitTest(point))
        return 0;
    const int32_t id = m_diagram;
    m_diagram = id >= LAST_DIAGRAM_ID ? FIRST_DIAGRAM_ID : id + 1;
    return 1;
}
