// The map and object query interface and the view interface: every function's
// answer without a map, on a closed handle and on the shipped map.

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kernel/api/map_query.h"
#include "kernel/api/result_codes.h"
#include "kernel/doc/app_doc_manager.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/render/surface565.h"
#include "kernel/render/view.h"
#include "tests/kernel/render/frame_support.h"

using namespace frame_support;

namespace {

int32_t CountMatches(void* user, int32_t, int32_t, int32_t)
{
    ++*static_cast<int*>(user);
    return 1;
}

// Every query with what it answers when the handle holds no map.
struct Row {
    const char* name;
    std::function<double(const CZXS_MapHandle*)> call;
    double expected;
};

std::vector<Row> NoMapRows()
{
    static char text[16];
    static char16_t wide[16];
    static uint8_t style[44];
    static ZXS_Point point { 5, 5 };
    static ZXS_Point out;
    static ZXS_Rect rect;
    static int32_t link, directions, segment[4], scale = 1000;
    static uint8_t r, g, b, e;
    return {
        { "MapGetBounds", [](auto* m) { return ZXS_MapGetBounds(m, &rect); }, 2 },
        { "MapGetCenter", [](auto* m) { return ZXS_MapGetCenter(m, &out); }, 2 },
        { "MapGetCenter point",
            [](auto* m) {
                ZXS_MapGetCenter(m, &out);
                return out.x;
            },
            0x8000000 },
        { "MapUnitsToMeters", [](auto* m) { return ZXS_MapUnitsToMeters(m, 100.0); }, -1.0 },
        { "MetersToMapUnits", [](auto* m) { return ZXS_MetersToMapUnits(m, 100.0); }, -1.0 },
        { "MapGetBackgroundColor", [](auto* m) { return ZXS_MapGetBackgroundColor(m, &r, &g, &b, &e); }, 2 },
        { "MapHasRoadGraph", [](auto* m) { return ZXS_MapHasRoadGraph(m); }, 2 },
        { "MapGetStyle", [](auto* m) { return ZXS_MapGetStyle(m, 1, 0, style); }, 5 },
        { "ObjGetLayer", [](auto* m) { return ZXS_ObjGetLayer(m, 0); }, -1 },
        { "LayerFindA", [](auto* m) { return ZXS_LayerFindA(m, "x"); }, -1 },
        { "LayerGetStyleGroup", [](auto* m) { return ZXS_LayerGetStyleGroup(m, 0); }, -1 },
        { "LayerGetRoadIndex", [](auto* m) { return ZXS_LayerGetRoadIndex(m, 0); }, -1 },
        { "LayerGetNameA", [](auto* m) { return ZXS_LayerGetNameA(m, 0, 0, text, 16); }, 2 },
        { "LayerGetNameW", [](auto* m) { return ZXS_LayerGetNameW(m, 0, 0, wide, 16); }, 2 },
        { "MapFindObjectAt", [](auto* m) { return ZXS_MapFindObjectAt(m, 0, 1000, 5, 5, 10); }, -1 },
        { "MapFindNearestObject",
            [](auto* m) { return ZXS_MapFindNearestObject(m, 5, 5, 10, -1, &link, &directions); }, 2 },
        { "ObjGetNearestSegment", [](auto* m) { return ZXS_ObjGetNearestSegment(m, &point, 1, segment); },
            2 },
        { "MapFitObject", [](auto* m) { return ZXS_MapFitObject(m, 0, -1, -1, 240, 320, &scale, &out); },
            -1 },
        { "ObjGetNearestPoint", [](auto* m) { return ZXS_ObjGetNearestPoint(m, 0, -1, -1, &point, &out); },
            2 },
        { "ObjGetRect", [](auto* m) { return ZXS_ObjGetRect(m, 0, -1, -1, &rect, 0); }, 2 },
        { "ObjGetLinkId", [](auto* m) { return ZXS_ObjGetLinkId(m, 0, -1); }, -1 },
        { "ObjGetOwnNameId", [](auto* m) { return ZXS_ObjGetOwnNameId(m, 0, -1); }, -1 },
        { "ObjGetNameId", [](auto* m) { return ZXS_ObjGetNameId(m, 0); }, -1 },
        { "ObjGetNameA", [](auto* m) { return ZXS_ObjGetNameA(m, 0, 0, text, 16, 1); }, 2 },
        { "ObjGetNameW", [](auto* m) { return ZXS_ObjGetNameW(m, 0, 0, wide, 16, 1); }, 2 },
        { "MapEnumObjectsByNameA",
            [](auto* m) { return ZXS_MapEnumObjectsByNameA(m, 0, "a", nullptr, &CountMatches, nullptr, 0); },
            2 },
        { "MapEnumObjectsByNameW",
            [](auto* m) { return ZXS_MapEnumObjectsByNameW(m, 0, u"a", nullptr, &CountMatches, nullptr, 0); },
            2 },
        { "MapEnumLinkedA", [](auto* m) { return ZXS_MapEnumLinkedA(m, 1, "a", &CountMatches, nullptr); },
            2 },
        { "MapEnumLinkedW", [](auto* m) { return ZXS_MapEnumLinkedW(m, 1, u"a", &CountMatches, nullptr); },
            2 },
    };
}

} // namespace

