// The map controller's frames: the kernel view rendered and copied into the
// drawing surface, the scroll buffer during drags and zoom previews, the zoom
// rectangle, and the overlays over the map; the zoom to a map rectangle, the
// layout of the on-map elements and the screenshot writer.
#include "drawlib/draw_tool.h"
#include "foundation/dib_section.h"
#include "foundation/jpeg_writer.h"
#include "foundation/path_helpers.h"
#include "foundation/scale_list.h"
#include "foundation/screen_metrics.h"
#include "gps/gps_fix.h"
#include "kernel/api/map_geo.h"
#include "kernel/api/map_query.h"
#include "kernel/api/view_interface.h"
#include "nav/map_controller.h"
#include "platform/clock.h"
#include "platform/little_endian.h"
#include "search/waypoint.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace {

// Program colours are 0x00BBGGRR: the low byte is red.
constexpr uint32_t kGreyBackground = 0xC0C0C0;
constexpr uint32_t kZoomRectangleRed = 0x0000FF;
constexpr uint8_t kHighlightRed = 50, kHighlightGreen = 112, kHighlightBlue = 214;
constexpr uint32_t kImageKey = 0xFF00FF;

// The GPS marker and its shadow by 22.5-degree sector of the marker's screen
// angle, from the sector around 0 onwards; and without a fix.
constexpr uint32_t kGpsMarkers[16]
    = { 218, 238, 230, 242, 219, 244, 231, 236, 220, 237, 228, 239, 221, 240, 229, 241 };
constexpr uint32_t kGpsShadows[16]
    = { 225, 248, 234, 245, 222, 252, 227, 246, 224, 247, 232, 249, 223, 250, 233, 251 };
constexpr uint32_t kGpsMarkerNoFix = 253;
constexpr uint32_t kGpsShadowNoFix = 254;

// Overlays are drawn while no route wizard holds the map.
bool MapOverlaysRun() { return true; }

bool ImageSize(CDrawTool& tool, uint32_t id, int& width, int& height)
{
    return tool.GetCanvas() && tool.GetCanvas()->GetImageSize(id, width, height) && width > 0 && height > 0;
}

} // namespace

void GpsMarkerImages(double rotationDegrees, double course, char status, uint32_t& marker, uint32_t& shadow)
{
    if (status == 'V') {
        marker = kGpsMarkerNoFix;
        shadow = kGpsShadowNoFix;
        return;
    }
    double angle = rotationDegrees + 360.0 - course;
    if (angle >= 360.0)
        angle -= 360.0;
    else if (angle < 0.0)
        angle += 360.0;
    const int sector = static_cast<int>(std::floor((angle + 11.25) / 22.5)) % 16;
    marker = kGpsMarkers[sector];
    shadow = kGpsShadows[sector];
}

int32_t CMapController::RenderQuickFrame()
{
    CZXS_ViewHandle* view = GetView();
    int32_t result = ZXS_ViewCancelRender(view);
    if (result == 0)
        result = SetViewPosition();
    if (result == 0)
        result = ZXS_ViewClear(view);
    if (result == 0)
        result = ZXS_ViewRender(view, 1, nullptr);
    return result;
}

int32_t CMapController::RenderNow()
{
    platform::CSLock lock(m_lock);
    const int32_t result = RenderQuickFrame();
    if (result == 0)
        m_redraw = 0;
    return result;
}

int32_t CMapController::RenderFirstFrame()
{
    platform::CSLock lock(m_lock);
    CZXS_ViewHandle* view = GetView();
    m_renderPending = 1;
    FillSurface(kGreyBackground);
    int32_t result = RenderQuickFrame();
    if (result != 0)
        return result;
    // The quick frame stands in the surface until the full one is done, so a
    // redraw never shows a grey screen in between.
    CopyViewToSurface();
    result = ZXS_ViewClear(view);
    if (result == 0)
        result = ZXS_ViewRenderAsync(view);
    if (result == 0)
        m_redraw = 0;
    return result;
}

