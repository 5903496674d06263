#include "fake_ui_hooks.h"
#include "foundation/draw_suspender.h"
#include "platform/sound.h"
#include "render_rig.h"
#include "ui/button_hint.h"
#include "ui/element_drawing.h"
#include "ui/framed_text_list.h"
#include "ui_testing.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

struct Closed {
    int calls = 0;
    int byButton = -1;
    MessageCallback callback()
    {
        return [this](int button, int) {
            ++calls;
            byButton = button;
            return 0;
        };
    }
};

class MessageWindowTest : public ::testing::Test {
protected:
    uitest::OnScreen screen { 240, 320, 96, LANGUAGE_ENGLISH };
    uitest::FakeUiHooks hooks;
    CMessageWindow window;

    void SetUp() override { hooks.window = &window; }

    // A message with two 40x20 buttons at (30, 200) and (100, 200).
    void ShowWithButtons(MessageCallback callback = {}, uint32_t flags = 0)
    {
        window.Show("Title", "Text", flags, -1, 0, std::nullopt, std::move(callback), 2, 25);
        window.SetButton(0, 10030, { 30, 200 }, { 40, 20 }, "A", 1, 0, 0, nullptr, 0);
        window.SetButton(1, 10047, { 100, 200 }, { 40, 20 }, "B", 1, 0, 0, nullptr, 0);
    }
};

TEST_F(MessageWindowTest, TimeOutHidesOnTheTickAfterItRunsOut)
{
    struct Case {
        int timeout;
        int hiddenOnTick; // 0: never within 50 ticks
    };
    for (const Case c :
        { Case { 2500, 11 }, Case { 250, 2 }, Case { 0, 1 }, Case { -5, 1 }, Case { -1, 0 } }) {
        SCOPED_TRACE(c.timeout);
        Closed closed;
        window.Show("T", "x", 0, c.timeout, 0, std::nullopt, closed.callback());
        int hiddenOn = 0;
        for (int tick = 1; tick <= 50 && !hiddenOn; ++tick) {
            window.Tick();
            if (window.GetState() == 0)
                hiddenOn = tick;
        }
        EXPECT_EQ(hiddenOn, c.hiddenOnTick);
        EXPECT_EQ(closed.calls, c.hiddenOnTick ? 1 : 0);
        EXPECT_EQ(closed.byButton, c.hiddenOnTick ? 0 : -1);
        window.SetState(0);
    }
}

TEST_F(MessageWindowTest, PlainNoticeLetsTapsThroughAndACapturingOneConsumesThem)
{
    window.Show("T", "x", 0, -1, 0);
    EXPECT_EQ(window.CapturesInput(), 0);
    window.Show("T", "x", MESSAGE_CLOSE_BUTTON, -1, 0);
    EXPECT_EQ(window.CapturesInput(), 1);
    ShowWithButtons();
    EXPECT_EQ(window.CapturesInput(), 1);
    // A tap that hits no button is consumed and changes nothing.
    EXPECT_EQ(window.OnPointerDown({ 5, 5 }), 1);
    EXPECT_EQ(window.OnPointerUp({ 5, 5 }), 1);
    EXPECT_EQ(window.OnPointerMove({ 5, 5 }), 1);
    EXPECT_EQ(window.OnDoubleClick({ 5, 5 }), 1);
    EXPECT_TRUE(hooks.executed.empty());
    EXPECT_EQ(window.GetState(), 1);
    // Hidden, it takes nothing.
    window.SetState(0);
    for (auto op : { &CMessageWindow::OnPointerDown, &CMessageWindow::OnPointerUp,
             &CMessageWindow::OnPointerMove, &CMessageWindow::OnDoubleClick })
        EXPECT_EQ((window.*op)({ 35, 205 }), 0);
}

TEST_F(MessageWindowTest, AButtonRunsItsCommandOnlyWhenReleasedOverIt)
{
    ShowWithButtons();
    window.OnPointerDown({ 30, 200 });
    EXPECT_EQ(window.GetButton(0).GetPressed(), 1);
    window.OnPointerUp({ 70, 200 }); // just outside: x + width is not inside
    EXPECT_TRUE(hooks.executed.empty());
    EXPECT_EQ(window.GetButton(0).GetPressed(), 0);

    window.OnPointerDown({ 69, 219 });
    window.OnPointerUp({ 31, 201 });
    EXPECT_EQ(hooks.executed, std::vector<int> { 10030 });
    EXPECT_EQ(window.GetButton(0).GetPressed(), 0);
    EXPECT_EQ(window.GetState(), 1);
}

