#include "ui/message_window.h"

#include "drawlib/glyph_sets.h"
#include "foundation/draw_suspender.h"
#include "foundation/screen_metrics.h"
#include "platform/clock.h"
#include "platform/sound.h"
#include "ui/element_drawing.h"
#include "ui/framed_element.h"

#include <algorithm>
#include <climits>

namespace {
constexpr int kCloseCommand = 10047;
constexpr int kMeasureWrappedFlags = 0x181;
constexpr int kWrappedFlags = 0x81;
constexpr uint8_t kWaiting = 0x1;
constexpr uint8_t kDrawn = 0x2;
}

CMessageWindow::CMessageWindow() { SetState(STATE_HIDDEN); }

// A frame wait that timed out left its callback in the list: it must not
// reach a window that is gone.
CMessageWindow::~CMessageWindow() { g_drawSuspender.FrameCallbacks().Remove(this); }

int CMessageWindow::Attach(CDrawTool* surface, CGlyphFont* font, int useFont)
{
    if (!surface)
        return 0;
    CLockOrderGuard lock(m_lock);
    SetSurface(surface);
    SetState(STATE_HIDDEN);
    m_title.SetSurface(surface);
    m_title.SetFont(font ? font : GetToolFont(FONT_TITLE));
    m_title.UpdateSize();
    m_textFont = useFont ? font : GetToolFont(FONT_TEXT);
    m_text.SetSurface(surface);
    m_closeButton.SetState(STATE_HIDDEN);
    m_closeButton.Attach(surface, { ScaleByDpiX(199), ScaleByDpiY(53) }, this);
    m_closeButton.SetImageId(kCloseCommand);
    return 1;
}

int CMessageWindow::Show(const QString& title, const QString& text, uint32_t flags, int timeoutMs, int waveId,
    const std::optional<ElementPoint>& position, MessageCallback callback, int buttonCount, int extraHeight)
{
    // A message replaced while open is still closed for its caller: its
    // callback runs (not through a button) before the new message takes over.
    while (m_callback) {
        MessageCallback replaced = std::move(m_callback);
        m_callback = nullptr;
        replaced(0, 0);
    }

    const ElementPoint at = position.value_or(ElementPoint { ScaleByDpiX(20), ScaleByDpiY(50) });
    CLockOrderGuard lock(m_lock);
    SetPosition(at);
    // A held button belongs to the message being replaced.
    if (m_current == CLOSE_BUTTON)
        m_closeButton.SetPressed(0);
    m_current = NO_BUTTON;
    m_buttons.resize(static_cast<size_t>(std::max(buttonCount, 0)));
    m_callback = std::move(callback);

    m_title.SetCaption(title);
    m_title.UpdateSize();
    m_title.SetPosition(at);
    m_title.SetState(STATE_SHOWN);
    ElementSize titleSize;
    m_title.GetSize(titleSize);

    const int maxTextHeight = ScaleByDpiY(210) - extraHeight;
    const int textWidth = titleSize.cx - ScaleByDpiX(10);
    const ElementPoint origin { at.x + ScaleByDpiX(5), at.y + titleSize.cy + ScaleByDpiY(3) };
    const int measured = FontDrawTextInRect(
        m_textFont, text, { origin.x, origin.y, origin.x + textWidth, SHRT_MAX }, kMeasureWrappedFlags);
    const int textHeight = std::max(0, std::min(measured, maxTextHeight));
    m_text.Create(text, origin, { textWidth, textHeight }, m_textFont, kWrappedFlags);

    // Without a body picture there is nothing to stack: one segment.
    const int bodyHeight = GetImageSize(m_surface, BODY_IMAGE).cy;
    m_bodyCount
        = static_cast<uint16_t>(bodyHeight > 0 ? std::max(0, textHeight + extraHeight) / bodyHeight + 1 : 1);

    m_flags = flags;
    m_closeButton.SetState(STATE_HIDDEN);
    if (flags & MESSAGE_CLOSE_BUTTON) {
        m_closeButton.SetPosition({ at.x + titleSize.cx - ScaleByDpiX(21), at.y + ScaleByDpiY(3) });
        m_closeButton.SetState(STATE_SHOWN);
    }
    if (m_sound && waveId != 0)
        platform::PlaySoundResource(waveId, platform::SND_RESOURCE | platform::SND_ASYNC);
    m_timeout = timeoutMs;
    SetState(STATE_SHOWN);
    return 1;
}

int CMessageWindow::SetButton(int index, int id, const ElementPoint& position, const ElementSize& size,
    const QString& caption, uint32_t style, uint32_t background, int margin, CGlyphFont* font,
    uint32_t textFlags)
{
    CLockOrderGuard lock(m_lock);
    if (index < 0 || index >= static_cast<int>(m_buttons.size()))
        return 0;
    CTextButton& button = m_buttons[static_cast<size_t>(index)];
    const int idSet = button.SetImageId(id);
    const int setUp
        = button.Setup(m_surface, position, this, caption, size, style, background, margin, font, textFlags);
    return idSet && setUp ? 1 : 0;
}

void CMessageWindow::GetButtonArea(ElementRect& rect)
{
    CLockOrderGuard lock(m_lock);
    ElementSize titleSize;
    m_title.GetSize(titleSize);
    const ElementSize body = GetImageSize(m_surface, BODY_IMAGE);
    const ElementSize bottom = GetImageSize(m_surface, BOTTOM_IMAGE);
    rect.left = ScaleByDpiX(3);
    rect.top = titleSize.cy + ScaleByDpiY(2);
    rect.right = body.cx - ScaleByDpiX(3);
    rect.bottom = m_bodyCount * body.cy + rect.top + bottom.cy - ScaleByDpiY(6);
}

