#include "controls/zoom_control.h"

#include "drawlib/glyph_sets.h"
#include "foundation/app_services.h"
#include "foundation/language.h"
#include "foundation/scale_list.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "ui/button_hint.h"
#include "ui/element_drawing.h"

#include <cmath>

namespace {
constexpr int kBackgroundAlpha = 128;
constexpr int kKnobAlpha = 225;
constexpr int kZoomInCommand = 10048;
constexpr int kZoomOutCommand = 10049;
} // namespace

// The knob.

int32_t CZoomSlider::ScaleAtOffset(int offset, int length)
{
    const int32_t low = GetMinMapScale(), high = GetMaxMapScale();
    // A track of no length (pictures as tall as the control) has one place.
    if (offset < 0 || length <= 0)
        return low;
    if (offset > length)
        return high;
    const double share = double(offset) / length;
    return low + static_cast<int32_t>((double(high) - low) * share * share * share);
}

int CZoomSlider::OffsetOfScale(int32_t scale, int length)
{
    const int32_t low = GetMinMapScale(), high = GetMaxMapScale();
    if (scale < low || length <= 0 || high <= low)
        return 0;
    if (scale > high)
        return length;
    return static_cast<int>(length * std::pow((double(scale) - low) / (double(high) - low), 0.333333333333));
}

void CZoomSlider::Attach(CDrawTool* surface, CZoomControl* owner)
{
    SetSurface(surface);
    m_owner = owner;
    const ElementSize knob = GetImageSize(surface, kKnobImage);
    SetSize(knob);
}

int CZoomSlider::TrackLength() const
{
    ElementSize control;
    m_owner->GetSize(control);
    return control.cy - m_height;
}

ElementPoint CZoomSlider::KnobPlace(int32_t scale) const
{
    ElementPoint control;
    m_owner->GetPosition(control);
    return { control.x, control.y + OffsetOfScale(scale, TrackLength()) };
}

bool CZoomSlider::OnKnob(const ElementPoint& point, const ElementPoint& knob) const
{
    return point.x >= knob.x && point.x < knob.x + m_width && point.y >= knob.y
        && point.y < knob.y + m_height;
}

int CZoomSlider::OnPointerDown(const ElementPoint& point)
{
    m_press = point;
    CMapController* controller = m_owner ? m_owner->GetOwner() : nullptr;
    // Where the knob stands for the scale shown, whether or not a frame drew it there yet.
    if (controller)
        m_knobAtPress = KnobPlace(controller->GetPreviewScale());
    if (!controller || !OnKnob(point, m_knobAtPress)) {
        m_dragging = false;
        return 0;
    }
    m_dragging = true;
    controller->BeginZoomPreview(controller->GetScale());
    return 1;
}

int CZoomSlider::OnPointerMove(const ElementPoint& point)
{
    if (!m_dragging)
        return 0;
    ElementPoint control;
    m_owner->GetPosition(control);
    const int offset = m_knobAtPress.y + (point.y - m_press.y) - control.y;
    m_owner->GetOwner()->SetPreviewScale(ScaleAtOffset(offset, TrackLength()));
    return 1;
}

int CZoomSlider::OnPointerUp(const ElementPoint& point)
{
    if (!m_dragging)
        return 0;
    m_dragging = false;
    CMapController* controller = m_owner->GetOwner();
    if (OnKnob(point, KnobPlace(controller->GetPreviewScale())))
        controller->ApplyZoomPreview();
    else
        controller->CancelZoomPreview();
    return 1;
}

void CZoomSlider::SetState(int state)
{
    if (m_dragging) {
        HideLabel();
        m_dragging = false;
        m_owner->GetOwner()->CancelZoomPreview();
    }
    CScreenElement::SetState(state);
}

void CZoomSlider::HideLabel()
{
    if (g_infoLabel)
        g_infoLabel->Hide();
    m_labelShown = false;
}

void CZoomSlider::Draw()
{
    CMapController* controller = m_owner ? m_owner->GetOwner() : nullptr;
    if (!controller)
        return;
    SetPosition(KnobPlace(controller->GetPreviewScale()));
    DrawKeyedImage(m_surface, static_cast<int>(kKnobImage), m_x - 1, m_y, { m_width, m_height }, kKnobAlpha);
    if (!m_dragging) {
        if (m_labelShown)
            HideLabel();
        return;
    }
    if (!g_infoLabel)
        return;
    QString distance;
    FormatDistance3(controller->GetScaleBarLength(), distance);
    const QString text
        = (g_language == LANGUAGE_RUSSIAN ? QStringLiteral("1см=%1") : QStringLiteral("1cm=%1"))
              .arg(distance);
    // Dark text on the hint's white box (the title font is light).
    CGlyphFont* font = GetToolFont(FONT_TEXT);
    ElementPoint anchor { m_x - FontFixedTextWidth(font, text) - 2 * ScaleByDpiX(2) - ScaleByDpiX(8),
        m_y + m_height / 2 - FontLineHeight(font) / 2 - 2 * ScaleByDpiY(2) };
    g_infoLabel->ShowText(text, anchor, font);
    m_labelShown = true;
}

