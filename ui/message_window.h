#pragma once
// The one panel in which the program shows its short notices over the map:
// a title strip, a wrapped text, an optional close button and captioned
// buttons, a time-out counted down by the 250 ms tick, a WAVE sound and a
// completion callback run once when the panel is hidden.
//
// The user-interface thread shows, ticks, hides it and gives it the pointer;
// the draw thread draws it and runs its frame callback. The window's lock
// (re-entrant) guards its contents between the two.
#include "platform/process_object.h"
#include "platform/sync.h"
#include "ui/image_button.h"
#include "ui/label_element.h"
#include "ui/message_title.h"
#include "ui/text_button.h"

#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

struct ElementRect;

// Called once when the window is hidden: (1 when hidden through one of its
// buttons, else 0; reserved 0). The result is ignored.
using MessageCallback = std::function<int(int closedByButton, int reserved)>;

enum MessageFlags : uint32_t { MESSAGE_CLOSE_BUTTON = 0x1 };

// Time-outs the callers pass to the notices.
enum : int {
    MESSAGE_NO_TIMEOUT = -1,
    ROUTE_NOTICE_TIMEOUT = 2500, // off route, back on route, route ready
    ROUTE_FAILURE_TIMEOUT = 7000, // not supported, cannot connect, no segments, unknown error
    ROUTE_LATER_TIMEOUT = 10000, // points saved, and the close-or-minimize question
};

class CMessageWindow : public CScreenElement {
public:
    enum : int {
        TITLE_IMAGE = 214,
        BODY_IMAGE = 215,
        BOTTOM_IMAGE = 216,
        QUESTION_BUTTON_IMAGE = 3,
        TICK_MS = 250,
        FRAME_WAIT_MS = 2000,
    };

    CMessageWindow();
    ~CMessageWindow() override;
    CMessageWindow(const CMessageWindow&) = delete;
    CMessageWindow& operator=(const CMessageWindow&) = delete;

    int Attach(CDrawTool* surface, CGlyphFont* font, int useFont);
    int Show(const QString& title, const QString& text, uint32_t flags, int timeoutMs, int waveId,
        const std::optional<ElementPoint>& position = std::nullopt, MessageCallback callback = {},
        int buttonCount = 0, int extraHeight = 0);
    int SetButton(int index, int id, const ElementPoint& position, const ElementSize& size,
        const QString& caption, uint32_t style, uint32_t background, int margin, CGlyphFont* font,
        uint32_t textFlags);
    // The room for buttons, relative to the window's position.
    void GetButtonArea(ElementRect& rect);
    void SetState(int state) override;
    void Tick();
    void Draw() override;
    int OnPointerDown(const ElementPoint& point) override;
    int OnPointerUp(const ElementPoint& point) override;
    int OnPointerMove(const ElementPoint& point) override;
    int OnDoubleClick(const ElementPoint& point) override;
    // Whether the current message takes the pointer before the map does.
    int CapturesInput();
    void SetSoundEnabled(int enabled) { m_sound = enabled != 0; }
    int IsSoundEnabled() const { return m_sound ? 1 : 0; }
    // Blocks until a frame with the window in it has been copied to the
    // screen, at most 2000 ms; true when one was. Never on the draw thread.
    bool WaitNextFrame();

    // The notices of the program, in the interface language.
    int ShowOffRoute(int timeoutMs);
    int ShowBackOnRoute(int timeoutMs);
    int ShowRouteReady(int timeoutMs);
    int ShowRoutingWait(int timeoutMs);
    int ShowJunctionNeedsDrivingMode(int timeoutMs);
    int ShowCannotConnectPoints(int timeoutMs);
    int ShowNotSupported(const QString& title, int timeoutMs);
    int ShowPointsSavedRouteLater(int timeoutMs);
    int ShowNoSegmentsNearPoint(int timeoutMs);
    int ShowInstalled(int timeoutMs);
    int ShowNoPhoneApp(int timeoutMs);
    int ShowSettingsFileUnreadable(int timeoutMs);
    int ShowRouteFileUnreadable(int timeoutMs);
    int ShowBanFilesInaccessible(int timeoutMs);
    int AskCloseOrMinimize(int timeoutMs);
    int AskScreenChanged(int timeoutMs);
    int ShowRouteUnknownError(int code, int timeoutMs);

    // What is shown, for the owner and for tests.
    QString GetTitle();
    QString GetText();
    uint32_t GetFlags();
    int GetTimeout() const { return m_timeout.load(); }
    int GetBodyCount();
    int GetButtonCount();
    CTextButton GetButton(int index);
    const CImageButton& GetCloseButton() const { return m_closeButton; }
    CLabelElement GetTextElement();
    platform::CriticalSection& Lock() { return m_lock; }

private:
    enum : int { NO_BUTTON = -1, CLOSE_BUTTON = -2 };

    static int OnFrameDrawn(void* window);
    int HitTest(const ElementPoint& point);
    CImageButton* ButtonAt(int index);
    int AskQuestion(const QString& text, int timeoutMs, bool closeButton);

    platform::Event m_frameEvent { true, false };
    std::atomic<uint8_t> m_frameHandshake { 0 };
    std::atomic<bool> m_frameCallbackQueued { false };
    CLabelElement m_text;
    CGlyphFont* m_textFont = nullptr;
    CMessageTitle m_title;
    uint16_t m_bodyCount = 1;
    uint32_t m_flags = 0;
    int m_current = NO_BUTTON;
    CImageButton m_closeButton;
    std::atomic<int32_t> m_timeout { MESSAGE_NO_TIMEOUT };
    bool m_sound = true;
    platform::CriticalSection m_lock;
    MessageCallback m_callback;
    std::vector<CTextButton> m_buttons;
};

// The program's message window, built by the application's start-up list.
inline platform::ProcessObject<CMessageWindow> g_messageWnd;

// The text a route building failure is reported with, in the interface
// language: not supported (1), cannot connect (62), no segments (64, 65),
// else the unknown error with the code.
QString RouteFailureText(int code);
