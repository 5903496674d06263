#include "controls/satellite_diagram.h"

#include "controls/diagram_drawing.h"
#include "gps/gps_fix.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr uint32_t kUsedColour = 0x000000FF; // red
constexpr uint32_t kInViewColour = 0x00FF3300; // blue
constexpr int kSlots = CGpsFix::SATELLITE_SLOTS;

// Where the part of `count` satellites of twelve ends.
int PartEnd(int32_t count, int width, double twelfth)
{
    return count < kSlots ? static_cast<int>(std::floor(count * twelfth)) : width;
}
} // namespace

void CSatelliteDiagram::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    int32_t used = 0, inView = 0;
    {
        platform::CSLock lock(g_gpsFixLock);
        used = g_gpsFix.m_satellitesUsed;
        inView = g_gpsFix.m_satellitesInView;
    }
    // A damaged sentence must not draw outside the bar.
    used = std::clamp(used, 0, kSlots);
    inView = std::clamp(inView, 0, kSlots);
    const double twelfth = m_width * 0.08333333333333333;
    const int usedEnd = PartEnd(used, m_width, twelfth);
    int inViewEnd = PartEnd(inView, m_width, twelfth);
    if (inViewEnd < m_width)
        FillRectAlpha(
            m_surface, m_x + inViewEnd, m_y, m_width - inViewEnd, m_height, kDiagramRestColour, 255);
    else
        inViewEnd = m_width;
    if (usedEnd < inViewEnd)
        FillRectAlpha(m_surface, m_x + usedEnd, m_y, inViewEnd - usedEnd, m_height, kInViewColour, 255);
    if (usedEnd >= 1)
        FillRectAlpha(m_surface, m_x, m_y, usedEnd, m_height, kUsedColour, 255);
}