void CMessageWindow::SetState(int state)
{
    CScreenElement::SetState(state);
    if (state != STATE_HIDDEN || !m_callback)
        return;
    MessageCallback callback = std::move(m_callback);
    m_callback = nullptr;
    callback(m_current != NO_BUTTON ? 1 : 0, 0);
}

void CMessageWindow::Tick()
{
    const int timeout = m_timeout.load();
    if (GetState() == STATE_HIDDEN || timeout == MESSAGE_NO_TIMEOUT)
        return;
    if (timeout <= 0)
        SetState(STATE_HIDDEN);
    else
        m_timeout = timeout - TICK_MS;
}

void CMessageWindow::Draw()
{
    m_frameHandshake.fetch_or(kDrawn);
    if (GetState() == STATE_HIDDEN)
        return;
    CLockOrderGuard lock(m_lock);
    m_title.Draw();
    ElementSize titleSize;
    m_title.GetSize(titleSize);
    const ElementSize body = GetImageSize(m_surface, BODY_IMAGE);
    int y = m_y + titleSize.cy;
    for (int i = 0; i < m_bodyCount; ++i, y += body.cy)
        DrawKeyedImage(m_surface, BODY_IMAGE, m_x, y, body, 255);
    DrawKeyedImage(m_surface, BOTTOM_IMAGE, m_x, y, 255);
    m_text.Draw();
    if (m_closeButton.GetState() != STATE_HIDDEN)
        m_closeButton.DrawImage(0);
    for (CTextButton& button : m_buttons)
        button.DrawImage(0);
}

CImageButton* CMessageWindow::ButtonAt(int index)
{
    if (index == CLOSE_BUTTON)
        return &m_closeButton;
    if (index >= 0 && index < static_cast<int>(m_buttons.size()))
        return &m_buttons[static_cast<size_t>(index)];
    return nullptr;
}

int CMessageWindow::HitTest(const ElementPoint& point)
{
    if (m_closeButton.GetState() != STATE_HIDDEN) {
        ElementPoint at;
        m_closeButton.GetPosition(at);
        const ElementSize size = GetImageSize(m_surface, m_closeButton.GetImageId());
        const int dx = size.cx / 2, dy = size.cy / 2;
        if (at.x - dx <= point.x && point.x < at.x + size.cx + dx && at.y - dy <= point.y
            && point.y < at.y + size.cy + dy)
            return CLOSE_BUTTON;
    }
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].GetState() != STATE_HIDDEN && m_buttons[i].Contains(point))
            return static_cast<int>(i);
    }
    return NO_BUTTON;
}

int CMessageWindow::OnPointerDown(const ElementPoint& point)
{
    if (GetState() == STATE_HIDDEN)
        return 0;
    CLockOrderGuard lock(m_lock);
    m_current = HitTest(point);
    if (CImageButton* button = ButtonAt(m_current))
        button->SetPressed(1);
    return 1;
}

int CMessageWindow::OnPointerUp(const ElementPoint& point)
{
    if (GetState() == STATE_HIDDEN)
        return 0;
    CLockOrderGuard lock(m_lock);
    const int held = m_current;
    if (CImageButton* button = ButtonAt(held)) {
        if (HitTest(point) == held)
            button->Execute();
        // The command may have replaced the message, and its buttons with it.
        if (m_current == held)
            button->SetPressed(0);
    }
    m_current = NO_BUTTON;
    return 1;
}

int CMessageWindow::OnPointerMove(const ElementPoint&) { return GetState() == STATE_HIDDEN ? 0 : 1; }

int CMessageWindow::OnDoubleClick(const ElementPoint&) { return GetState() == STATE_HIDDEN ? 0 : 1; }

int CMessageWindow::CapturesInput()
{
    CLockOrderGuard lock(m_lock);
    return m_flags != 0 || !m_buttons.empty() ? 1 : 0;
}

bool CMessageWindow::WaitNextFrame()
{
    m_frameEvent.Reset();
    m_frameHandshake = kWaiting;
    // A wait that timed out leaves its callback in the list; it serves the next wait.
    if (!m_frameCallbackQueued.exchange(true))
        g_drawSuspender.FrameCallbacks().Add(&CMessageWindow::OnFrameDrawn, this);
    return m_frameEvent.Wait(FRAME_WAIT_MS);
}

int CMessageWindow::OnFrameDrawn(void* user)
{
    auto* window = static_cast<CMessageWindow*>(user);
    uint8_t expected = kWaiting | kDrawn;
    if (!window->m_frameHandshake.compare_exchange_strong(expected, 0))
        return 0;
    window->m_frameCallbackQueued = false;
    window->m_frameEvent.Set();
    platform::Sleep(100);
    return 1;
}

QString CMessageWindow::GetTitle()
{
    CLockOrderGuard lock(m_lock);
    return m_title.GetCaption();
}

QString CMessageWindow::GetText()
{
    CLockOrderGuard lock(m_lock);
    return m_text.GetText();
}

uint32_t CMessageWindow::GetFlags()
{
    CLockOrderGuard lock(m_lock);
    return m_flags;
}

int CMessageWindow::GetBodyCount()
{
    CLockOrderGuard lock(m_lock);
    return m_bodyCount;
}

int CMessageWindow::GetButtonCount()
{
    CLockOrderGuard lock(m_lock);
    return static_cast<int>(m_buttons.size());
}

CTextButton CMessageWindow::GetButton(int index)
{
    CLockOrderGuard lock(m_lock);
    return m_buttons.at(static_cast<size_t>(index));
}

CLabelElement CMessageWindow::GetTextElement()
{
    CLockOrderGuard lock(m_lock);
    return m_text;
}