TEST_F(MessageWindowTest, CallbackTellsWhetherAButtonClosedTheWindow)
{
    Closed byButton;
    ShowWithButtons(byButton.callback());
    window.OnPointerDown({ 110, 205 });
    window.OnPointerUp({ 110, 205 }); // command 10047 hides the window
    EXPECT_EQ(window.GetState(), 0);
    EXPECT_EQ(byButton.calls, 1);
    EXPECT_EQ(byButton.byButton, 1);

    Closed byTimeout;
    window.Show("T", "x", MESSAGE_CLOSE_BUTTON, 0, 0, std::nullopt, byTimeout.callback());
    window.Tick();
    EXPECT_EQ(byTimeout.calls, 1);
    EXPECT_EQ(byTimeout.byButton, 0);
    window.SetState(0);
    EXPECT_EQ(byTimeout.calls, 1);
}

TEST_F(MessageWindowTest, AMessageReplacedWhileOpenStillClosesForItsCaller)
{
    Closed first, second;
    window.Show("T", "first", 0, -1, 0, std::nullopt, first.callback());
    window.Show("T", "second", 0, -1, 0, std::nullopt, second.callback());
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(first.byButton, 0);
    EXPECT_EQ(second.calls, 0);
    EXPECT_EQ(window.GetText(), "second");
    window.SetState(0);
    EXPECT_EQ(second.calls, 1);
}

TEST_F(MessageWindowTest, ReplacingAMessageWhileItsButtonIsHeldForgetsTheButton)
{
    ShowWithButtons();
    window.OnPointerDown({ 110, 205 });
    window.Show("T", "plain", 0, -1, 0); // the buttons are gone
    EXPECT_EQ(window.OnPointerUp({ 110, 205 }), 1);
    EXPECT_TRUE(hooks.executed.empty());
}

TEST_F(MessageWindowTest, SoundPlaysOnlyWhenEnabledAndGiven)
{
    platform::ClearSoundPlayLog();
    window.Show("T", "x", 0, -1, 509);
    window.Show("T", "x", 0, -1, 0);
    window.SetSoundEnabled(0);
    window.Show("T", "x", 0, -1, 510);
    window.SetSoundEnabled(1);
    window.Show("T", "x", 0, -1, 511);
    const auto log = platform::SoundPlayLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].source, "res:509");
    EXPECT_EQ(log[1].source, "res:511");
    EXPECT_EQ(log[1].flags, platform::SND_RESOURCE | platform::SND_ASYNC);
}

TEST_F(MessageWindowTest, WithoutPicturesTheBodyIsOneSegmentAndNothingDividesByZero)
{
    window.Show("T", "x", 0, -1, 0, std::nullopt, {}, 0, 500);
    EXPECT_EQ(window.GetBodyCount(), 1);
    ElementRect area;
    window.GetButtonArea(area);
    window.Draw();
}