// The control.

CZoomControl::CZoomControl() { CScreenElement::SetState(STATE_HIDDEN); }

void CZoomControl::Attach(CDrawTool* surface, CMapController* owner)
{
    SetSurface(surface);
    m_owner = owner;
    m_imageId = kBackground;
    SetSize(GetImageSize(surface, kBackground));
    const int width = GetScreenWidth(), side = GetButtonSide();
    if (GetScreenOrientation() == ORIENT_PORTRAIT)
        m_x = width - m_width, m_y = side;
    else
        m_x = width - m_width - side, m_y = 0;
    m_slider.Attach(surface, this);
    for (CImageButton* button : { &m_zoomIn, &m_zoomOut }) {
        button->SetState(STATE_SHOWN);
        button->Attach(surface, {}, this);
    }
    m_zoomIn.SetImageId(kZoomInCommand);
    m_zoomOut.SetImageId(kZoomOutCommand);
    SetPosition({ m_x, m_y });
}

void CZoomControl::SetImageId(uint32_t id)
{
    SetSize(GetImageSize(m_surface, static_cast<int>(id)));
    SetPosition({ m_x, m_y });
    m_imageId = id;
}

void CZoomControl::SetPosition(const ElementPoint& point)
{
    CScreenElement::SetPosition(point);
    const bool vga = GetScreenResolutionClass() == 2;
    const int outHeight = GetImageSize(m_surface, kZoomOutCommand).cy;
    m_zoomIn.SetPosition(vga ? ElementPoint { m_x + 12, m_y + 5 } : ElementPoint { m_x + 5, m_y + 4 });
    m_zoomOut.SetPosition(vga ? ElementPoint { m_x + 12, m_y + m_height - outHeight - 6 }
                              : ElementPoint { m_x + 5, m_y + m_height - outHeight - 5 });
}

void CZoomControl::ReleaseButtons()
{
    m_zoomIn.SetPressed(0);
    m_zoomOut.SetPressed(0);
}

void CZoomControl::SetState(int state)
{
    if (m_pressed != -1) {
        ReleaseButtons();
        m_pressed = -1;
    }
    CScreenElement::SetState(state);
    m_slider.SetState(state);
}

int CZoomControl::HitButton(const ElementPoint& point) const
{
    if (GetState() == STATE_HIDDEN)
        return -1;
    int index = 0;
    for (const CImageButton* button : { &m_zoomIn, &m_zoomOut }) {
        ElementPoint at;
        button->GetPosition(at);
        const ElementSize size = GetImageSize(m_surface, button->GetImageId());
        if (point.x >= at.x && point.x < at.x + size.cx && point.y >= at.y && point.y < at.y + size.cy)
            return index;
        ++index;
    }
    return -1;
}

int CZoomControl::OnPointerDown(const ElementPoint& point)
{
    if (GetState() == STATE_HIDDEN)
        return 0;
    m_pressed = HitButton(point);
    if (m_pressed != -1) {
        GetButton(m_pressed).SetPressed(1);
        return 2;
    }
    return m_slider.OnPointerDown(point) ? 1 : 0;
}

int CZoomControl::OnPointerUp(const ElementPoint& point)
{
    int taken = 0;
    if (GetState() != STATE_HIDDEN) {
        ReleaseButtons();
        const int hit = HitButton(point);
        if (hit != -1 && hit == m_pressed) {
            GetButton(hit).Execute();
            taken = 1;
        }
        m_pressed = -1;
    }
    if (m_slider.IsDragging())
        taken = m_slider.OnPointerUp(point);
    return taken;
}

int CZoomControl::OnPointerMove(const ElementPoint& point)
{
    return GetState() != STATE_HIDDEN ? m_slider.OnPointerMove(point) : 0;
}

void CZoomControl::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    DrawKeyedImage(
        m_surface, static_cast<int>(m_imageId), m_x - 1, m_y, { m_width, m_height }, kBackgroundAlpha);
    m_zoomIn.Draw();
    m_zoomOut.Draw();
    m_slider.Draw();
}
