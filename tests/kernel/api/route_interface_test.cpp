// The route functions of a view: the router made on first reset, points set
// and checked, the route read back, the style remapped, and the router deleted.
#include <gtest/gtest.h>

#include <vector>

#include "kernel/api/result_codes.h"
#include "kernel/api/route_interface.h"
#include "kernel/api/view_interface.h"
#include "kernel/doc/app_doc_manager.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/render/view.h"
#include "tests/support/map_fixture.h"

namespace {

// The fixture's road grid: roads along y = 20000 and y = 20700, x from 10000 to 11400.
constexpr int32_t kRadius = 50;

class RouteInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZXS_PassageJournal::SetMode(0);
        Open(mapwriter::BuildRoadGraph(m_map));
    }
    void TearDown() override
    {
        ZXS_ViewDestroy(&m_view);
        CZXS_PassageJournal::SetMode(3);
    }
    void Open(const mapwriter::GraphDescription& graph)
    {
        mapwriter::SaveFile(m_folder.File("city.tzx"), mapwriter::WriteTzx(m_map));
        mapwriter::SaveFile(m_folder.File("city.zxg"), mapwriter::WriteZxg(graph));
        const std::string path = m_folder.File("city.tzx");
        ZXS_MapSource source;
        source.path = path.c_str();
        ASSERT_EQ(m_doc.Map().Open(&source, nullptr, 0, CZXS_DiskStream::kDisk), 1);
        m_mapHandle.pDoc = &m_doc;
        m_mapHandle.pOwner = this;
        ASSERT_EQ(ZXS_ViewCreate(&m_view, &m_mapHandle), ZXS_OK);
    }
    int32_t Style(int32_t flags)
    {
        return ZXS_RouteSetStyle(
            &m_view, flags, 11, 5, 5, 1, 255, 255, 176, 240, 32, 32, 255, 255, 176, 255, 0, 0);
    }

    mapwriter::MapDescription m_map = testing_support::SmallMap();
    testing_support::TempFolder m_folder;
    CZXS_Doc m_doc;
    CZXS_MapHandle m_mapHandle;
    CZXS_ViewHandle m_view;
};

TEST_F(RouteInterfaceTest, PointsCalculationAndReadingBack)
{
    // Nothing works before the first reset makes the router.
    EXPECT_EQ(ZXS_RouteSetStart(&m_view, 10350, 20002, kRadius, -1, 0), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_RouteCalculate(&m_view, 2), ZXS_ERR_NOHANDLE);
    EXPECT_EQ(ZXS_RouteGetPoints(&m_view, nullptr, 0), -1);
    EXPECT_EQ(ZXS_RouteReset(nullptr), ZXS_ERR_NOHANDLE);
    ASSERT_EQ(ZXS_RouteReset(&m_view), ZXS_OK);

    // Checked values.
    EXPECT_EQ(ZXS_RouteSetStart(&m_view, 10350, 20002, kRadius, 3600, 0), ZXS_ERR_PARAM);
    EXPECT_EQ(ZXS_RouteSetStart(&m_view, 10350, 20002, kRadius, -2, 0), ZXS_ERR_PARAM);
    EXPECT_EQ(ZXS_RouteSetStart(&m_view, 10350, 20002, kRadius, -1, 2), ZXS_ERR_PARAM);
    EXPECT_EQ(ZXS_RouteSetFinish(&m_view, 11050, 20702, kRadius, -1, 2), ZXS_ERR_PARAM);
    EXPECT_EQ(ZXS_RouteSetFinish(&m_view, 15000, 25000, kRadius, -1, 0), 65);

    ASSERT_EQ(ZXS_RouteSetStart(&m_view, 10350, 20002, kRadius, -1, 0), ZXS_OK);
    // Name id -1 stands for any road.
    ASSERT_EQ(ZXS_RouteSetFinish(&m_view, 11050, 20702, kRadius, -1, 1), ZXS_OK);
    ASSERT_EQ(ZXS_RouteCalculate(&m_view, 1), ZXS_OK);
    const int32_t total = ZXS_RouteGetPoints(&m_view, nullptr, 5);
    ASSERT_GT(total, 3);
    EXPECT_EQ(ZXS_RouteGetPoints(&m_view, nullptr, 0), total);
    std::vector<CZXS_RoutePoint> points(static_cast<size_t>(total) + 2);
    EXPECT_EQ(ZXS_RouteGetPoints(&m_view, points.data(), 0), total);
    EXPECT_EQ(ZXS_RouteGetPoints(&m_view, points.data(), 3), 3);
    EXPECT_EQ(points[0].x, 10350);
    EXPECT_EQ(points[0].flags, CZXS_RoutePoint::kCallerStart);
    EXPECT_EQ(ZXS_RouteGetPoints(&m_view, points.data(), total + 2), total);
    EXPECT_EQ(points[static_cast<size_t>(total) - 1].flags, CZXS_RoutePoint::kCallerFinish);
    EXPECT_EQ(points[static_cast<size_t>(total) - 1].y, 20702);

    // A reset empties the route; a deleted router answers no more.
    ASSERT_EQ(ZXS_RouteReset(&m_view), ZXS_OK);
    EXPECT_EQ(ZXS_RouteGetPoints(&m_view, nullptr, 0), 0);
    EXPECT_EQ(ZXS_RouteCalculate(&m_view, 2), 2);
    EXPECT_EQ(ZXS_RouteDelete(&m_view), ZXS_OK);
    EXPECT_EQ(ZXS_RouteGetPoints(&m_view, nullptr, 0), -1);
    EXPECT_EQ(ZXS_RouteAddVia(&m_view, 10350, 20002, kRadius, -1, 0), ZXS_ERR_NOHANDLE);
}

