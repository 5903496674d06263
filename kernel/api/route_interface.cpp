#include "kernel/api/route_interface.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "kernel/api/result_codes.h"
#include "kernel/render/view.h"
#include "kernel/router/router.h"

namespace {

CZXS_View* ValidView(const CZXS_ViewHandle* handle)
{
    return ZXS_IsViewHandleValid(handle) ? handle->pView : nullptr;
}

// Runs `use` on the view's router under the route lock, so that a frame never
// draws a route while it is being rebuilt. 2 without a ready router.
template <class Use> int32_t WithReadyRouter(CZXS_ViewHandle* handle, Use use)
{
    CZXS_View* view = ValidView(handle);
    if (view == nullptr)
        return ZXS_ERR_NOHANDLE;
    const std::lock_guard<std::mutex> lock(view->RouteLock());
    CZXS_Router* router = view->Router();
    if (router == nullptr || !router->IsReady())
        return ZXS_ERR_NOHANDLE;
    return use(*router);
}

int32_t AddPoint(CZXS_ViewHandle* handle, int kind, int32_t x, int32_t y, int32_t radius, int32_t nameId,
    int32_t usePassages)
{
    return WithReadyRouter(handle, [&](CZXS_Router& router) {
        if (static_cast<uint16_t>(usePassages) > 1)
            return static_cast<int32_t>(ZXS_ERR_PARAM);
        return static_cast<int32_t>(router.AddPoint(
            kind, x, y, radius, -1, nameId == -1 ? CZXS_Router::kAnyName : nameId, usePassages & 1));
    });
}

} // namespace

int32_t ZXS_RouteReset(CZXS_ViewHandle* handle)
{
    CZXS_View* view = ValidView(handle);
    if (view == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (view->CreateRouter() == 0)
        return ZXS_ERR_FAIL;
    const std::lock_guard<std::mutex> lock(view->RouteLock());
    CZXS_Router* router = view->Router();
    if (router == nullptr || !router->IsReady())
        return ZXS_ERR_FAIL;
    router->Clear();
    return ZXS_OK;
}

int32_t ZXS_RouteSetStart(
    CZXS_ViewHandle* handle, int32_t x, int32_t y, int32_t radius, int32_t heading, int32_t usePassages)
{
    return WithReadyRouter(handle, [&](CZXS_Router& router) {
        if (heading < -1 || heading > 3599 || (usePassages != 0 && usePassages != 1))
            return static_cast<int32_t>(ZXS_ERR_PARAM);
        return static_cast<int32_t>(
            router.AddPoint(CZXS_Router::kStart, x, y, radius, heading, CZXS_Router::kAnyName, usePassages));
    });
}

int32_t ZXS_RouteSetFinish(
    CZXS_ViewHandle* handle, int32_t x, int32_t y, int32_t radius, int32_t nameId, int32_t usePassages)
{
    return AddPoint(handle, CZXS_Router::kFinish, x, y, radius, nameId, usePassages);
}

int32_t ZXS_RouteAddVia(
    CZXS_ViewHandle* handle, int32_t x, int32_t y, int32_t radius, int32_t nameId, int32_t usePassages)
{
    return AddPoint(handle, CZXS_Router::kVia, x, y, radius, nameId, usePassages);
}

int32_t ZXS_RouteCalculate(CZXS_ViewHandle* handle, int32_t option)
{
    return WithReadyRouter(
        handle, [&](CZXS_Router& router) { return static_cast<int32_t>(router.Calculate(option)); });
}

int32_t ZXS_RouteGetPoints(const CZXS_ViewHandle* handle, CZXS_RoutePoint* points, int32_t count)
{
    CZXS_View* view = ValidView(handle);
    if (view == nullptr)
        return -1;
    const std::lock_guard<std::mutex> lock(view->RouteLock());
    const CZXS_Router* router = view->Router();
    if (router == nullptr)
        return -1;
    const uint32_t total = router->PointCount();
    if (points == nullptr || count < 1)
        return static_cast<int32_t>(total);
    uint32_t copied = 0;
    while (copied < total && copied < static_cast<uint32_t>(count) && router->PointAt(copied, points[copied]))
        ++copied;
    return static_cast<int32_t>(copied);
}

int32_t ZXS_RouteDraw(CZXS_ViewHandle* handle)
{
    CZXS_View* view = ValidView(handle);
    if (view == nullptr || view->Image() == nullptr)
        return ZXS_ERR_NOHANDLE;
    // The busy flag is taken, not only watched, so that no frame starts on the
    // image while the route is drawn into it.
    int waits = 0;
    while (!view->TryBeginFrame()) {
        if (waits++ == 50)
            return ZXS_ERR_BUSY;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    view->DrawRoute();
    view->EndFrame();
    return ZXS_OK;
}

int32_t ZXS_RouteSetStyle(CZXS_ViewHandle* handle, int32_t flags, int32_t outerWidth, int32_t centreWidth,
    int32_t markedOuterWidth, int32_t markedCentreWidth, int32_t outerRed, int32_t outerGreen,
    int32_t outerBlue, int32_t centreRed, int32_t centreGreen, int32_t centreBlue, int32_t markedOuterRed,
    int32_t markedOuterGreen, int32_t markedOuterBlue, int32_t markedCentreRed, int32_t markedCentreGreen,
    int32_t markedCentreBlue)
{
    CZXS_View* view = ValidView(handle);
    if (view == nullptr || view->Image() == nullptr || view->Image()->Surface() == nullptr)
        return ZXS_ERR_NOHANDLE;
    const std::lock_guard<std::mutex> lock(view->RouteLock());
    view->RouteFlags() = static_cast<uint8_t>(((flags & 1) ? CZXS_View::kRouteShow : 0)
        | ((flags & 8) ? CZXS_View::kRouteAllPoints : 0) | ((flags & 2) ? CZXS_View::kRouteMarkers : 0)
        | ((flags & 4) ? CZXS_View::kRouteHiddenMarkers : 0));
    const CZX_Surface565& surface = *view->Image()->Surface();
    auto colour = [&](int32_t red, int32_t green, int32_t blue) {
        return surface.MakeColour(
            static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue));
    };
    CZXS_View::RoutePen& pen = view->GetRoutePen();
    pen.outerWidth = static_cast<uint8_t>(outerWidth);
    pen.centreWidth = static_cast<uint8_t>(centreWidth);
    pen.markedOuterWidth = static_cast<uint8_t>(markedOuterWidth);
    pen.markedCentreWidth = static_cast<uint8_t>(markedCentreWidth);
    pen.outer = colour(outerRed, outerGreen, outerBlue);
    pen.centre = colour(centreRed, centreGreen, centreBlue);
    pen.outerCopy = colour(markedOuterRed, markedOuterGreen, markedOuterBlue);
    pen.markedCentre = colour(markedCentreRed, markedCentreGreen, markedCentreBlue);
    return ZXS_OK;
}

int32_t ZXS_RouteDelete(CZXS_ViewHandle* handle)
{
    CZXS_View* view = ValidView(handle);
    if (view == nullptr)
        return ZXS_ERR_NOHANDLE;
    view->DeleteRouter();
    return ZXS_OK;
}