TEST_F(MessageWindowTest, ButtonsOutsideTheArrayAreRefused)
{
    ShowWithButtons();
    EXPECT_EQ(window.SetButton(2, 10030, { 0, 0 }, { 1, 1 }, "x", 1, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(window.SetButton(-1, 10030, { 0, 0 }, { 1, 1 }, "x", 1, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(window.SetButton(0, 10054, { 0, 0 }, { 1, 1 }, "x", 1, 0, 0, nullptr, 0), 0);
}

class ItemList : public CFramedTextList {
public:
    void GetFrameStyle(const ElementPoint&, const ElementSize&, int& style) override
    {
        style = FRAME_BOXED | FRAME_CONTENT;
    }
};

// The draw thread draws the window and runs the frame callbacks while the
// user-interface thread replaces the message, presses its buttons and waits
// for frames.
TEST(MessageWindowThreads, DrawingWhileTheMessageChanges)
{
    uitest::RenderRig rig(240, 320, 96);
    uitest::FakeUiHooks hooks;
    rig.Solid(214, 200, 22, 0x2040A0);
    rig.Solid(215, 200, 20, 0xF0F0E0);
    rig.Solid(216, 200, 8, 0xD0D0C0);
    rig.Solid(3, 88, 24, 0xA0C0E0);
    rig.Solid(10047, 16, 16, 0xC00000);
    g_messageWnd->Attach(g_drawTool.get(), nullptr, 0);
    g_buttonHint->Init(g_drawTool.get(), 0);
    CImageButton hinted;
    hinted.SetImageId(10020);
    ItemList list;
    list.SetSurface(g_drawTool.get());
    list.SetPosition({ 10, 250 });
    list.SetSize({ 200, 40 });
    std::atomic<bool> stop { false };
    std::atomic<int> frames { 0 };
    std::thread drawThread([&] {
        while (!stop) {
            g_buttonHint->Draw();
            list.Draw();
            g_messageWnd->Draw();
            g_drawSuspender.FrameCallbacks().RunAll();
            ++frames;
            std::this_thread::yield();
        }
    });
    for (int i = 0; i < 300; ++i) {
        if (i % 3 == 0)
            g_messageWnd->AskCloseOrMinimize(10000);
        else if (i % 3 == 1)
            g_messageWnd->ShowRouteUnknownError(i, 7000);
        else
            g_messageWnd->Show("T", QString("word ").repeated(i), 0, 250, 0);
        g_messageWnd->OnPointerDown({ 60, 190 });
        hinted.SetPressedWithHint(i % 2);
        FramedTextItem items[2] { { &g_drawTool->GetFont(FONT_TEXT), nullptr, QString::number(i), 0, 0, 100,
                                      20 },
            { &g_drawTool->GetFont(FONT_SMALL), nullptr, "km", 100, 0, 200, 20 } };
        list.SetTextItems(1 + i % 2, items);
        g_messageWnd->Tick();
        g_messageWnd->OnPointerUp({ 60, 190 });
        g_messageWnd->Tick();
    }
    g_messageWnd->ShowRoutingWait(-1);
    EXPECT_TRUE(g_messageWnd->WaitNextFrame());
    EXPECT_TRUE(g_messageWnd->WaitNextFrame());
    stop = true;
    drawThread.join();
    g_messageWnd->SetState(0);
    EXPECT_GT(frames.load(), 0);
    EXPECT_FALSE(hooks.executed.empty());
}

// A frame wait that timed out leaves its callback for the next frame; a window
// destroyed before that frame is no longer called (the draw thread's next
// frame read a freed window at the program's end).
TEST(MessageWindow, AWindowGoneIsNotCalledByTheNextFrame)
{
    const size_t before = g_drawSuspender.FrameCallbacks().Count();
    auto window = std::make_unique<CMessageWindow>();
    EXPECT_FALSE(window->WaitNextFrame()) << "no frame is drawn";
    EXPECT_EQ(g_drawSuspender.FrameCallbacks().Count(), before + 1);
    window.reset();
    EXPECT_EQ(g_drawSuspender.FrameCallbacks().Count(), before);
    g_drawSuspender.FrameCallbacks().RunAll();
}

// Taking another element's lock (the message window's, a button hint's) under
// the widget lock is a programming error.
class NestingElement : public CFramedElement {
public:
    void GetFrameStyle(const ElementPoint&, const ElementSize&, int& style) override
    {
        style = FRAME_CONTENT;
    }
    void DrawContent(const ElementPoint&, const ElementSize&) override
    {
        if (hint)
            hint->Draw();
        else
            window.Draw();
    }
    CMessageWindow window;
    CButtonHint* hint = nullptr;
};

TEST(MessageWindowThreads, NoLockIsTakenUnderTheWidgetLock)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    NestingElement element;
    element.window.Show("T", "x", 0, -1, 0);
    EXPECT_DEBUG_DEATH(element.Draw(), "g_widgetLock");
    CButtonHint hint;
    element.hint = &hint;
    EXPECT_DEBUG_DEATH(element.Draw(), "g_widgetLock");
}

} // namespace