TEST(MapQuery, EveryFunctionRefusesAHandleWithoutAMap)
{
    Kernel kernel;
    ASSERT_TRUE(kernel.started);
    CZXS_MapHandle unopened;
    Map closed(ShippedMap());
    ASSERT_TRUE(closed.opened);
    ZXS_MapClose(&closed.handle);
    for (const Row& row : NoMapRows()) {
        EXPECT_EQ(row.call(nullptr), row.expected) << row.name << " on no handle";
        EXPECT_EQ(row.call(&unopened), row.expected) << row.name << " on an unopened handle";
        EXPECT_EQ(row.call(&closed.handle), row.expected) << row.name << " on a closed handle";
    }
    EXPECT_EQ(ZXS_PassageColorGet(0), 16u | (192u << 8) | (16u << 16));
    EXPECT_EQ(ZXS_PassageColorGet(7), 192u | (16u << 8) | (16u << 16));
    EXPECT_EQ(ZXS_PassageColorGet(8), 0u);
    EXPECT_EQ(ZXS_PassageColorGet(0x107), ZXS_PassageColorGet(7));
}

TEST(MapQuery, AnswersOnTheShippedMap)
{
    Kernel kernel;
    Map map(ShippedMap());
    ASSERT_TRUE(map.opened);
    const CZXS_MapHandle* m = &map.handle;
    const CZXS_TzxDoc& doc = map.handle.pDoc->Map();

    ZXS_Rect bounds;
    ASSERT_EQ(ZXS_MapGetBounds(m, &bounds), 0);
    ZXS_Point centre;
    ASSERT_EQ(ZXS_MapGetCenter(m, &centre), 0);
    EXPECT_EQ(centre.x, (bounds.left + bounds.right) / 2);
    EXPECT_EQ(centre.y, (bounds.top + bounds.bottom) / 2);
    EXPECT_EQ(ZXS_MapGetBounds(m, nullptr), 3);
    const double metres = ZXS_MapUnitsToMeters(m, 1000.0);
    EXPECT_GT(metres, 0.0);
    EXPECT_NEAR(ZXS_MetersToMapUnits(m, metres), 1000.0, 1e-6);
    uint8_t r, g, b, e;
    EXPECT_EQ(ZXS_MapGetBackgroundColor(m, &r, &g, &b, nullptr), 3);
    ASSERT_EQ(ZXS_MapGetBackgroundColor(m, &r, &g, &b, &e), 0);
    EXPECT_EQ(uint32_t { r } | (g << 8) | (uint32_t { b } << 16), doc.BackgroundColour());
    EXPECT_EQ(ZXS_MapHasRoadGraph(m), 0);

    uint8_t style[44];
    EXPECT_EQ(ZXS_MapGetStyle(m, 256, 0, style), 3);
    EXPECT_EQ(ZXS_MapGetStyle(m, 1, -1, style), 3);
    ASSERT_EQ(ZXS_MapGetStyle(m, 10, 0, style), 0);
    EXPECT_EQ(style[4], 10);
    EXPECT_EQ(ZXS_MapGetStyle(m, 10, 99, style), 20);

    // Layers: road indexes count from the first road layer.
    const int32_t firstRoad = doc.Header().I16(CZXS_TzxHeader::kFirstRoadLayer);
    ASSERT_GE(firstRoad, 0);
    EXPECT_EQ(ZXS_LayerGetRoadIndex(m, firstRoad), 0);
    EXPECT_EQ(ZXS_LayerGetRoadIndex(m, firstRoad - 1), -1);
    EXPECT_EQ(ZXS_LayerGetStyleGroup(m, 256), -1);
    EXPECT_EQ(ZXS_LayerGetStyleGroup(m, 0), doc.GetLayerDesc(0).StyleGroup());
    char text[64];
    char16_t wide[64];
    EXPECT_EQ(ZXS_LayerGetNameA(m, 0, 2, text, 64), 3);
    EXPECT_EQ(ZXS_LayerGetNameA(m, doc.LayerCount(), 0, text, 64), 3);
    ASSERT_EQ(ZXS_LayerGetNameA(m, 0, 0, text, 64), 0);
    EXPECT_EQ(ZXS_LayerFindA(m, text), 0);
    ASSERT_EQ(ZXS_LayerGetNameW(m, 0, 1, wide, 64), 0);
    EXPECT_NE(wide[0], 0);

    // Objects: the nearest road near the centre, its segment, its name.
    int32_t link = -1, directions = 0;
    EXPECT_EQ(ZXS_MapFindNearestObject(m, centre.x, centre.y, 2000, 3600, &link, &directions), 3);
    ASSERT_EQ(ZXS_MapFindNearestObject(m, centre.x, centre.y, 2000, -1, &link, &directions), 0);
    EXPECT_GE(directions, 1);
    EXPECT_LE(directions, 3);
    int32_t segment[4];
    ASSERT_EQ(ZXS_ObjGetNearestSegment(m, &centre, link, segment), 0);
    EXPECT_TRUE(segment[0] != segment[2] || segment[1] != segment[3]);
    EXPECT_EQ(ZXS_ObjGetNearestSegment(m, &centre, 0x1ffffe, segment), 65);
    const int32_t road = doc.FirstRoadObject();
    EXPECT_EQ(ZXS_ObjGetLayer(m, road), firstRoad);
    const int32_t nameId = doc.Object(static_cast<uint32_t>(road)).NameId();
    EXPECT_EQ(ZXS_ObjGetNameA(m, -1, 0, text, 64, 0), 3);
    EXPECT_EQ(ZXS_ObjGetNameA(m, nameId, 2, text, 64, 0), 3);
    if (nameId != ZXS_NO_OBJECT) {
        ASSERT_EQ(ZXS_ObjGetNameA(m, nameId, 0, text, 64, 1), 0);
        EXPECT_GT(std::strlen(text), 0u);
        char small[4];
        ASSERT_EQ(ZXS_ObjGetNameA(m, nameId, 0, small, 4, 1), 0);
        EXPECT_EQ(std::strchr(small, ' '), nullptr) << "a 4-byte buffer never takes a kind word";
        EXPECT_EQ(ZXS_ObjGetNameW(m, nameId, 1, wide, 64, 0), 0);
        // Searching by the name finds the road again.
        int found = 0;
        std::string pattern(text);
        pattern = pattern.substr(0, pattern.find(' '));
        EXPECT_EQ(ZXS_MapEnumObjectsByNameA(m, 0, pattern.c_str(), nullptr, &CountMatches, &found, 0), 0);
        EXPECT_GT(found, 0);
    }
    EXPECT_EQ(ZXS_MapEnumObjectsByNameA(m, 0, "", nullptr, &CountMatches, nullptr, 0), 3);
    EXPECT_EQ(
        ZXS_MapEnumObjectsByNameA(m, 0, std::string(257, 'a').c_str(), nullptr, &CountMatches, nullptr, 0),
        3);
    EXPECT_EQ(ZXS_MapEnumLinkedA(m, -1, "a", &CountMatches, nullptr), 3);
    ZXS_Rect rect;
    EXPECT_EQ(ZXS_ObjGetRect(m, -1, -1, -1, &rect, 0), 3);
    ASSERT_EQ(ZXS_ObjGetRect(m, road, -1, -1, &rect, 0), 0);
    EXPECT_LE(rect.left, rect.right);
    EXPECT_EQ(ZXS_MapFindObjectAt(m, 0, 0, segment[0], segment[1], 20) >= 0, true);

    // Places and radii at the ends of the integer range: a search square that
    // reaches past them is cut there, never wrapped round.
    EXPECT_GE(ZXS_MapFindObjectAt(m, 0, 0, segment[0], segment[1], INT32_MAX), 0);
    EXPECT_EQ(ZXS_MapFindObjectAt(m, 0, 0, INT32_MIN, INT32_MIN, 10), -1);
    EXPECT_EQ(ZXS_MapFindObjectAt(m, 0, 0, INT32_MAX, INT32_MAX, 10), -1);
    ASSERT_EQ(ZXS_MapFindNearestObject(m, centre.x, centre.y, INT32_MAX, -1, &link, &directions), 0);
    EXPECT_EQ(
        ZXS_MapFindNearestObject(m, INT32_MIN, INT32_MIN, 10, -1, &link, &directions), ZXS_ERR_NOTFOUND);
    EXPECT_EQ(
        ZXS_MapFindNearestObject(m, INT32_MAX, INT32_MAX, 10, -1, &link, &directions), ZXS_ERR_NOTFOUND);
}