TEST_F(RouteInterfaceTest, StyleFlagsAreRemapped)
{
    EXPECT_EQ(Style(1), ZXS_ERR_NOHANDLE); // no image yet
    ASSERT_EQ(ZXS_ViewResize(&m_view, nullptr, 64, 48, 0), ZXS_OK);
    struct Case {
        int32_t flags;
        uint8_t display;
    };
    const Case cases[] = { { 0b1000, CZXS_View::kRouteAllPoints }, { 0b0001, CZXS_View::kRouteShow },
        { 0b0010, CZXS_View::kRouteMarkers }, { 0b0100, CZXS_View::kRouteHiddenMarkers },
        { 0xF1, CZXS_View::kRouteShow }, { 0b1111, 0x0F } };
    for (const Case& c : cases) {
        ASSERT_EQ(Style(c.flags), ZXS_OK);
        EXPECT_EQ(m_view.pView->RouteFlags(), c.display) << c.flags;
    }
    const CZXS_View::RoutePen& pen = m_view.pView->GetRoutePen();
    EXPECT_EQ(pen.outerWidth, 11);
    EXPECT_EQ(pen.markedCentreWidth, 1);
    EXPECT_EQ(pen.markedCentre, 0xF800); // red in 5-6-5
    EXPECT_EQ(pen.outer, pen.outerCopy);
}

TEST_F(RouteInterfaceTest, TheRouteIsDrawnOverTheImage)
{
    ASSERT_EQ(ZXS_RouteReset(&m_view), ZXS_OK);
    EXPECT_EQ(ZXS_RouteDraw(&m_view), ZXS_ERR_NOHANDLE); // no image
    ASSERT_EQ(ZXS_ViewResize(&m_view, nullptr, 80, 60, 0), ZXS_OK);
    ASSERT_EQ(ZXS_ViewSetPosition(&m_view, 10700, 20350, 3000), ZXS_OK);
    ASSERT_EQ(ZXS_ViewFill(&m_view, 0, 0, 0), ZXS_OK);
    ASSERT_EQ(ZXS_RouteSetStart(&m_view, 10350, 20002, kRadius, -1, 0), ZXS_OK);
    ASSERT_EQ(ZXS_RouteSetFinish(&m_view, 11050, 20702, kRadius, -1, 0), ZXS_OK);
    ASSERT_EQ(ZXS_RouteCalculate(&m_view, 2), ZXS_OK);
    ASSERT_EQ(Style(1), ZXS_OK);
    ASSERT_EQ(ZXS_RouteDraw(&m_view), ZXS_OK);
    const uint8_t* bits = ZXS_ViewGetBits(&m_view);
    ASSERT_NE(bits, nullptr);
    int drawn = 0;
    for (int i = 0; i < 80 * 60 * 2; ++i)
        drawn += bits[i] != 0;
    EXPECT_GT(drawn, 40);
    // Hidden, the route draws nothing.
    ASSERT_EQ(ZXS_ViewFill(&m_view, 0, 0, 0), ZXS_OK);
    ASSERT_EQ(Style(0), ZXS_OK);
    ASSERT_EQ(ZXS_RouteDraw(&m_view), ZXS_OK);
    for (int i = 0; i < 80 * 60 * 2; ++i)
        ASSERT_EQ(bits[i], 0) << i;
}

TEST_F(RouteInterfaceTest, AMapWithoutRoadGraphEdges)
{
    ZXS_ViewDestroy(&m_view);
    m_doc.Map().Close();
    mapwriter::GraphDescription empty = mapwriter::BuildRoadGraph(m_map);
    empty.edges.clear();
    Open(empty);
    ASSERT_EQ(ZXS_RouteReset(&m_view), ZXS_OK);
    EXPECT_EQ(ZXS_RouteSetStart(&m_view, 10350, 20002, kRadius, -1, 0), 1); // not supported
    EXPECT_EQ(ZXS_RouteCalculate(&m_view, 2), ZXS_OK);
    EXPECT_EQ(ZXS_RouteGetPoints(&m_view, nullptr, 0), 0);
}

} // namespace
