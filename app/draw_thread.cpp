#include "app/draw_thread.h"

#include "app/kn_exception.h"
#include "app/loading_wnd.h"
#include "app/modal_windows.h"
#include "app/travenor_app.h"
#include "controls/button_folders.h"
#include "controls/map_popup_menu.h"
#include "drawlib/draw_tool.h"
#include "foundation/draw_suspender.h"
#include "kernel/api/view_interface.h"
#include "nav/map_controller.h"
#include "settings/settings_record.h"
#include "ui/button_hint.h"
#include "ui/message_window.h"

#include <chrono>
#include <exception>

namespace {

// The kernel's render states (ZXS_ViewGetRenderState).
constexpr int32_t kRenderDone = 2;
// While a render is pending: at most 15 polls, 80 ms apart.
constexpr int kRenderPolls = 15;
constexpr uint32_t kRenderPollMs = 80;
// How long one try for the drawing lock lasts before the thread looks
// whether it was stopped meanwhile.
constexpr uint32_t kLockTryMs = 50;

// The stop request seen: stop, skip and idle give way to idle.
void AcknowledgeStop()
{
    g_drawSuspender.ClearStateBits(CDrawSuspender::STATE_STOP | CDrawSuspender::STATE_PAUSE_REQUEST);
    g_drawSuspender.SetStateBits(CDrawSuspender::STATE_IDLE);
    g_drawSuspender.AcknowledgeStop();
}

} // namespace

CDrawThread::CDrawThread(CDrawTool* tool)
    : m_pTool(tool)
{
}

CDrawThread::~CDrawThread() { Join(); }

void CDrawThread::InitSurface()
{
    if (m_pTool)
        m_image.AttachToSurface(m_pTool);
}

int CDrawThread::Start()
{
    Join();
    m_bRunning = 1;
    m_bStopped = 0;
    m_thread = std::thread([this] { ThreadProc(); });
    return 1;
}

void CDrawThread::Stop()
{
    m_bRunning = 0;
    std::lock_guard lock(m_restMutex);
    m_restWake.notify_all();
}

void CDrawThread::Join()
{
    Stop();
    // A frame waiting for the kernel's render gives up at once.
    if (CMapController* controller = g_MapController.get(); controller && m_thread.joinable())
        ZXS_ViewCancelRender(controller->GetView());
    if (m_thread.joinable())
        m_thread.join();
}

void CDrawThread::Rest(uint32_t ms)
{
    std::unique_lock lock(m_restMutex);
    m_restWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_bRunning.load() == 0; });
}

void CDrawThread::ThreadProc()
{
    g_drawThread = this;
    const auto stopOrIdle = [] {
        return (g_drawSuspender.State() & (CDrawSuspender::STATE_STOP | CDrawSuspender::STATE_IDLE)) != 0;
    };
    while (m_bRunning.load()) {
        DrawFrame();
        while (m_bRunning.load() && m_bPaused.load() && !stopOrIdle())
            Rest(m_idleSleepMs);
        CMapController* controller = g_MapController.get();
        if (controller && controller->IsRenderPending()) {
            for (int poll = 0; poll < kRenderPolls && m_bRunning.load(); ++poll) {
                if (ZXS_ViewGetRenderState(controller->GetView()) == kRenderDone)
                    break;
                Rest(kRenderPollMs);
            }
        } else if (!stopOrIdle()) {
            Rest(m_idleSleepMs);
        }
    }
    g_drawThread = nullptr;
    m_bStopped = 1;
}

void CDrawThread::DrawOverlays()
{
    if (CScreenButtonFolders* folders = g_transparentButtonRoot.get())
        folders->Draw();
    if (g_buttonTooltips == 1 && g_buttonHint)
        g_buttonHint->Draw();
    if (g_infoLabel)
        g_infoLabel->Draw();
    if (g_messageWnd)
        g_messageWnd->Draw();
    if (g_MapPopupMenu)
        g_MapPopupMenu->Draw();
}

bool CDrawThread::AwaitFinishedFrame(uint32_t limitMs)
{
    std::unique_lock lock(m_restMutex);
    const uint64_t after = m_framesBegun;
    return m_frameFinished.wait_for(
        lock, std::chrono::milliseconds(limitMs), [&] { return m_lastFinishedFrame > after; });
}

void CDrawThread::DrawFrame()
{
    try {
        uint64_t number = 0;
        {
            std::lock_guard lock(m_restMutex);
            number = ++m_framesBegun;
        }
        bool finished = true;
        if (CMapController* controller = g_MapController.get()) {
            controller->Draw();
            finished = controller->IsRenderPending() == 0 && controller->GetRedrawFlag() == 0;
        }
        if (g_bLoadingEndPending.exchange(0) == 1)
            SetLoadingProgress(100);
        if (!IsRouteWizardOpen())
            DrawOverlays();
        ++m_framesDrawn;

        uint8_t state = g_drawSuspender.State();
        if (state & CDrawSuspender::STATE_STOP) {
            AcknowledgeStop();
            return;
        }
        if (state & CDrawSuspender::STATE_NO_COPY)
            return;
        if (state & CDrawSuspender::STATE_IDLE)
            while (m_bRunning.load() && (g_drawSuspender.State() & CDrawSuspender::STATE_STOPPING))
                Rest(m_idleSleepMs);
        // The user-interface thread holds the lock while drawing is suspended;
        // a thread told to stop meanwhile stops waiting for it.
        while (!g_drawSuspender.LockDrawing(kLockTryMs))
            if (!m_bRunning.load())
                return;
        state = g_drawSuspender.State();
        if (state & CDrawSuspender::STATE_STOP) {
            AcknowledgeStop();
        } else if (state & CDrawSuspender::STATE_PAUSE_REQUEST) {
            g_drawSuspender.ClearStateBits(CDrawSuspender::STATE_PAUSE_REQUEST);
        } else if (m_pTool) {
            m_pTool->BeginDraw(nullptr);
            m_pTool->CopyToScreen();
            m_pTool->EndDraw();
            ++m_framesCopied;
            g_drawSuspender.FrameCallbacks().RunAll();
            if (finished) {
                std::lock_guard lock(m_restMutex);
                m_lastFinishedFrame = number;
                m_frameFinished.notify_all();
            }
        }
        g_drawSuspender.UnlockDrawing();
    } catch (const CKNException& error) {
        (void)error;
        m_bRunning = 0;
        RequestFatalExit(QStringLiteral("Unknown error"));
    } catch (const std::exception& error) {
        m_bRunning = 0;
        RequestFatalExit(QString::fromUtf8(error.what()));
    }
}
