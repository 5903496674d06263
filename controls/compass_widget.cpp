#include "controls/compass_widget.h"

#include "controls/command_registry.h"
#include "drawlib/glyph_sets.h"
#include "foundation/plane_geometry.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "settings/settings_record.h"
#include "ui/button_hint.h"
#include "ui/element_drawing.h"

#include <cmath>

namespace {

constexpr int kImageAlpha = 128;
constexpr int kHintTop = 20;
constexpr double kDegree = M_PI / 180.0;

struct TriangleShape {
    int tipOffset; // added to the radius, scaled
    int baseOffset; // taken from the radius, scaled
    double halfAngle; // degrees
    uint32_t colour;
};

// Four dark blue outlines round one blue one (draw-tool colours).
constexpr TriangleShape kTriangles[] = {
    { 12, 9, 3.7, 0x400000 },
    { 12, 9, 3.4, 0x400000 },
    { 13, 10, 4.3, 0x400000 },
    { 13, 10, 4.6, 0x400000 },
    { 13, 10, 4.0, 0xFF0000 },
};

int PointerRadius() { return ScaleByDpiX(90); }

} // namespace

bool CCompassWidget::Layout(CDrawTool* surface, CMapController* controller)
{
    if (!surface)
        return false;
    SetSurface(surface);
    const ElementSize size = GetImageSize(surface, kCentreImage);
    m_imageWidth = size.cx;
    m_imageHeight = size.cy;
    m_image = { (GetScreenWidth() - m_imageWidth) / 2, (GetScreenHeight() - m_imageHeight) / 2 };
    m_controller = controller;
    // The knob is where the map's rotation puts it before the first frame shows it.
    m_knob = PolarToScreen(
        (controller ? controller->GetRotation() : 0) * M_PI / 1800 + M_PI / 2, PointerRadius());
    return true;
}

int CCompassWidget::HitTest(const ElementPoint& point) const
{
    const int32_t mode = m_controller ? m_controller->GetTapMode() : 0;
    int left = m_image.x, top = m_image.y, right = m_image.x + m_imageWidth,
        bottom = m_image.y + m_imageHeight;
    if (mode == TAP_SCROLL || mode == TAP_ZOOM_WINDOW) {
        // A larger target while a tap on the map only pans or zooms.
        left = m_image.x - m_imageWidth / 2;
        top = m_image.y - m_imageHeight / 2;
        right = left + 2 * m_imageWidth;
        bottom = top + 2 * m_imageHeight;
    }
    if (point.x >= left && point.x < right && point.y >= top && point.y < bottom)
        return REGION_CENTRE;
    const int s = ScaleByDpiX(8);
    if (point.x >= m_knob.x - s && point.x < m_knob.x + s && point.y >= m_knob.y - s
        && point.y < m_knob.y + s)
        return REGION_KNOB;
    return REGION_NONE;
}

int32_t CCompassWidget::TouchAngle(const ElementPoint& point)
{
    const MapPoint centre { GetScreenWidth() / 2, GetScreenHeight() / 2 };
    const double degrees = TurnAngleDegrees({ point.x, point.y }, centre, { centre.x, 0 });
    if (degrees > 180.0) // the pen on the centre itself
        return -1;
    int32_t angle = static_cast<int32_t>(degrees * 10);
    if (angle < 0)
        angle += 3600;
    return angle;
}

ElementPoint CCompassWidget::PolarToScreen(double theta, double radius)
{
    return { static_cast<int32_t>(std::trunc(std::cos(theta) * radius)) + GetScreenWidth() / 2,
        GetScreenHeight() / 2 - static_cast<int32_t>(std::trunc(std::sin(theta) * radius)) };
}

int CCompassWidget::OnPointerDown(const ElementPoint& point)
{
    if (GetState() == STATE_HIDDEN)
        return 0;
    m_region = HitTest(point);
    if (m_region == REGION_NONE)
        return 0;
    if (m_region == REGION_CENTRE)
        return 1; // the command waits for the release
    m_savedRotation = m_controller ? m_controller->GetRotation() : 0;
    if (m_controller)
        m_controller->SetManualRotation(TouchAngle(point));
    return REGION_KNOB;
}

