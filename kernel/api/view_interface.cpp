#include "kernel/api/view_interface.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>

#include "kernel/api/app_handle.h"
#include "kernel/api/result_codes.h"
#include "kernel/doc/application.h"
#include "kernel/doc/little_endian.h"
#include "kernel/render/async_renderer.h"
#include "kernel/render/render_clock.h"
#include "kernel/render/view.h"

namespace {

constexpr int32_t kNoCoordinate = 0x8000000;
constexpr int32_t kMaxViewSide = 16000;

bool KernelStarted() { return ZXSg_pApplication != nullptr; }

CZXS_View* ViewOf(const CZXS_ViewHandle* handle) { return handle != nullptr ? handle->pView : nullptr; }

bool HasImage(const CZXS_View* view) { return view != nullptr && view->Image() != nullptr; }

bool ValidWithImage(const CZXS_ViewHandle* handle)
{
    return ZXS_IsViewHandleValid(handle) && HasImage(handle->pView);
}

// Copies the whole image; an offset <= 0 moves the destination, one > 0 the source.
int32_t CopyImage(const CZXS_View& view, ZXS_DeviceContext& dc, int32_t ox, int32_t oy)
{
    const ZXS_DeviceContext* src = view.ImageDC();
    if (src == nullptr || dc.bits == nullptr || dc.width <= 0 || dc.height <= 0)
        return ZXS_ERR_BLT;
    // 64-bit: any offset the caller passes, however far out, neither overflows
    // nor forms a pointer outside the images.
    const int64_t dx = ox <= 0 ? -int64_t { ox } : 0;
    const int64_t sx = ox > 0 ? ox : 0;
    const int64_t dy = oy <= 0 ? -int64_t { oy } : 0;
    const int64_t sy = oy > 0 ? oy : 0;
    const int64_t w = std::min<int64_t>(int64_t { src->width } - sx, int64_t { dc.width } - dx);
    const int64_t h = std::min<int64_t>(int64_t { src->height } - sy, int64_t { dc.height } - dy);
    if (w <= 0)
        return ZXS_OK;
    for (int64_t r = 0; r < h; ++r) {
        const uint8_t* from = src->bits + (sy + r) * src->stride + sx * 2;
        uint8_t* to = dc.bits + (dy + r) * dc.stride + dx * 2;
        std::memmove(to, from, static_cast<size_t>(w) * 2);
    }
    return ZXS_OK;
}

} // namespace

int32_t ZXS_ViewCreate(CZXS_ViewHandle* view, CZXS_MapHandle* map)
{
    if (view == nullptr || map == nullptr || map->pDoc == nullptr)
        return ZXS_ERR_PARAM;
    if (view->pView != nullptr)
        return ZXS_ERR_ALREADY;
    CZXS_View* created = new (std::nothrow) CZXS_View(&map->pDoc->Map(), &map->pDoc->Styles());
    if (created == nullptr)
        return ZXS_ERR_MEMORY;
    if (!map->pDoc->AddView(created)) {
        delete created;
        return ZXS_ERR_MEMORY;
    }
    if (CApplication* app = ZXSg_pApplication) {
        created->SetFonts(&app->Fonts());
        created->SetPoiSources(&app->Pois(), &app->Symbols());
    }
    view->pView = created;
    view->pMap = map;
    return ZXS_OK;
}

void ZXS_ViewDestroy(CZXS_ViewHandle* view)
{
    if (view == nullptr)
        return;
    ZXS_ViewReleaseImage(view);
    if (view->pView == nullptr)
        return;
    // The view leaves the document it registered with, whether or not its map
    // handle is still open. Under the kernel lock: a map closed on another
    // thread at the same time drops its views and is freed under it.
    {
        std::unique_lock<CZXS_KernelLock> lock;
        if (ZXSg_pApplication != nullptr)
            lock = std::unique_lock<CZXS_KernelLock>(ZXSg_pApplication->Documents().KernelLock());
        if (CZXS_Doc* doc = view->pView->RegisteredWith())
            doc->RemoveView(view->pView);
    }
    view->pView->DeleteRouter();
    delete view->pView;
    view->pView = nullptr;
}

