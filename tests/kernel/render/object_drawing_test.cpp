// Drawing of single map objects on a small written map at one pixel per map
// unit: one-way arrows by segment length, the name filter of same-named areas,
// street chains, quick frames and the highlight of an object.

#include <gtest/gtest.h>

#include "kernel/api/map_query.h"
#include "kernel/api/view_interface.h"
#include "kernel/doc/app_doc_manager.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/render/view.h"
#include "tests/kernel/render/frame_support.h"
#include "tests/support/map_fixture.h"
#include "tools/mapwriter/map_writer.h"

using namespace frame_support;

namespace {

constexpr int32_t kOrigin = 100000;
constexpr int32_t kScale = 128; // one map unit a pixel

std::array<uint8_t, 44> DrawStyle(
    uint8_t group, uint8_t flags, uint8_t width, uint8_t lastFlags, uint32_t fill)
{
    std::array<uint8_t, 44> s = testing_support::Style(group, 0.0f, 40, 40, 40);
    s[6] = flags;
    s[7] = 10;
    s[17] = width;
    s[29] = 1;
    s[32] = static_cast<uint8_t>(fill >> 16);
    s[33] = static_cast<uint8_t>(fill >> 8);
    s[34] = static_cast<uint8_t>(fill);
    s[40] = lastFlags;
    return s;
}

mapwriter::Record Line(std::vector<ZXS_Point> points, int32_t name, bool forward, bool backward)
{
    mapwriter::Record r;
    r.points = std::move(points);
    r.name = name;
    r.forward = forward;
    r.backward = backward;
    return r;
}

mapwriter::Record Square(int32_t x, int32_t y, int32_t side, int32_t name)
{
    mapwriter::Record r;
    r.points = { { x, y }, { x + side, y }, { x + side, y + side }, { x, y + side }, { x, y } };
    r.name = name;
    r.closed = true;
    return r;
}

// Layer 0: three same-named squares, then one of another name. Layer 1: one-way
// roads of 26 and 27 units, a street in two pieces meeting end to start, and a
// piece that folds back onto it.
std::vector<uint8_t> DrawingMap()
{
    mapwriter::MapDescription map;
    map.names = { { "Park" }, { "Lake" }, { "Main" } };
    map.dictionary = { { 0, 0, "areas" }, { 1, 0, "roads" } };
    mapwriter::Layer areas;
    areas.styleGroup = 1;
    areas.nameWord = 0;
    for (int i = 0; i < 3; ++i)
        areas.records.push_back(Square(kOrigin + i * 40, kOrigin, 30, 0));
    areas.records.push_back(Square(kOrigin + 120, kOrigin, 30, 1));
    mapwriter::Layer roads;
    roads.styleGroup = 2;
    roads.nameWord = 1;
    roads.records.push_back(
        Line({ { kOrigin, kOrigin + 60 }, { kOrigin + 26, kOrigin + 60 } }, -1, true, false));
    roads.records.push_back(
        Line({ { kOrigin, kOrigin + 80 }, { kOrigin + 27, kOrigin + 80 } }, -1, true, false));
    roads.records.push_back(
        Line({ { kOrigin, kOrigin + 100 }, { kOrigin + 27, kOrigin + 100 } }, -1, true, true));
    roads.records.push_back(
        Line({ { kOrigin, kOrigin + 120 }, { kOrigin + 50, kOrigin + 120 } }, 2, true, true));
    roads.records.push_back(
        Line({ { kOrigin + 50, kOrigin + 120 }, { kOrigin + 100, kOrigin + 130 } }, 2, true, true));
    roads.records.push_back(
        Line({ { kOrigin + 100, kOrigin + 130 }, { kOrigin + 60, kOrigin + 129 } }, 2, true, true));
    map.layers = { areas, roads };
    map.firstRoadLayer = 1;
    map.roadLayerCount = 1;
    map.styles = { DrawStyle(1, 0x30 | 0x40, 0, 0, 0x80c080), DrawStyle(2, 0x30 | 0x40, 3, 0x01, 0) };
    return mapwriter::WriteTzx(map);
}

class ObjectDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kernel.started);
        bytes = DrawingMap();
        ASSERT_EQ(ZXS_MapOpenMemory(&map, &owner, bytes.data(), static_cast<uint32_t>(bytes.size()), nullptr,
                      0, nullptr, 0, nullptr, 0),
            0);
        view = std::make_unique<View>(map, 240, 320, false);
        ASSERT_TRUE(view->ok);
        ASSERT_TRUE(view->Place(kOrigin + 100, kOrigin + 100, kScale, 0));
    }
    void TearDown() override
    {
        view.reset();
        ZXS_MapClose(&map);
    }

    Kernel kernel;
    std::vector<uint8_t> bytes;
    CZXS_MapHandle map;
    const char owner = 0;
    std::unique_ptr<View> view;
};

} // namespace