void CMapController::CopyViewToSurface()
{
    if (CDrawTool* surface = CScreenElement::GetSurface(); surface && m_view.pixels)
        surface->CopyImage(m_view.pixels, m_view.width, m_view.height, m_view.stride, true, false);
}

void CMapController::FillSurface(uint32_t colour)
{
    if (CDrawTool* surface = CScreenElement::GetSurface())
        surface->FillSolidRect(0, 0, surface->GetWidth(), surface->GetHeight(), colour, 255, false);
}

void CMapController::DrawHighlight()
{
    if (m_highlightedObject != -1)
        ZXS_ViewDrawObject(GetView(), m_highlightedObject, kHighlightRed, kHighlightGreen, kHighlightBlue);
}

void CMapController::Draw()
{
    CDrawTool* surface = CScreenElement::GetSurface();
    if (!surface)
        return;
    bool drawn = false;
    ElementPoint offset;
    {
        // A frame turned by hand draws under the element lock too, taken
        // before the controller lock as everywhere else (switching moving mode
        // takes them in that order).
        bool manual = false;
        {
            platform::CSLock lock(m_lock);
            manual = m_manualRotation != 0;
        }
        std::unique_lock<platform::CriticalSection> elementLock(m_elementLock, std::defer_lock);
        if (manual)
            elementLock.lock();
        platform::CSLock lock(m_lock);
        if (m_manualRotation && elementLock.owns_lock()) {
            if (m_redraw.load()) {
                RenderNow();
                DrawHighlight();
            }
            CopyViewToSurface();
            drawn = true;
        } else {
            const bool viewExists = GetView()->pView != nullptr;
            if (!m_bufferDrag && !m_zoomPreview && viewExists) {
                if (m_redraw.load()) {
                    RenderFirstFrame();
                } else {
                    const int32_t state = ZXS_ViewGetRenderState(GetView());
                    CopyViewToSurface();
                    if (state == 2) {
                        DrawHighlight();
                        ZXS_ViewAckRender(GetView());
                        m_renderPending = 0;
                    }
                }
                drawn = true;
            }
            const ElementPoint shift { m_current.x - m_press.x, m_current.y - m_press.y };
            if (m_bufferDrag) {
                FillSurface(kGreyBackground);
                DrawAt(shift.x, shift.y, *m_scrollBuffer);
                if (shift != ElementPoint {})
                    m_framesSinceDrag = 0;
                offset = shift;
                drawn = true;
            }
            if (m_framesSinceDrag < 2 && !m_bufferDrag && !m_zoomRect) {
                // The two frames after a drag keep the moved picture until the new render arrives.
                DrawAt(shift.x, shift.y, *m_scrollBuffer);
                ++m_framesSinceDrag;
            }
            if (m_zoomPreview) {
                FillSurface(kGreyBackground);
                m_previewFactor = m_previewScale > 0 ? double(m_scale) / m_previewScale : 1.0;
                DrawFromScaled(*m_scrollBuffer, m_previewFactor);
                m_framesSincePreview = 0;
            } else if (m_framesSincePreview <= 2) {
                DrawFromScaled(*m_scrollBuffer, m_previewFactor);
                ++m_framesSincePreview;
            }
            if (m_zoomRect) {
                const int left = std::min(m_press.x, m_current.x), top = std::min(m_press.y, m_current.y);
                surface->DrawRect(left, top, std::abs(m_current.x - m_press.x) + 1,
                    std::abs(m_current.y - m_press.y) + 1, kZoomRectangleRed, false);
            }
        }
    }
    const uint32_t now = platform::GetTickCount();
    m_lastFrameTick = now;
    m_blinkers.AdvanceAll(now);
    if (drawn) {
        DrawRouteMarkers(offset);
        DrawWaypoints(offset);
        DrawGpsMarker(offset, 0, nullptr);
    }
    if (MapOverlaysRun()) {
        if (CButtonHint* panel = GetActiveInfoPanel())
            panel->Draw();
    }
    {
        // The elements' places change under this lock when the screen is laid out again.
        platform::CSLock elementLock(m_elementLock);
        {
            platform::CSLock lock(m_lock);
            if (m_elements.scaleBar)
                m_elements.scaleBar->Draw();
            if (!MapOverlaysRun())
                return;
            if (m_elements.zoomControl)
                m_elements.zoomControl->Draw();
        }
        if (m_elements.widgetSet)
            m_elements.widgetSet->Draw();
        if (m_elements.centreMarker)
            m_elements.centreMarker->Draw();
        for (CScreenElement* element : { static_cast<CScreenElement*>(m_elements.bottomBar.get()),
                 static_cast<CScreenElement*>(m_elements.topBar.get()), m_elements.quickBar.get() })
            if (element)
                element->Draw();
    }
    // The route's length balloon and the orientation panel.
    platform::CSLock lock(m_lock);
    m_routeManager.Draw();
}

