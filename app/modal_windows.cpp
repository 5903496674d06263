#include "app/modal_windows.h"

#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/travenor_app.h"
#include "controls/command_registry.h"
#include "foundation/draw_suspender.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "platform/display.h"
#include "ui/property_sheet.h"

#include <QApplication>
#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr size_t kMemoryReserveBytes = 400000;

std::atomic<bool> g_routeWizardInUse { false };
std::vector<ModalWindowEntry> g_modalWindows;
std::unique_ptr<std::byte[]> g_memoryReserve;
// Windows open that gave the reserve back.
int g_reserveUsers = 0;
// Bit 0: driving mode was switched off for the windows.
uint8_t g_bMovingModeSuspended = 0;
// The route's compute lock held by this thread for the modal period.
platform::CriticalSection* g_heldComputeLock = nullptr;

auto FindEntry(const void* window)
{
    return std::find_if(g_modalWindows.begin(), g_modalWindows.end(),
        [window](const ModalWindowEntry& entry) { return entry.window == window; });
}

} // namespace

bool IsRouteWizardOpen() { return g_routeWizardInUse.load(); }

void SetRouteWizardInUse(bool inUse) { g_routeWizardInUse = inUse; }

void AllocateMemoryReserve()
{
    if (!g_memoryReserve)
        g_memoryReserve.reset(new (std::nothrow) std::byte[kMemoryReserveBytes]);
}

bool IsMemoryReserveHeld() { return g_memoryReserve != nullptr; }

size_t ModalWindowCount() { return g_modalWindows.size(); }

void RegisterModalWindow(const ModalWindowEntry& entry)
{
    if (FindEntry(entry.window) != g_modalWindows.end())
        return;
    if (g_modalWindows.empty()) {
        CMapController* controller = g_MapController.get();
        if (controller && controller->IsMovingMode()) {
            g_bMovingModeSuspended |= 1;
            ExecuteCommand(CMD_DRIVING_MODE);
        }
        // Route computations on other threads wait while a window is open.
        if (controller) {
            g_heldComputeLock = &controller->GetRouteManager().GetRoute().GetComputeLock();
            g_heldComputeLock->Lock();
        }
        g_drawSuspender.Suspend();
        if (controller)
            controller->SetMapScreenActive(0);
    }
    if (entry.freeReserve == 1 && g_reserveUsers++ == 0)
        g_memoryReserve.reset();
    g_modalWindows.push_back(entry);
}

void UnregisterModalWindow(const ModalWindowEntry& entry)
{
    const auto found = FindEntry(entry.window);
    if (found == g_modalWindows.end())
        return;
    const int32_t freeReserve = found->freeReserve;
    g_modalWindows.erase(found);
    if (freeReserve == 1 && --g_reserveUsers == 0)
        AllocateMemoryReserve();
    if (!g_modalWindows.empty())
        return;
    CMapController* controller = g_MapController.get();
    if (controller)
        controller->SetMapScreenActive(1);
    g_drawSuspender.Resume(1);
    if (g_heldComputeLock) {
        g_heldComputeLock->Unlock();
        g_heldComputeLock = nullptr;
    }
    if ((g_bMovingModeSuspended & 1) && controller && !controller->IsMovingMode())
        ExecuteCommand(CMD_DRIVING_MODE);
    g_bMovingModeSuspended = 0;
    ActivateMapScreen();
    if (CMainFrame* frame = theApp ? theApp->GetMainWnd() : nullptr)
        if (CMapWnd* map = frame->GetMapWnd())
            map->SetFullScreen(true, GetScreenWidth(), GetScreenHeight());
}

void ActivateMapScreen()
{
    if (theApp)
        if (QWidget* screen = theApp->GetDeviceScreen()) {
            screen->raise();
            screen->activateWindow();
            QApplication::setActiveWindow(screen);
        }
}

int RunSheetModal(CPropertySheet& sheet, int page, int freeReserve)
{
    if (page < 0 || page >= sheet.GetPageCount())
        return -1;
    sheet.SetActivePage(page);
    const ModalWindowEntry entry { &sheet, freeReserve, {} };
    RegisterModalWindow(entry);
    const int result = sheet.DoModal();
    UnregisterModalWindow(entry);
    return result;
}