// The view functions on a view whose map was closed, and on a view without an image.
TEST(ViewInterface, RefusesViewsWithoutMapOrImage)
{
    Kernel kernel;
    Map map(ShippedMap());
    ASSERT_TRUE(map.opened);
    CZXS_ViewHandle view;
    ASSERT_EQ(ZXS_ViewCreate(&view, &map.handle), 0);
    EXPECT_EQ(ZXS_ViewCreate(&view, &map.handle), 5);
    // Created, no image: every drawing function answers 2.
    EXPECT_EQ(ZXS_ViewHasImage(&view), 0);
    EXPECT_EQ(ZXS_ViewSetRotation(&view, 10), 2);
    EXPECT_EQ(ZXS_ViewSetPosition(&view, 1, 1, 100), 2);
    EXPECT_EQ(ZXS_ViewClear(&view), 2);
    EXPECT_EQ(ZXS_ViewRender(&view, 0, nullptr), 2);
    EXPECT_EQ(ZXS_ViewRenderAsync(&view), 2);
    EXPECT_EQ(ZXS_ViewGetWidth(&view), 0);
    EXPECT_EQ(ZXS_ViewResize(&view, nullptr, 16001, 10, 0), 3);
    EXPECT_EQ(ZXS_ViewResize(&view, nullptr, 0, 10, 0), 3);
    ASSERT_EQ(ZXS_ViewResize(&view, nullptr, 1, 1, 0), 0);
    CZXS_PixelIterator it;
    ZXS_PixelIterInit(&it, &view);
    EXPECT_EQ(ZXS_PixelIterBeginTop(&it), 2) << "a 1 x 1 image cannot be walked";
    ASSERT_EQ(ZXS_ViewResize(&view, nullptr, 240, 320, 1), 0);
    EXPECT_EQ(ZXS_ViewResize(&view, nullptr, 16001, 320, 1), 3);
    EXPECT_EQ(ZXS_ViewGetWidth(&view), 240) << "a refused size keeps the old image";
    EXPECT_EQ(ZXS_ViewSetRotation(&view, 3600), 3);
    EXPECT_EQ(ZXS_ViewSetPosition(&view, 1, 1, 7), 3);
    ASSERT_EQ(ZXS_ViewSetPosition(&view, 0x800000, 0x800000, 1000), 0);
    EXPECT_EQ(ZXS_ViewMapToScreenX(&view, 0x1000000, 5), 0x8000000);
    EXPECT_EQ(ZXS_ViewScreenToMapDist(&view, 65536), 1000.0 * 65536 / 128);
    EXPECT_EQ(ZXS_ViewScreenToMapDist(&view, 65537), 0.0);
    EXPECT_EQ(ZXS_ViewMapToScreenDist(&view, 0x2000001), 0.0);
    EXPECT_EQ(ZXS_ViewNop1(&view), 10000);
    EXPECT_EQ(ZXS_ViewSetClipRect(&view, nullptr), 3);
    EXPECT_EQ(ZXS_ViewDrawObject(&view, -1, 1, 2, 3), 2);

    // The map closes under the view: conversions and drawing refuse it.
    ZXS_MapClose(&map.handle);
    EXPECT_EQ(ZXS_ViewMapToScreenX(&view, 5, 5), 0x8000000);
    EXPECT_EQ(ZXS_ViewScreenToMapY(&view, 5, 5), 0x8000000);
    EXPECT_EQ(ZXS_ViewSetPosition(&view, 1, 1, 100), 2);
    EXPECT_EQ(ZXS_ViewGetBits(&view), nullptr);
    EXPECT_EQ(ZXS_ViewGetRenderState(&view), 2);
    EXPECT_EQ(ZXS_ViewAckRender(&view), 2);
    EXPECT_EQ(ZXS_ViewRenderAsync(&view), 2);
    EXPECT_EQ(ZXS_ViewRender(&view, 0, nullptr), 2);
    int32_t excluded[4] = { 0, 0, 10, 10 };
    EXPECT_EQ(ZXS_ViewExcludeRect(&view, excluded), 2);
    view.pMap = nullptr; // the document went with the map; the view can only go
    ZXS_ViewDestroy(&view);
    EXPECT_EQ(view.pView, nullptr);
}