bool CMapController::GetGpsMapPosition(ZXS_Point& position, char& status, double& course)
{
    CGpsFix fix = CopyCurrentGpsFix();
    if (!fix.IsValid())
        return false;
    CGeoPos shown;
    if (IsFixInsideMap(fix, shown) == 0 && !shown.IsValid())
        shown = fix;
    if (ZXS_GeoToMap(m_mapSet.ActiveMap(), shown.GetLongitude().GetRadians(),
            shown.GetLatitude().GetRadians(), &position)
        != 0)
        return false;
    status = fix.m_status;
    course = fix.m_course;
    return true;
}

int CMapController::DrawGpsMarker(const ElementPoint& offset, int mode, ElementRect* outRect)
{
    if (mode != 0)
        return 0;
    ZXS_Point position;
    char status = 'V';
    double course = 0;
    if (!GetGpsMapPosition(position, status, course))
        return 0;
    return DrawGpsMarkerAt(position, status, course, offset, outRect);
}

int CMapController::DrawGpsMarkerAt(
    const ZXS_Point& position, char status, double course, const ElementPoint& offset, ElementRect* outRect)
{
    CDrawTool* surface = CScreenElement::GetSurface();
    if (!surface)
        return 0;
    ElementPoint centre;
    int32_t rotation = 0;
    {
        platform::CSLock lock(m_lock);
        if (!MapToScreen(position, centre))
            return 0;
        rotation = m_rotation;
    }
    centre.x += offset.x;
    centre.y += offset.y;
    uint32_t marker = 0, shadow = 0;
    GpsMarkerImages(rotation / 10.0, course, status, marker, shadow);
    int width = 0, height = 0;
    if (!ImageSize(*surface, marker, width, height))
        return 0;
    const ElementRect rect { centre.x - width / 2, centre.y - height / 2, centre.x - width / 2 + width,
        centre.y - height / 2 + height };
    if (outRect)
        *outRect = rect;
    if (rect.right <= 0 || rect.bottom <= 0 || rect.left >= surface->GetWidth()
        || rect.top >= surface->GetHeight())
        return 2;
    int shadowWidth = 0, shadowHeight = 0;
    if (ImageSize(*surface, shadow, shadowWidth, shadowHeight))
        surface->MaskBlt(shadow, centre.x - shadowWidth / 2, centre.y - shadowHeight / 2, shadowWidth,
            shadowHeight, 0, 0, kImageKey, 0, 128, false);
    // Without a fix the marker blinks over its steady shadow.
    const CBlinker* blinker = m_blinkers.Find(nullptr);
    if (status != 'V' || !blinker || blinker->IsVisible())
        surface->MaskBlt(marker, rect.left, rect.top, width, height, 0, 0, kImageKey, 0, 255, false);
    return 1;
}