// Arrows only on one-way segments longer than 26 pixels; two pieces of a
// street meeting end to start make one chain and a fold back starts another.
TEST_F(ObjectDrawing, ArrowsChainsAndTheAreaNameFilter)
{
    ASSERT_TRUE(view->Render());
    const CZXS_View& v = *view->handle.pView;
    EXPECT_EQ(v.Counts().arrows, 1);
    EXPECT_EQ(v.Counts().chains, 2);
    // Same-named squares: the first and the third keep their name, the second
    // does not; the differently named fourth does.
    EXPECT_EQ(v.Counts().candidates, 3);
}

// A quick frame: plain thin lines, no arrows, names or candidates.
TEST_F(ObjectDrawing, QuickFramesCarryNoNames)
{
    ASSERT_EQ(ZXS_ViewRender(&view->handle, 1, nullptr), 0);
    const CZXS_View& v = *view->handle.pView;
    EXPECT_EQ(v.Counts().arrows, 0);
    EXPECT_EQ(v.Counts().chains, 0);
    EXPECT_EQ(v.Counts().candidates, 0);
}

// The highlight of a named area covers every area of the layer with its name;
// of an unnamed road only that road.
TEST_F(ObjectDrawing, HighlightOfNamedAndUnnamedObjects)
{
    const auto count = [&](uint16_t colour) {
        const CZX_Surface565* s = view->handle.pView->Image()->Surface();
        int n = 0;
        for (int32_t y = 0; y < s->Height(); ++y)
            for (int32_t x = 0; x < s->Width(); ++x)
                n += s->Pixel(x, y) == colour ? 1 : 0;
        return n;
    };
    const uint16_t red = CZX_Surface565::Colour565(255, 0, 0);
    ASSERT_EQ(ZXS_ViewClear(&view->handle), 0);
    ASSERT_EQ(ZXS_ViewDrawObject(&view->handle, 1, 255, 0, 0), 0);
    const int named = count(red);
    ASSERT_EQ(ZXS_ViewClear(&view->handle), 0);
    ASSERT_EQ(ZXS_ViewDrawObject(&view->handle, 3, 255, 0, 0), 0);
    const int other = count(red);
    EXPECT_GT(named, 2 * other) << "three named squares against one";
    ASSERT_EQ(ZXS_ViewClear(&view->handle), 0);
    ASSERT_EQ(ZXS_ViewDrawObject(&view->handle, 4, 255, 0, 0), 0);
    const int road = count(red);
    EXPECT_GT(road, 26 * 2);
    EXPECT_LT(road, 26 * 5) << "only the one road";
    EXPECT_EQ(view->handle.pView->Image()->Surface()->Pixel(0, 0),
        CZX_Surface565::ColourFromBgr(map.pDoc->Map().BackgroundColour()))
        << "no stray pixel at the corner";
}

// A road with a passage in both directions is drawn in its cost class's colour
// with a direction marker at each end, pointing opposite ways.
TEST_F(ObjectDrawing, PassagesShowTheirColourAndDirections)
{
    CZXS_PassageJournal::Entry entry;
    entry.roadOffset = 1; // the one-way road of 27 units
    entry.costClass = 6;
    entry.directions = CZXS_PassageJournal::kForward | CZXS_PassageJournal::kBackward;
    ASSERT_GE(map.pDoc->Map().Journal()->Insert(entry, -1, false), 0);
    // Centre bands belong to antialiased lines; plain ones draw the outer band only.
    ASSERT_EQ(ZXS_ViewResize(&view->handle, nullptr, 240, 320, 1), 0);
    ASSERT_TRUE(view->Place(kOrigin + 100, kOrigin + 100, kScale, 0));
    ASSERT_TRUE(view->Render());
    const CZXS_View& v = *view->handle.pView;
    EXPECT_EQ(v.Counts().symbols, 2);
    EXPECT_EQ(v.Counts().arrows, 0) << "a road with passages shows markers, not arrows";
    const CZX_Surface565* s = view->handle.pView->Image()->Surface();
    const int32_t y = ZXS_ViewMapToScreenY(&view->handle, kOrigin + 13, kOrigin + 80);
    const int32_t x = ZXS_ViewMapToScreenX(&view->handle, kOrigin + 13, kOrigin + 80);
    int centre = 0;
    int white = 0;
    for (int32_t dy = -5; dy <= 5; ++dy) {
        centre += s->Pixel(x, y + dy) == CZX_Surface565::ColourFromBgr(ZXS_PassageColorGet(6)) ? 1 : 0;
        white += s->Pixel(x, y + dy) == CZX_Surface565::Colour565(255, 255, 255) ? 1 : 0;
    }
    EXPECT_GE(centre, 2) << "a centre band in the cost class's colour";
    EXPECT_GE(white, 4) << "inside a white band";
    // Turned off, the overlay leaves the road in its own style.
    view->handle.pView->SetPassageOverlay(false);
    ASSERT_TRUE(view->Render());
    EXPECT_EQ(v.Counts().symbols, 0);
}