int CCompassWidget::OnDrag(const ElementPoint& point)
{
    if (GetState() == STATE_HIDDEN || m_region != REGION_KNOB)
        return 0;
    if (m_controller)
        m_controller->SetManualRotation(TouchAngle(point));
    return 1;
}

int CCompassWidget::OnPointerUp(const ElementPoint& point)
{
    if (GetState() == STATE_HIDDEN || m_region == REGION_NONE)
        return 0;
    const int hit = HitTest(point);
    if (m_region == REGION_KNOB && m_controller) {
        // Released off the knob, the map turns back to where it was.
        m_controller->ReleaseManualRotation(hit == REGION_KNOB ? TouchAngle(point) : m_savedRotation);
    }
    if (hit != m_region) {
        m_region = REGION_NONE;
        return 0;
    }
    if (m_region == REGION_CENTRE && g_bExpertMode)
        ExecuteCommand(CMD_SHOW_TRANSPARENT_BUTTONS);
    m_region = REGION_NONE;
    return 1;
}

int CCompassWidget::OnDoubleClick(const ElementPoint& point)
{
    if (GetState() == STATE_HIDDEN || HitTest(point) != REGION_KNOB)
        return 0;
    if (m_controller)
        m_controller->SetRotationLocked(0);
    return 1;
}

void CCompassWidget::SetState(int state)
{
    if (m_region == REGION_KNOB) {
        if (m_controller)
            m_controller->ReleaseManualRotation(m_savedRotation);
        if (g_infoLabel)
            g_infoLabel->Hide();
        m_hintShown = false;
    }
    m_region = REGION_NONE;
    CScreenElement::SetState(state);
}

void CCompassWidget::PlacePointer(double theta)
{
    const int radius = PointerRadius();
    m_knob = PolarToScreen(theta, radius);
    for (size_t i = 0; i < m_triangles.size(); ++i) {
        const TriangleShape& shape = kTriangles[i];
        const double tip = radius + ScaleByDpiX(shape.tipOffset);
        const double base = radius - ScaleByDpiX(shape.baseOffset);
        const double delta = shape.halfAngle * kDegree;
        m_triangles[i] = { PolarToScreen(theta, tip), PolarToScreen(theta + delta, base),
            PolarToScreen(theta - delta, base), shape.colour };
    }
}

void CCompassWidget::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    const int32_t rotation = m_controller ? m_controller->GetRotation() : 0;
    if (m_region == REGION_KNOB) {
        if (g_infoLabel) {
            const QString text = QStringLiteral("%1°").arg(rotation / 10);
            // The text font: the title font is light text for the title bar,
            // which would not show on the hint's white box.
            CGlyphFont* font = GetToolFont(FONT_TEXT);
            ElementPoint anchor { (GetScreenWidth() - FontFixedTextWidth(font, text)) / 2, kHintTop };
            g_infoLabel->ShowText(text, anchor, font);
        }
        m_hintShown = true;
    } else if (m_hintShown) {
        if (g_infoLabel)
            g_infoLabel->Hide();
        m_hintShown = false;
    }
    const double theta = rotation * M_PI / 1800 + M_PI / 2;
    if (theta != m_lastAngle) {
        m_lastAngle = theta;
        PlacePointer(theta);
    }
    for (const Triangle& t : m_triangles) {
        DrawLineOn(m_surface, t.tip.x, t.tip.y, t.left.x, t.left.y, t.colour);
        DrawLineOn(m_surface, t.left.x, t.left.y, t.right.x, t.right.y, t.colour);
        DrawLineOn(m_surface, t.right.x, t.right.y, t.tip.x, t.tip.y, t.colour);
    }
    DrawKeyedImage(m_surface, static_cast<int>(kCentreImage), m_image.x, m_image.y,
        { m_imageWidth, m_imageHeight }, kImageAlpha);
}