namespace {

constexpr uint32_t kRoutePointImage = 786; // + the slot: start, stations 1 and 2, finish
constexpr uint32_t kManeuverImage = 502;
constexpr uint32_t kWaypointPinFirst = 653, kWaypointPinLast = 658;

// Whether a rectangle of the surface shows any of it.
bool OnSurface(const CDrawTool& surface, int left, int top, int width, int height)
{
    return left + width > 0 && top + height > 0 && left < surface.GetWidth() && top < surface.GetHeight();
}

} // namespace

void CMapController::DrawRouteMarkers(const ElementPoint& offset)
{
    CDrawTool* surface = CScreenElement::GetSurface();
    if (!surface)
        return;
    platform::CSLock lock(m_lock);
    CRoute& route = m_routeManager.GetRoute();
    {
        std::unique_lock points(route.GetPointLock(), std::try_to_lock);
        if (points.owns_lock()) {
            int count = 0;
            const RouteMarker* markers = route.GetMarkers(count);
            const bool routed = m_routeManager.HasRoute() != 0;
            const bool shown = (!routed && count > 0) || count > 2
                || (m_routeManager.IsReroutePending() && m_routeManager.GetBusyWord() >= 1);
            for (int i = 0; shown && markers && i < count; ++i) {
                const uint32_t image = kRoutePointImage + static_cast<uint32_t>(markers[i].slot);
                ElementPoint at;
                int width = 0, height = 0;
                if (!ImageSize(*surface, image, width, height)
                    || !MapToScreen({ markers[i].x, markers[i].y }, at))
                    continue;
                const int left = at.x + offset.x - width / 3, top = at.y + offset.y - height;
                if (OnSurface(*surface, left, top, width, height))
                    surface->MaskBlt(image, left, top, width, height, 0, 0, kImageKey, 0, 255, false);
            }
        }
    }

    if (m_routeManager.HasRoute() == 0)
        return;
    CRouteGuide& guide = m_routeManager.GetGuide();
    const std::vector<GuideNode>& nodes = guide.GetNodes();
    const int32_t current = guide.IsOnRoute() ? guide.GetCurrentNode() : -1;
    if (current != m_maneuverBlinkNode) {
        m_maneuverBlinkNode = current;
        m_maneuverBlinkStep = 0;
    }
    const bool blinkOn = m_maneuverBlinkStep >= 3;
    m_maneuverBlinkStep = (m_maneuverBlinkStep + 1) % 7;
    const uint16_t wanted = guide.GetForksOnly() ? GuideNode::FORK : GuideNode::MANEUVER;
    const double reach = ZXS_ViewScreenToMapDist(GetView(), surface->GetHeight() * 3 / 2);
    int width = 0, height = 0;
    if (!ImageSize(*surface, kManeuverImage, width, height))
        return;
    for (int32_t i = 0; i < static_cast<int32_t>(nodes.size()); ++i) {
        const GuideNode& node = nodes[static_cast<size_t>(i)];
        if (i == current ? !blinkOn : (node.maneuver & wanted) == 0)
            continue;
        if (std::fabs(double(node.x) - m_centreX) > reach || std::fabs(double(node.y) - m_centreY) > reach)
            continue;
        ElementPoint at;
        if (!MapToScreen({ node.x, node.y }, at))
            continue;
        const int left = at.x + offset.x - width / 2, top = at.y + offset.y - height / 2;
        if (OnSurface(*surface, left, top, width, height))
            surface->MaskBlt(kManeuverImage, left, top, width, height, 0, 0, kImageKey, 0, 150, false);
    }
}