int32_t ZXS_ViewResize(
    CZXS_ViewHandle* view, ZXS_DeviceContext* /*dc*/, int32_t width, int32_t height, int32_t antialiased)
{
    CZXS_View* v = ViewOf(view);
    if (v == nullptr || v->Document() == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (width < 1 || width > kMaxViewSide || height < 1 || height > kMaxViewSide)
        return ZXS_ERR_PARAM;
    CAsyncRenderer::Instance().Cancel(v, false);
    std::unique_ptr<CZXS_ClippedImage> image(new (std::nothrow) CZXS_ClippedImage);
    if (!image)
        return ZXS_ERR_MEMORY;
    image->SetAntialiased(antialiased != 0);
    const int32_t code = image->Create(width, height, v->Document()->BackgroundColour());
    if (code != 0)
        return code;
    ZXS_ViewReleaseImage(view);
    if (v->SetImage(image.get()) == 0) {
        v->SetImage(nullptr);
        return ZXS_ERR_FAIL;
    }
    v->HeldImage() = std::move(image);
    return ZXS_OK;
}

void ZXS_ViewReleaseImage(CZXS_ViewHandle* view)
{
    CZXS_View* v = ViewOf(view);
    if (!HasImage(v))
        return;
    CAsyncRenderer::Instance().Cancel(v, false);
    int waits = 0;
    while (ZXS_ViewGetRenderState(view) == CZXS_View::kQueued && waits++ < 1000)
        ZXS_RenderSleep(10);
    v->SetImage(nullptr);
    if (v->State().load() != CZXS_View::kQueued)
        v->HeldImage().reset();
    else
        (void)v->HeldImage().release(); // still drawn into by a frame that never ended
}

int32_t ZXS_ViewHasImage(const CZXS_ViewHandle* view) { return HasImage(ViewOf(view)) ? 1 : 0; }

int32_t ZXS_ViewSetNotify(CZXS_ViewHandle* view, ZXS_ViewNotifyFunction callback, void* user)
{
    CZXS_View* v = ViewOf(view);
    if (v == nullptr)
        return ZXS_ERR_NOHANDLE;
    v->SetNotify(callback, user);
    return ZXS_OK;
}

int32_t ZXS_ViewGetWidth(const CZXS_ViewHandle* view)
{
    const CZXS_View* v = ViewOf(view);
    return HasImage(v) ? v->Image()->Width() : 0;
}

int32_t ZXS_ViewGetHeight(const CZXS_ViewHandle* view)
{
    const CZXS_View* v = ViewOf(view);
    return HasImage(v) ? v->Image()->Height() : 0;
}

uint8_t* ZXS_ViewGetBits(const CZXS_ViewHandle* view)
{
    return ValidWithImage(view) ? view->pView->Image()->Surface()->Bits() : nullptr;
}

const ZXS_DeviceContext* ZXS_ViewGetDC(const CZXS_ViewHandle* view)
{
    return ValidWithImage(view) ? view->pView->ImageDC() : nullptr;
}

int32_t ZXS_ViewSetRotation(CZXS_ViewHandle* view, int32_t angle)
{
    if (!ValidWithImage(view))
        return ZXS_ERR_NOHANDLE;
    if (angle < 0 || angle > 3599)
        return ZXS_ERR_PARAM;
    view->pView->SetRotation(angle * M_PI / 1800.0);
    return ZXS_OK;
}

int32_t ZXS_ViewSetPosition(CZXS_ViewHandle* view, int32_t x, int32_t y, int32_t scale)
{
    if (!ValidWithImage(view))
        return ZXS_ERR_NOHANDLE;
    if (scale < CZXS_Coords::kMinScale)
        return ZXS_ERR_PARAM;
    return view->pView->SetPosition(x, y, scale) != 0 ? ZXS_OK : ZXS_ERR_FAIL;
}

int32_t ZXS_ViewScreenToMapX(const CZXS_ViewHandle* view, int32_t x, int32_t y)
{
    if (!ValidWithImage(view))
        return kNoCoordinate;
    return view->pView->ScreenToMapX(static_cast<int16_t>(x), static_cast<int16_t>(y));
}

int32_t ZXS_ViewScreenToMapY(const CZXS_ViewHandle* view, int32_t x, int32_t y)
{
    if (!ZXS_IsViewHandleValid(view))
        return kNoCoordinate;
    return view->pView->ScreenToMapY(static_cast<int16_t>(x), static_cast<int16_t>(y));
}

int32_t ZXS_ViewMapToScreenX(const CZXS_ViewHandle* view, int32_t x, int32_t y)
{
    if (!ZXS_IsViewHandleValid(view) || x < 0 || y < 0 || x > 0xffffff || y > 0xffffff)
        return kNoCoordinate;
    return view->pView->MapToScreen(x, y).x;
}

int32_t ZXS_ViewMapToScreenY(const CZXS_ViewHandle* view, int32_t x, int32_t y)
{
    if (!ZXS_IsViewHandleValid(view) || x < 0 || y < 0 || x > 0xffffff || y > 0xffffff)
        return kNoCoordinate;
    return view->pView->MapToScreen(x, y).y;
}

double ZXS_ViewMapToScreenDist(const CZXS_ViewHandle* view, int32_t distance)
{
    if (!ZXS_IsViewHandleValid(view) || distance < 0 || distance > 0x2000000
        || view->pView->Scale() == CZXS_Coords::kUnset)
        return 0.0;
    return distance * 128.0 / view->pView->Scale();
}

double ZXS_ViewScreenToMapDist(const CZXS_ViewHandle* view, int32_t distance)
{
    if (!ZXS_IsViewHandleValid(view) || distance < 0 || distance > 65536
        || view->pView->Scale() == CZXS_Coords::kUnset)
        return 0.0;
    return view->pView->Scale() * static_cast<double>(distance) / 128.0;
}

int32_t ZXS_ViewClear(CZXS_ViewHandle* view)
{
    CZXS_View* v = ViewOf(view);
    if (v == nullptr || v->Document() == nullptr || !HasImage(v))
        return ZXS_ERR_NOHANDLE;
    const uint32_t bgr = v->Document()->BackgroundColour();
    CZXS_ClippedImage* image = v->Image();
    image->FillRect(0, 0, image->Width() - 1, image->Height() - 1, CZX_Surface565::ColourFromBgr(bgr));
    v->ResetLists();
    return ZXS_OK;
}

int32_t ZXS_ViewFill(CZXS_ViewHandle* view, uint8_t red, uint8_t green, uint8_t blue)
{
    CZXS_View* v = ViewOf(view);
    if (!HasImage(v))
        return ZXS_ERR_NOHANDLE;
    CZXS_ClippedImage* image = v->Image();
    image->FillRect(
        0, 0, image->Width() - 1, image->Height() - 1, CZX_Surface565::Colour565(red, green, blue));
    return ZXS_OK;
}

int32_t ZXS_ViewBlt(const CZXS_ViewHandle* view, ZXS_DeviceContext* dc, int32_t x, int32_t y, uint32_t rop)
{
    if (!ValidWithImage(view) || view->pView->ImageDC() == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (dc == nullptr || rop != ZXS_SRCCOPY)
        return ZXS_ERR_BLT;
    return CopyImage(*view->pView, *dc, x, y);
}

int32_t ZXS_ViewDrawObject(CZXS_ViewHandle* view, int32_t object, uint8_t red, uint8_t green, uint8_t blue)
{
    CZXS_View* v = ViewOf(view);
    if (!KernelStarted() || v == nullptr || !HasImage(v) || v->Document() == nullptr || view->pMap == nullptr
        || view->pMap->pOwner == nullptr || object == -1)
        return ZXS_ERR_NOHANDLE;
    CZXS_ClippedImage* image = v->Image();
    const bool antialiased = image->Antialiased();
    image->SetAntialiased(false);
    v->DrawObject(object, red | (green << 8) | (uint32_t { blue } << 16));
    image->SetAntialiased(antialiased);
    return ZXS_OK;
}

int32_t ZXS_ViewSetClipRect(CZXS_ViewHandle* view, const int32_t* rect)
{
    if (rect == nullptr)
        return ZXS_ERR_PARAM;
    if (!ValidWithImage(view))
        return ZXS_ERR_NOHANDLE;
    view->pView->SetUpdateRect({ rect[0], rect[1], rect[2], rect[3] });
    return ZXS_OK;
}

int32_t ZXS_ViewExcludeRect(CZXS_ViewHandle* view, const int32_t* rect)
{
    if (rect == nullptr)
        return ZXS_ERR_PARAM;
    if (!ValidWithImage(view))
        return ZXS_ERR_NOHANDLE;
    const int32_t middle = (rect[1] + rect[3]) >> 1;
    const int32_t half = std::abs(rect[3] - rect[1]) / 2;
    return view->pView->OccupyBox({ rect[0], middle }, { rect[2], middle }, half) != 0 ? ZXS_OK
                                                                                       : ZXS_ERR_FAIL;
}

int32_t ZXS_ViewNop1(CZXS_ViewHandle*) { return ZXS_ERR_FAIL; }
int32_t ZXS_ViewNop2(CZXS_ViewHandle*) { return ZXS_ERR_FAIL; }
int32_t ZXS_ViewNop3(CZXS_ViewHandle*) { return ZXS_ERR_FAIL; }

int32_t ZXS_ViewRenderAsync(CZXS_ViewHandle* view)
{
    if (!KernelStarted() || !ValidWithImage(view))
        return ZXS_ERR_NOHANDLE;
    CAsyncRenderer& renderer = CAsyncRenderer::Instance();
    if (!renderer.Start())
        return ZXS_ERR_FAIL;
    renderer.Cancel(view->pView, false);
    if (!renderer.Add(view->pView))
        return ZXS_ERR_FAIL;
    for (int i = 0; i < 10 && !view->pView->IsBusy() && view->pView->State().load() == CZXS_View::kQueued;
         ++i)
        ZXS_RenderSleep(10);
    return ZXS_OK;
}

int32_t ZXS_ViewCancelRender(CZXS_ViewHandle* view)
{
    CZXS_View* v = ViewOf(view);
    if (v == nullptr)
        return ZXS_ERR_NOHANDLE;
    return CAsyncRenderer::Instance().Cancel(v, false) ? ZXS_OK : ZXS_ERR_FAIL;
}

int32_t ZXS_ViewGetRenderState(const CZXS_ViewHandle* view)
{
    if (!ZXS_IsViewHandleValid(view))
        return CZXS_View::kDone;
    return view->pView->State().load();
}

int32_t ZXS_ViewAckRender(CZXS_ViewHandle* view)
{
    if (!ZXS_IsViewHandleValid(view))
        return ZXS_ERR_NOHANDLE;
    view->pView->AckRender();
    return ZXS_OK;
}

int32_t ZXS_ViewRender(CZXS_ViewHandle* view, int32_t quick, ZXS_DeviceContext* dc)
{
    CZXS_View* v = ViewOf(view);
    if (!KernelStarted() || v == nullptr || !HasImage(v) || v->Document() == nullptr || view->pMap == nullptr
        || view->pMap->pOwner == nullptr)
        return ZXS_ERR_NOHANDLE;
    // A quick frame drawn here has plain lines.
    const int ok = v->Render(quick != 0, quick != 0);
    // A frame that failed is reported as a failure, not as success.
    if (ok == 0)
        return ZXS_ERR_FAIL;
    if (dc != nullptr && CopyImage(*v, *dc, 0, 0) != ZXS_OK)
        return ZXS_ERR_BLT;
    return ZXS_OK;
}

int32_t ZXS_InitAxisStroke(
    ZXS_AxisStroke* stroke, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width)
{
    if (stroke == nullptr)
        return 0;
    if (y1 == y2) {
        if (x1 > x2)
            std::swap(x1, x2);
        *stroke = { x1, y1, x2, y2, (x1 + x2) / 2, y1, static_cast<uint16_t>((x2 - x1) / 2),
            static_cast<uint16_t>(width), (x2 - x1) * 65536, 0x10000, 0 };
        return 1;
    }
    if (x1 == x2) {
        if (y1 > y2)
            std::swap(y1, y2);
        *stroke = { x1, y1, x2, y2, x1, (y1 + y2) / 2, static_cast<uint16_t>(width),
            static_cast<uint16_t>((y2 - y1) / 2), (y2 - y1) * 65536, 0, 0x10000 };
        return 1;
    }
    return 0;
}

namespace {

bool IterUsable(const CZXS_PixelIterator* it)
{
    return it != nullptr && ValidWithImage(it->view) && it->view->pView->Image()->Surface() != nullptr;
}

const uint8_t* IterPixel(const CZXS_PixelIterator* it)
{
    return it->view->pView->Image()->Surface()->Bits() + it->rowOffset + it->pixelOffset;
}

int32_t Begin(CZXS_PixelIterator* it, bool bottom)
{
    if (!IterUsable(it))
        return ZXS_ERR_NOHANDLE;
    const CZX_Surface565* surface = it->view->pView->Image()->Surface();
    if (surface->Stride() == 0 || surface->Width() < 2 || surface->Height() < 2)
        return ZXS_ERR_NOHANDLE;
    it->stride = surface->Stride();
    it->bytesPerPixel = CZX_Surface565::kBytesPerPixel;
    it->lastRow = surface->Height() - 1;
    it->lastColumn = surface->Width() - 1;
    it->column = 0;
    it->pixelOffset = 0;
    it->row = bottom ? it->lastRow : 0;
    it->rowOffset = bottom ? it->lastRow * it->stride : 0;
    return ZXS_OK;
}

} // namespace

int32_t ZXS_PixelIterInit(CZXS_PixelIterator* it, const CZXS_ViewHandle* view)
{
    if (it == nullptr)
        return ZXS_ERR_NOHANDLE;
    *it = {};
    it->view = view;
    return IterUsable(it) ? ZXS_OK : ZXS_ERR_NOHANDLE;
}

int32_t ZXS_PixelIterBeginTop(CZXS_PixelIterator* it) { return Begin(it, false); }

int32_t ZXS_PixelIterBeginBottom(CZXS_PixelIterator* it) { return Begin(it, true); }

namespace {

int32_t StepRow(CZXS_PixelIterator* it, int32_t step)
{
    if (!IterUsable(it))
        return ZXS_ERR_NOHANDLE;
    if (step > 0 ? it->row >= it->lastRow : it->row <= 0)
        return ZXS_ERR_RANGE;
    it->row += step;
    it->rowOffset += step * it->stride;
    it->column = 0;
    it->pixelOffset = 0;
    return ZXS_OK;
}

} // namespace

int32_t ZXS_PixelIterNextRow(CZXS_PixelIterator* it) { return StepRow(it, 1); }

int32_t ZXS_PixelIterPrevRow(CZXS_PixelIterator* it) { return StepRow(it, -1); }

int32_t ZXS_PixelIterNextPixel(CZXS_PixelIterator* it)
{
    if (!IterUsable(it))
        return ZXS_ERR_NOHANDLE;
    if (it->column >= it->lastColumn)
        return ZXS_ERR_RANGE;
    ++it->column;
    it->pixelOffset += it->bytesPerPixel;
    return ZXS_OK;
}

namespace {

// The pixel under the iterator, or the code that refuses reading it.
int32_t ReadPixel(const CZXS_PixelIterator* it, const uint8_t* red, const uint8_t* green, const uint8_t* blue,
    uint16_t& value)
{
    if (!IterUsable(it) || it->stride == 0)
        return ZXS_ERR_NOHANDLE;
    if (red == nullptr || green == nullptr || blue == nullptr)
        return ZXS_ERR_PARAM;
    const uint8_t* p = IterPixel(it);
    value = ZXS_Le16(p);
    return ZXS_OK;
}

} // namespace

int32_t ZXS_PixelIterGet555(const CZXS_PixelIterator* it, uint8_t* red, uint8_t* green, uint8_t* blue)
{
    uint16_t v = 0;
    const int32_t code = ReadPixel(it, red, green, blue, v);
    if (code != ZXS_OK)
        return code;
    *red = static_cast<uint8_t>((v >> 11) & 0x1f);
    *green = static_cast<uint8_t>((v >> 6) & 0x1f);
    *blue = static_cast<uint8_t>(v & 0x1f);
    return ZXS_OK;
}

int32_t ZXS_PixelIterGetRGB(const CZXS_PixelIterator* it, uint8_t* red, uint8_t* green, uint8_t* blue)
{
    uint16_t v = 0;
    const int32_t code = ReadPixel(it, red, green, blue, v);
    if (code != ZXS_OK)
        return code;
    *red = static_cast<uint8_t>((v >> 8) & 0xf8);
    *green = static_cast<uint8_t>((v >> 3) & 0xfc);
    *blue = static_cast<uint8_t>((v << 3) & 0xff);
    return ZXS_OK;
}
