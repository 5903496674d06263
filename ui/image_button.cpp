#include "ui/image_button.h"

#include "drawlib/glyph_sets.h"
#include "foundation/screen_metrics.h"
#include "platform/archive.h"
#include "ui/button_hint.h"
#include "ui/element_drawing.h"
#include "ui/ui_hooks.h"

namespace {
constexpr int kWideHighlightImage = 845;
constexpr int kNarrowHighlightImage = 846;
}

CImageButton::CImageButton()
{
    // Buttons are also built before the screen is known (static objects):
    // they take the side as it stands and get the real one with their id.
    SetSize({ g_buttonSide, g_buttonSide });
    SetAlpha(128);
}

int CImageButton::SetImageId(int id)
{
    const int side = GetButtonSide();
    SetSize({ side, side });
    if (id >= FIRST_COMMAND_ID && !IsCommandId(id) && !IsDiagramId(id))
        return 0;
    m_id = id;
    if (IsCommandId(id)) {
        m_pressStep = 0;
        m_pressed = UiHooks().IsCommandChecked(id) ? 1 : 0;
    }
    return 1;
}

int CImageButton::Attach(CDrawTool* surface, const ElementPoint& position, CScreenElement* owner)
{
    SetSurface(surface);
    m_owner = owner;
    SetPosition(position);
    if (owner)
        SetAlpha(owner->GetAlpha());
    return 1;
}

void CImageButton::CopyFrom(const CImageButton& other)
{
    Assign(other);
    m_id = other.m_id;
    m_owner = other.m_owner;
}

void CImageButton::Execute()
{
    if (IsCommandId(m_id))
        UiHooks().ExecuteCommand(m_id);
}

void CImageButton::Invoke()
{
    if (IsCommandId(m_id))
        UiHooks().InvokeCommand(m_id);
}

void CImageButton::SetPressed(int value)
{
    if (IsCommandId(m_id) && UiHooks().GetCommandKind(m_id) != COMMAND_PLAIN)
        return;
    m_pressed = value;
}

void CImageButton::SetPressedWithHint(int value)
{
    if (m_id >= FIRST_COMMAND_ID && m_id <= LAST_HINTED_COMMAND_ID) {
        CUiHooks& hooks = UiHooks();
        if (value == 1) {
            if (hooks.IsButtonHintEnabled()) {
                const int side = GetButtonSide();
                CScreenElement* bar = hooks.GetTopButtonBar();
                const bool barShown = bar && bar->GetState() != STATE_HIDDEN;
                ElementPoint anchor;
                anchor.x = (GetEffectiveOrientation() != ORIENT_PORTRAIT && barShown) ? side : 0;
                if (CScreenElement* panel = hooks.GetActiveInfoPanel()) {
                    ElementPoint at;
                    ElementSize size;
                    panel->GetPosition(at);
                    panel->GetSize(size);
                    anchor.y = at.y + size.cy + 1;
                } else {
                    anchor.y = barShown ? side + 1 : 1;
                }
                g_buttonHint->ShowText(hooks.GetCommandName(m_id), anchor, GetToolFont(FONT_SMALL));
            }
        } else {
            g_buttonHint->Hide();
        }
    }
    SetPressed(value);
}

int CImageButton::UpdatePressStep()
{
    if (IsDiagramId(m_id))
        return 255;
    if (IsCommandId(m_id)) {
        CUiHooks& hooks = UiHooks();
        if (hooks.GetCommandKind(m_id) != COMMAND_PLAIN) {
            const int checked = hooks.IsCommandChecked(m_id) ? 1 : 0;
            if (m_pressed != checked)
                m_pressed = checked;
        }
    }
    if (m_pressed == 1) {
        if (m_pressStep < 2)
            ++m_pressStep;
        return m_pressStep;
    }
    if (m_pressed == 0) {
        if (m_pressStep > 0)
            --m_pressStep;
        return m_pressStep;
    }
    return 255;
}

void CImageButton::DrawImage(int highlight)
{
    const int alpha = OwnerAlpha();
    if (IsDiagramId(m_id)) {
        UiHooks().DrawDiagram(m_id, m_surface, m_x, m_y, alpha);
        return;
    }
    UpdatePressStep();
    if (m_id < FIRST_COMMAND_ID)
        return;
    const int picture = m_id + m_pressStep * PRESS_STEP_IMAGE_OFFSET;
    const ElementSize size = GetImageSize(m_surface, picture);
    DrawKeyedImage(m_surface, picture, m_x, m_y, size, alpha);
    if (highlight) {
        const int frame = size.cx > ScaleByDpiX(40) ? kWideHighlightImage : kNarrowHighlightImage;
        DrawKeyedImage(m_surface, frame, m_x, m_y, size, alpha);
    }
}

void CImageButton::Store(platform::Archive& archive) const { archive.WriteInt32(m_id); }

void CImageButton::Load(platform::Archive& archive) { SetImageId(archive.ReadInt32()); }