void CMapController::PublishWaypointMarks()
{
    std::vector<WaypointMark> marks;
    if (g_waypoints) {
        const CWaypointList& list = *g_waypoints;
        marks.reserve(static_cast<size_t>(list.GetWaypointCount()));
        for (int i = 0; i < list.GetWaypointCount(); ++i) {
            const CWaypoint* w = list.GetAt(i);
            if (w && w->m_mapX != kNoMapCoordinate && w->m_mapY != kNoMapCoordinate)
                marks.push_back({ w->m_mapX, w->m_mapY, w->m_bitmapId });
        }
    }
    platform::CSLock lock(m_waypointMarksLock);
    m_waypointMarks.swap(marks);
}

void CMapController::DrawWaypoints(const ElementPoint& offset)
{
    CDrawTool* surface = CScreenElement::GetSurface();
    if (!surface)
        return;
    platform::CSLock lock(m_lock);
    platform::CSLock marksLock(m_waypointMarksLock);
    if (m_waypointMarks.empty())
        return;
    int marginX = 0, marginY = 0;
    ImageSize(*surface, kWaypointPinFirst, marginX, marginY);
    const double reach = ZXS_ViewScreenToMapDist(GetView(), surface->GetHeight() * 3 / 2);
    for (const WaypointMark& mark : m_waypointMarks) {
        if (std::fabs(double(mark.x) - m_centreX) > reach || std::fabs(double(mark.y) - m_centreY) > reach)
            continue;
        const uint32_t image = static_cast<uint32_t>(mark.bitmapId);
        int width = 0, height = 0;
        ElementPoint at;
        if (!ImageSize(*surface, image, width, height) || !MapToScreen({ mark.x, mark.y }, at))
            continue;
        at.x += offset.x;
        at.y += offset.y;
        if (at.x < -marginX || at.y < -marginY || at.x > surface->GetWidth() + marginX
            || at.y > surface->GetHeight() + marginY)
            continue;
        // The coloured pins stand on the point; other symbols are centred on it.
        const bool pin = image >= kWaypointPinFirst && image <= kWaypointPinLast;
        const int left = pin ? at.x : at.x - width / 2, top = pin ? at.y - height : at.y - height / 2;
        surface->MaskBlt(image, left, top, width, height, 0, 0, kImageKey, 0, 255, false);
    }
}

int CMapController::ZoomToRect(const ZXS_Rect& rect)
{
    platform::CSLock lock(m_lock);
    SetCentre(rect.left / 2 + rect.right / 2, rect.top / 2 + rect.bottom / 2);
    ZXS_ViewCancelRender(GetView());
    SetViewPosition();
    const double width = std::abs(double(rect.right) - rect.left);
    const double height = std::abs(double(rect.bottom) - rect.top);
    if (width > 0 || height > 0) {
        // The rectangle turned with the map, fitted into the surface with a margin.
        const double angle = m_rotation * M_PI / 1800.0;
        const double across = width * std::abs(std::cos(angle)) + height * std::abs(std::sin(angle));
        const double down = width * std::abs(std::sin(angle)) + height * std::abs(std::cos(angle));
        CDrawTool* surface = CScreenElement::GetSurface();
        const double screenWidth = surface ? surface->GetWidth() : GetScreenWidth();
        const double screenHeight = surface ? surface->GetHeight() : GetScreenHeight();
        const double fit = std::max(across / screenWidth, down / screenHeight) * 128.0 * 1.4;
        const double scale = std::clamp(fit, double(GetDefaultMapScale()), double(INT32_MAX));
        SetScale(static_cast<int32_t>(scale));
    }
    SetRedrawFlag(1);
    return 1;
}

int32_t CMapController::GetScaleBarLength()
{
    const double metres = ZXS_MapUnitsToMeters(m_mapSet.ActiveMap(), ScaleByDpiX(40) * m_scale / 128.0);
    if (metres < 0 || m_scale == 0)
        return 0;
    return static_cast<int32_t>(std::lround(metres * m_previewScale / m_scale));
}