// Pixels: the iterator walks memory rows (bottom-up), reads 555 and RGB, and a
// copy with offsets (10, -5) takes source (10, 0) to destination (0, 5).
TEST(ViewInterface, PixelIteratorAndCopy)
{
    Kernel kernel;
    Map map(ShippedMap());
    View view(map.handle, 40, 30, false);
    ASSERT_TRUE(view.ok);
    ASSERT_EQ(ZXS_ViewFill(&view.handle, 255, 0, 0), 0);
    CZXS_PixelIterator it;
    ASSERT_EQ(ZXS_PixelIterInit(&it, &view.handle), 0);
    ASSERT_EQ(ZXS_PixelIterBeginTop(&it), 0);
    uint8_t r, g, b;
    ASSERT_EQ(ZXS_PixelIterGet555(&it, &r, &g, &b), 0);
    EXPECT_EQ(r, 31);
    EXPECT_EQ(g, 0);
    ASSERT_EQ(ZXS_PixelIterGetRGB(&it, &r, &g, &b), 0);
    EXPECT_EQ(r, 248);
    EXPECT_EQ(ZXS_PixelIterGetRGB(&it, &r, nullptr, &b), 3);
    for (int i = 0; i < 39; ++i)
        ASSERT_EQ(ZXS_PixelIterNextPixel(&it), 0);
    EXPECT_EQ(ZXS_PixelIterNextPixel(&it), 29);
    EXPECT_EQ(it.column, 39);
    ASSERT_EQ(ZXS_PixelIterNextRow(&it), 0);
    EXPECT_EQ(it.column, 0);
    EXPECT_EQ(it.row, 1);
    EXPECT_EQ(ZXS_PixelIterPrevRow(&it), 0);
    EXPECT_EQ(ZXS_PixelIterPrevRow(&it), 29);
    ASSERT_EQ(ZXS_PixelIterBeginBottom(&it), 0);
    EXPECT_EQ(ZXS_PixelIterNextRow(&it), 29);

    // Mark source pixel (10, 0) of the screen and copy with offsets (10, -5).
    CZX_Surface565* surface = view.handle.pView->Image()->Surface();
    surface->SetPixel(10, 0, 0x1234);
    std::vector<uint16_t> target(40 * 30, 0);
    ZXS_DeviceContext dc { reinterpret_cast<uint8_t*>(target.data()), 40, 30, 80 };
    EXPECT_EQ(ZXS_ViewBlt(&view.handle, &dc, 10, -5, 0x1234), 166);
    ASSERT_EQ(ZXS_ViewBlt(&view.handle, &dc, 10, -5, ZXS_SRCCOPY), 0);
    EXPECT_EQ(target[5 * 40 + 0], 0x1234);
    EXPECT_EQ(target[0], 0);

    // Offsets that leave no overlap copy nothing, however far out they lie.
    const std::vector<uint16_t> before = target;
    const int32_t offsets[][2]
        = { { INT32_MIN, 0 }, { 1500000000, 0 }, { -1500000000, 3 }, { 0, INT32_MIN }, { 40, 0 } };
    for (const auto& o : offsets) {
        EXPECT_EQ(ZXS_ViewBlt(&view.handle, &dc, o[0], o[1], ZXS_SRCCOPY), 0) << o[0] << "," << o[1];
        EXPECT_EQ(target, before) << o[0] << "," << o[1];
    }
}
