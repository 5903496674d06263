#include "controls/power_diagram.h"

#include "controls/blinker.h"
#include "controls/diagram_drawing.h"
#include "drawlib/glyph_sets.h"
#include "foundation/screen_metrics.h"
#include "platform/power_status.h"

namespace {
constexpr int kLowPercent = 19;
constexpr int kTextFlags = 2;
const QString kUnknownText = QStringLiteral("  ?%");
} // namespace

CPowerDiagram::CPowerDiagram(CBlinkerList* blinkers)
    : m_blinkers(blinkers)
{
}

int CPowerDiagram::SetSurface(CDrawTool* surface)
{
    m_text = kUnknownText;
    m_blinker = m_blinkers ? m_blinkers->Find(nullptr) : nullptr;
    return CScreenElement::SetSurface(surface);
}

int CPowerDiagram::PercentFromFlags(int flags)
{
    using platform::PowerStatus;
    // The flags are a set of bits: "high and charging" is high, not unknown.
    if (flags == PowerStatus::BATTERY_UNKNOWN || (flags & PowerStatus::BATTERY_NONE))
        return kUnknown;
    if (flags & (PowerStatus::BATTERY_HIGH | PowerStatus::BATTERY_CHARGING))
        return 100;
    if (flags & (PowerStatus::BATTERY_LOW | PowerStatus::BATTERY_CRITICAL))
        return 20;
    return 0;
}

int CPowerDiagram::ReadPercent()
{
    platform::PowerStatus status;
    int percent = platform::GetSystemPowerStatus(status, false) ? status.batteryLifePercent : kUnknown;
    if (percent != kUnknown)
        return percent;
    if (m_cached != kUnknown)
        return m_cached;
    const bool read = platform::GetSystemPowerStatus(status, true);
    percent = read ? status.batteryLifePercent : kUnknown;
    if (percent == kUnknown)
        percent
            = PercentFromFlags(read ? int(status.batteryFlag) : int(platform::PowerStatus::BATTERY_UNKNOWN));
    return percent;
}

void CPowerDiagram::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    int percent = m_lastRead;
    if (m_cached != kUnknown && m_drawsSinceRead < kReadEvery - 1) {
        ++m_drawsSinceRead;
    } else {
        percent = m_lastRead = ReadPercent();
        m_drawsSinceRead = 0;
    }
    m_shown = percent;
    const bool known = percent != kUnknown;
    DrawPercentBar(m_surface, { m_x, m_y }, { m_width, m_height }, known ? percent : 0, kDiagramFillColour,
        kDiagramRestColour, -1);
    if (m_blinker && !m_blinker->IsVisible() && (!known || percent <= kLowPercent))
        return;
    if (!known) {
        m_cached = kUnknown;
        m_text = kUnknownText;
    } else if (percent != m_cached) {
        m_cached = percent;
        const int hundreds = percent / 100, tens = percent / 10 % 10;
        m_text = QString(QChar(hundreds ? u'0' + hundreds : u' '))
            + QChar(hundreds || tens ? u'0' + tens : u' ') + QChar(u'0' + percent % 10) + u'%';
    }
    // An unknown charge stands where a single digit would.
    const int shown = known ? percent : 0;
    const int offset = ScaleByDpiX(shown < 10 ? -3 : shown < 100 ? 1 : 4);
    FontDrawTextBox(
        GetToolFont(FONT_NUMBER), m_text, { m_x + offset, m_y, m_x + m_width, m_y + m_height }, kTextFlags);
}