void CMapController::LayoutElements()
{
    // The draw thread draws these elements under the same lock.
    platform::CSLock elementLock(m_elementLock);
    const int width = GetScreenWidth(), height = GetScreenHeight();
    const int side = GetButtonSide();
    ElementPoint scaleBar { ScaleByDpiX(10), height - ScaleByDpiY(15) };
    ElementPoint widgets { ScaleByDpiX(10), height - ScaleByDpiY(40) };
    auto shown = [](const auto& e) { return e && e->GetState() == STATE_SHOWN; };
    if (MapOverlaysRun()) {
        if (GetScreenOrientation() == ORIENT_PORTRAIT) {
            if (shown(m_elements.bottomBar)) {
                widgets.y -= side;
                scaleBar.y -= side;
            }
        } else if (m_elements.zoomControl) {
            ElementPoint zoom;
            ElementSize size;
            m_elements.zoomControl->GetPosition(zoom);
            m_elements.zoomControl->GetSize(size);
            zoom.x = width - size.cx;
            if (shown(m_elements.bottomBar))
                zoom.x -= side;
            m_elements.zoomControl->SetPosition(zoom);
        }
        if (GetScreenOrientation() != ORIENT_PORTRAIT && shown(m_elements.topBar)) {
            scaleBar.x += side;
            widgets.x += side;
        }
        if (shown(m_elements.scaleBar)) {
            ElementSize size;
            m_elements.scaleBar->GetSize(size);
            widgets.y -= ScaleByDpiX(17) + size.cy;
        }
    }
    if (m_elements.scaleBar)
        m_elements.scaleBar->SetPosition(scaleBar);
    if (m_elements.widgetSet)
        m_elements.widgetSet->SetPosition(widgets);
}

int CMapController::SaveScreenshot(const QString& path, int format, int quality)
{
    const CImageView& view = m_view;
    if (!view.pixels || view.width <= 0 || view.height <= 0)
        return 0;
    const int width = view.width, height = view.height;
    // RGB565 widened to 8 bits a channel, top row first.
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = view.firstRow + static_cast<std::ptrdiff_t>(y) * view.stride;
        for (int x = 0; x < width; ++x) {
            const uint16_t p = platform::Le16(row + 2 * x);
            uint8_t* out = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            out[0] = static_cast<uint8_t>((p >> 11) << 3);
            out[1] = static_cast<uint8_t>(((p >> 5) & 0x3F) << 2);
            out[2] = static_cast<uint8_t>((p & 0x1F) << 3);
        }
    }
    if (format == 1)
        return SaveJpegFile(path, width, height, quality, rgb.data()) ? 1 : 0;
    if (format != 0)
        return 0;
    // A bottom-up 24-bit bitmap: rows padded to 4 bytes, pixels blue, green, red.
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * height, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = &rgb[static_cast<size_t>(height - 1 - y) * width * 3];
        uint8_t* out = &bits[static_cast<size_t>(y) * rowBytes];
        for (int x = 0; x < width; ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    BitmapInfo info;
    info.bmiHeader.biSize = kBitmapInfoHeaderSize;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = kBiRgb;
    info.bmiHeader.biSizeImage = static_cast<uint32_t>(bits.size());
    info.bmiHeader.biXPelsPerMeter = 3780;
    info.bmiHeader.biYPelsPerMeter = 3780;
    CDibSection dib;
    return dib.Create(&info, bits.data()) && dib.SaveBmp(path) ? 1 : 0;
}

QString FindFreeScreenshotName(const QString& bmpPath)
{
    const QString base = RemoveExtension(bmpPath);
    for (unsigned n = 0;; ++n) {
        const QString candidate = n == 0 ? base : base + QString::number(n);
        if (!FileOrFolderExists(candidate + QStringLiteral(".bmp"), QStringLiteral("*"))
            && !FileOrFolderExists(candidate + QStringLiteral(".jpg"), QStringLiteral("*")))
            return candidate + QStringLiteral(".bmp");
    }
}
