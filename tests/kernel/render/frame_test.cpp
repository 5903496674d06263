// Whole frames of compiled maps: pictures against stored ones, labels that do
// not overlap, and the render entry's waits and errors.

#include <QDir>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kernel/api/map_geo.h"
#include "kernel/api/map_query.h"
#include "kernel/api/result_codes.h"
#include "kernel/doc/app_doc_manager.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/render/render_clock.h"
#include "kernel/render/view.h"
#include "tests/kernel/render/frame_support.h"
#include "tests/kernel/render/symbol_block.h"

using namespace frame_support;

namespace {

struct Frame {
    const char* name;
    std::string (*path)();
    int32_t x, y; // 0: the map's centre
    int32_t scales[3];
};

std::string Voradu() { return ShippedMap(); }
std::string Monaco() { return RenderMap("monaco"); }
std::string Moscow() { return RenderMap("moscow-ostankino"); }

const Frame kFrames[] = {
    { "voradu", &Voradu, 0, 0, { 700, 2000, 6000 } },
    { "monaco", &Monaco, 0, 0, { 250, 700, 2000 } },
    { "moscow", &Moscow, 0, 0, { 300, 1000, 3000 } },
};
const int32_t kRotations[] = { 0, 300 };

std::filesystem::path GoldenFolder()
{
    return std::filesystem::path(TRAVENOR_TEST_SOURCE_DIR) / "kernel" / "render" / "golden";
}

std::string GoldenPath(const std::string& name) { return (GoldenFolder() / (name + ".png")).string(); }

// Pixels whose colour differs by more than a small step, as a share of all.
double DifferentShare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1.0;
    int64_t different = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 24 || std::abs(qGreen(p) - qGreen(q)) > 24
                || std::abs(qBlue(p) - qBlue(q)) > 24)
                ++different;
        }
    return static_cast<double>(different) / (a.width() * a.height());
}

bool SegmentsCross(const CZXS_View::Stroke& s, const CZXS_View::Stroke& t)
{
    const auto side = [](double ax, double ay, double bx, double by, double px, double py) {
        return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
    };
    const double d1 = side(s.x1, s.y1, s.x2, s.y2, t.x1, t.y1);
    const double d2 = side(s.x1, s.y1, s.x2, s.y2, t.x2, t.y2);
    const double d3 = side(t.x1, t.y1, t.x2, t.y2, s.x1, s.y1);
    const double d4 = side(t.x1, t.y1, t.x2, t.y2, s.x2, s.y2);
    return d1 * d2 < 0 && d3 * d4 < 0;
}

double PointSegmentDistance(double px, double py, const CZXS_View::Stroke& s)
{
    const double dx = s.x2 - s.x1;
    const double dy = s.y2 - s.y1;
    const double lengthSq = dx * dx + dy * dy;
    const double t
        = lengthSq > 0 ? std::clamp(((px - s.x1) * dx + (py - s.y1) * dy) / lengthSq, 0.0, 1.0) : 0.0;
    return std::hypot(px - (s.x1 + t * dx), py - (s.y1 + t * dy));
}

double SegmentDistance(const CZXS_View::Stroke& s, const CZXS_View::Stroke& t)
{
    return std::min({ PointSegmentDistance(s.x1, s.y1, t), PointSegmentDistance(s.x2, s.y2, t),
        PointSegmentDistance(t.x1, t.y1, s), PointSegmentDistance(t.x2, t.y2, s) });
}

// Label groups (after the four border strokes) never cross one another, street
// names keep most of their half width apart, and every label stroke stays on the image.
void ExpectLabelsApart(const CZXS_View& view, const std::string& where)
{
    const auto& groups = view.Groups();
    const auto& strokes = view.Strokes();
    const int32_t w = view.Image()->Width();
    const int32_t h = view.Image()->Height();
    for (size_t g = 4; g < groups.size(); ++g) {
        for (uint32_t i = groups[g].first; i < groups[g].first + groups[g].count; ++i) {
            const CZXS_View::Stroke& s = strokes[i];
            EXPECT_TRUE(std::min(s.x1, s.x2) >= -3 && std::max(s.x1, s.x2) <= w + 3
                && std::min(s.y1, s.y2) >= -3 && std::max(s.y1, s.y2) <= h + 3)
                << where << ": label " << g << " leaves the image: (" << s.x1 << ", " << s.y1 << ") - ("
                << s.x2 << ", " << s.y2 << ")";
            for (size_t k = g + 1; k < groups.size(); ++k)
                for (uint32_t j = groups[k].first; j < groups[k].first + groups[k].count; ++j) {
                    EXPECT_FALSE(SegmentsCross(strokes[i], strokes[j]))
                        << where << ": labels " << g << " and " << k << " cross";
                    if (!groups[g].street || !groups[k].street)
                        continue;
                    // The ends of two names may meet at a bend a little closer than the band.
                    EXPECT_GE(SegmentDistance(strokes[i], strokes[j]),
                        0.7 * std::min(groups[g].halfWidth, groups[k].halfWidth))
                        << where << ": labels " << g << " and " << k << " overlap: (" << strokes[i].x1 << ","
                        << strokes[i].y1 << ")-(" << strokes[i].x2 << "," << strokes[i].y2 << ") w "
                        << groups[g].halfWidth << " and (" << strokes[j].x1 << "," << strokes[j].y1 << ")-("
                        << strokes[j].x2 << "," << strokes[j].y2 << ") w " << groups[k].halfWidth;
                }
        }
    }
}

} // namespace

// Every map at two sizes, three scales and two rotations: the picture matches
// the stored one (set TRAVENOR_UPDATE_GOLDEN=1 to store new ones), the frame
// has roads, areas and labels, and its labels keep apart.
TEST(Frame, CompiledMapsMatchTheirPictures)
{
    Kernel kernel;
    ASSERT_TRUE(kernel.started);
    const bool update = std::getenv("TRAVENOR_UPDATE_GOLDEN") != nullptr;
    int arrows = 0;
    for (const Frame& f : kFrames) {
        Map map(f.path());
        ASSERT_TRUE(map.opened) << f.path();
        ZXS_Point centre;
        ASSERT_EQ(ZXS_MapGetCenter(&map.handle, &centre), 0);
        for (const QSize size : { QSize(240, 320), QSize(480, 640) }) {
            View view(map.handle, size.width(), size.height());
            ASSERT_TRUE(view.ok);
            for (int s = 0; s < 3; ++s) {
                for (int32_t rotation : kRotations) {
                    const std::string name = std::string(f.name) + "_" + std::to_string(size.width()) + "_"
                        + std::to_string(f.scales[s]) + "_" + std::to_string(rotation);
                    ASSERT_TRUE(view.Place(
                        f.x != 0 ? f.x : centre.x, f.y != 0 ? f.y : centre.y, f.scales[s], rotation));
                    ASSERT_TRUE(view.Render()) << name;
                    const CZXS_View& v = *view.handle.pView;
                    EXPECT_GT(v.Counts().objects, 20) << name;
                    EXPECT_GT(v.Counts().labels, 0) << name;
                    arrows += v.Counts().arrows;
                    ExpectLabelsApart(v, name);
                    // Stored pictures: the smaller size at every scale unturned and at the middle
                    // scale turned, the larger at the middle scale unturned.
                    if (s != 1 ? size.width() == 480 || rotation != 0 : size.width() == 480 && rotation != 0)
                        continue;
                    const QImage picture = view.Picture();
                    const std::string golden = GoldenPath(name);
                    if (update) {
                        QDir().mkpath(QString::fromStdString(GoldenFolder().string()));
                        ASSERT_TRUE(picture.save(QString::fromStdString(golden), "PNG"));
                        continue;
                    }
                    const QImage stored(QString::fromStdString(golden));
                    ASSERT_FALSE(stored.isNull())
                        << golden << " is missing (TRAVENOR_UPDATE_GOLDEN=1 stores it)";
                    EXPECT_LT(DifferentShare(picture, stored.convertToFormat(QImage::Format_RGB16)), 0.002)
                        << name
                        << ": when the map compiler changed on purpose, TRAVENOR_UPDATE_GOLDEN=1 stores new "
                           "pictures";
                }
            }
        }
    }
    EXPECT_GT(arrows, 0) << "no one-way arrows in any frame";
}

namespace {

// Pixels of a colour (the water's, #A8CCF0, unless told) as a share of the picture's.
double ColourShare(const QImage& picture, QRect area, QRgb rgb = qRgb(0xA8, 0xCC, 0xF0))
{
    QImage one(1, 1, QImage::Format_RGB16);
    one.setPixel(0, 0, rgb);
    const QRgb colour = one.pixel(0, 0);
    int64_t count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += picture.pixel(x, y) == colour;
    return static_cast<double>(count) / (area.width() * area.height());
}

} // namespace

// A coastal map shows its sea, its harbour included; an inland one has none
// but its ponds.
TEST(Frame, MonacosHarbourIsSeaAndAnInlandMapHasNone)
{
    Kernel kernel;
    ASSERT_TRUE(kernel.started);
    {
        Map map(RenderMap("monaco"));
        ASSERT_TRUE(map.opened);
        View view(map.handle, 480, 640);
        ZXS_Point port;
        ASSERT_EQ(ZXS_GeoToMap(&map.handle, 7.4255 * M_PI / 180, 43.7350 * M_PI / 180, &port), 0);
        ASSERT_TRUE(view.ok && view.Place(port.x, port.y, 3000, 0) && view.Render());
        const QImage picture = view.Picture();
        // The harbour is some 20 pixels across, and the name of La Condamine lies over it.
        EXPECT_GT(ColourShare(picture, QRect(230, 310, 21, 21)), 0.3) << "Port Hercule";
        EXPECT_GT(ColourShare(picture, picture.rect()), 0.1);
    }
    {
        Map map(RenderMap("moscow-ostankino"));
        ASSERT_TRUE(map.opened);
        View view(map.handle, 480, 640);
        ZXS_Point centre;
        ASSERT_EQ(ZXS_MapGetCenter(&map.handle, &centre), 0);
        ASSERT_TRUE(view.ok && view.Place(centre.x, centre.y, 3000, 0) && view.Render());
        EXPECT_LT(ColourShare(view.Picture(), view.Picture().rect()), 0.02);
    }
}

// Far out the main roads come from the overview layers, and neither the
// streets nor blocks of objects too small to be drawn are walked.
TEST(Frame, FarViewsDrawTheMainRoadsFromTheOverview)
{
    Kernel kernel;
    Map map(ShippedMap());
    ASSERT_TRUE(map.opened);
    View view(map.handle, 480, 640);
    ZXS_Point centre;
    ASSERT_EQ(ZXS_MapGetCenter(&map.handle, &centre), 0);
    const CZXS_View& v = *view.handle.pView;
    ASSERT_TRUE(view.ok && view.Place(centre.x, centre.y, 6000, 0) && view.Render());
    const int32_t close = v.Counts().objects;
    ASSERT_TRUE(view.Place(centre.x, centre.y, 12000, 0) && view.Render());
    EXPECT_LT(v.Counts().objects * 20, close);
    const QImage picture = view.Picture();
    EXPECT_GT(ColourShare(picture, picture.rect(), qRgb(0xFF, 0xA5, 0x4F)), 0.001)
        << "the highways' centre line";
    EXPECT_GT(ColourShare(picture, picture.rect(), qRgb(0xC8, 0xA0, 0x3C)), 0.0002) << "the main streets";
}

// Far out, where the overview draws the main roads, the main streets that
// carry a jam are still drawn in its colours, and without jams nothing of them.
TEST(Frame, FarViewsShowTheJamsOfTheMainStreets)
{
    Kernel kernel;
    Map map(ShippedMap());
    ASSERT_TRUE(map.opened);
    const CZXS_TzxDoc& doc = map.handle.pDoc->Map();
    int32_t layer = 0; // the main streets, style group 12 of the compiled maps
    while (layer < doc.LayerCount() && doc.GetLayerDesc(layer).StyleGroup() != 12)
        ++layer;
    ASSERT_LT(layer + 1, doc.LayerCount());
    const int32_t first = doc.GetLayerDesc(layer).FirstObject();
    const int32_t end = doc.GetLayerDesc(layer + 1).FirstObject();
    const int32_t base = doc.FirstRoadLayer().FirstObject();
    ASSERT_LT(first, end);
    View view(map.handle, 480, 640);
    ZXS_Point centre;
    ASSERT_EQ(ZXS_MapGetCenter(&map.handle, &centre), 0);
    const CZXS_View& v = *view.handle.pView;
    const QRgb jam = qRgb(static_cast<int>(ZXS_PassageColorGet(6) & 0xff),
        static_cast<int>(ZXS_PassageColorGet(6) >> 8 & 0xff),
        static_cast<int>(ZXS_PassageColorGet(6) >> 16 & 0xff));

    ASSERT_TRUE(view.ok && view.Place(centre.x, centre.y, 12000, 0) && view.Render());
    const int32_t plain = v.Counts().objects;
    EXPECT_EQ(ColourShare(view.Picture(), view.Picture().rect(), jam), 0.0);

    for (int32_t object = first; object < end; ++object) {
        CZXS_PassageJournal::Entry entry;
        entry.roadOffset = static_cast<uint32_t>(object - base);
        entry.costClass = 6;
        entry.directions = CZXS_PassageJournal::kForward;
        ASSERT_GE(doc.Journal()->Insert(entry, -1, false), 0);
    }
    ASSERT_TRUE(view.Render());
    EXPECT_EQ(v.Counts().objects, plain) << "the jammed streets are drawn over the overview, not counted";
    EXPECT_GT(ColourShare(view.Picture(), view.Picture().rect(), jam), 0.0001) << "the jams' centre band";
}

// At the street scales a driver uses the towns show their buildings, merged
// into blocks: one by one most are too small to be drawn there. Without the
// blocks these frames show about half as much (0.4 % of Monaco's, 1.2 % of
// Ostankino's); the roads drawn over them take most of the rest.
TEST(Frame, TownsShowTheirBuildingsAtStreetScales)
{
    Kernel kernel;
    ASSERT_TRUE(kernel.started);
    struct Place {
        const char* where;
        const char* map;
        int32_t x, y; // map units; 0: the map's centre
        double share; // of the frame in the buildings' colour, at least
    } const places[] = {
        { "Monte-Carlo", "monaco", 7245, 4327, 0.007 },
        { "Monaco-Ville", "monaco", 7081, 5349, 0.007 },
        { "Ostankino", "moscow-ostankino", 0, 0, 0.019 },
    };
    for (const Place& p : places) {
        Map map(RenderMap(p.map));
        ASSERT_TRUE(map.opened);
        View view(map.handle, 480, 640);
        ZXS_Point at { p.x, p.y };
        if (p.x == 0) {
            ASSERT_EQ(ZXS_MapGetCenter(&map.handle, &at), 0);
        }
        ASSERT_TRUE(view.ok && view.Place(at.x, at.y, 1000, 0) && view.Render());
        const QImage picture = view.Picture();
        EXPECT_GT(ColourShare(picture, picture.rect(), qRgb(0xD9, 0xD0, 0xC9)), p.share) << p.where;
    }
}

TEST(Frame, WithoutAnImageEndsDoneWithError8)
{
    Kernel kernel;
    Map map(ShippedMap());
    ASSERT_TRUE(map.opened);
    CZXS_View view(&map.handle.pDoc->Map());
    view.GetError();
    EXPECT_EQ(view.Render(false), 0);
    EXPECT_EQ(view.GetError(), ZXS_KERR_NOIMAGE);
    EXPECT_EQ(view.State().load(), CZXS_View::kDone);
}

namespace {
uint32_t g_fakeTick = 0;
uint32_t FakeTick() { return g_fakeTick; }
void FakeSleep(uint32_t ms) { g_fakeTick += ms; }
} // namespace

// A frame that waits in vain for a running one gives up after 10 s with error
// 12 and state 2, and leaves the running frame's busy flag alone.
TEST(Frame, GivingUpTheWaitKeepsTheOtherFramesBusyFlag)
{
    Kernel kernel;
    Map map(ShippedMap());
    View view(map.handle, 240, 320);
    ASSERT_TRUE(view.ok && view.Place(0x7fffffff, 0x7fffffff, 2000, 0));
    CZXS_View& v = *view.handle.pView;
    ASSERT_TRUE(v.TryBeginFrame()); // another frame runs
    ZXS_SetRenderClock(&FakeTick, &FakeSleep);
    g_fakeTick = 5;
    v.GetError();
    EXPECT_EQ(v.Render(false), 0);
    ZXS_SetRenderClock(nullptr, nullptr);
    EXPECT_EQ(v.GetError(), ZXS_KERR_VIEWBUSY);
    EXPECT_EQ(v.State().load(), CZXS_View::kDone);
    EXPECT_GE(g_fakeTick, 10005u);
    EXPECT_TRUE(v.IsBusy());
    v.EndFrame();
    EXPECT_EQ(v.Render(false), 1);
}

// A cancel before the frame's first object ends it at once with result 1.
TEST(Frame, CancelStopsTheFrameAtTheNextObject)
{
    Kernel kernel;
    Map map(RenderMap("monaco"));
    View view(map.handle, 240, 320);
    ZXS_Point centre;
    ASSERT_EQ(ZXS_MapGetCenter(&map.handle, &centre), 0);
    ASSERT_TRUE(view.ok && view.Place(centre.x, centre.y, 700, 0));
    CZXS_View& v = *view.handle.pView;
    v.SetCancel(true);
    EXPECT_EQ(v.Render(false), 1);
    EXPECT_EQ(v.Counts().objects, 0);
    v.SetCancel(false);
    EXPECT_EQ(v.Render(false), 1);
    EXPECT_GT(v.Counts().objects, 0);
}

// Quick frames draw no labels and no arrows, and stop after their time budget.
TEST(Frame, QuickFramesSkipLabelsAndKeepToTheirBudget)
{
    Kernel kernel;
    Map map(RenderMap("monaco"));
    View view(map.handle, 480, 640);
    ZXS_Point centre;
    ASSERT_EQ(ZXS_MapGetCenter(&map.handle, &centre), 0);
    ASSERT_TRUE(view.ok && view.Place(centre.x, centre.y, 700, 0));
    ASSERT_EQ(ZXS_ViewRender(&view.handle, 1, nullptr), 0);
    const CZXS_View& v = *view.handle.pView;
    const int32_t whole = v.Counts().objects;
    EXPECT_GT(whole, 0);
    EXPECT_EQ(v.Counts().labels, 0);
    EXPECT_EQ(v.Counts().arrows, 0);
    EXPECT_TRUE(view.handle.pView->Image()->Antialiased())
        << "the quick frame's plain lines are for that frame only";
    // Each tick read moves the clock on by 100 ms: the budget ends the frame at the second layer.
    ZXS_SetRenderClock([]() { return g_fakeTick += 100; }, &FakeSleep);
    ASSERT_EQ(ZXS_ViewRender(&view.handle, 1, nullptr), 0);
    ZXS_SetRenderClock(nullptr, nullptr);
    EXPECT_LT(v.Counts().objects, whole);
}

// With an icon for every category, a close view of the shipped map shows its
// POIs, each in a 13 x 13 box of its own; far out, or without icons, none.
TEST(Frame, PoiIconsInBoxesOfTheirOwnOnCloseViews)
{
    render_test::BlockWriter block;
    block.Start();
    const std::vector<std::string> pixels(7, "1111111");
    const std::vector<std::string> mask(7, ".......");
    for (uint32_t number = 0; number < 128; ++number)
        block.Entry(number, 0, 1).Image(3, 3, 1, { 0x000000, 0xc000c0 }, pixels, mask);
    block.End();
    Kernel kernel(&block.bytes);
    ASSERT_TRUE(kernel.started);
    Map map(ShippedMap());
    ASSERT_TRUE(map.opened);
    View view(map.handle, 480, 640);
    ASSERT_TRUE(view.ok);
    const double metresPerUnit = ZXS_MapUnitsToMeters(&map.handle, 1.0);
    ASSERT_GT(metresPerUnit, 0.0);
    const int32_t close = static_cast<int32_t>(2.5 * 128 / metresPerUnit);
    ZXS_Rect bounds;
    ASSERT_EQ(ZXS_MapGetBounds(&map.handle, &bounds), 0);
    // The first of a few places that shows POIs.
    const CZXS_View& v = *view.handle.pView;
    int shown = 0;
    for (int i = 1; i < 8 && shown == 0; ++i) {
        for (int j = 1; j < 8 && shown == 0; ++j) {
            ASSERT_TRUE(view.Place(bounds.left + (bounds.right - bounds.left) / 8 * i,
                bounds.top + (bounds.bottom - bounds.top) / 8 * j, std::max(close, 8), 0));
            ASSERT_TRUE(view.Render());
            shown = v.Counts().pois;
        }
    }
    ASSERT_GT(shown, 0);
    std::vector<std::pair<double, double>> icons;
    for (const CZXS_View::Group& g : v.Groups())
        if (g.icon)
            icons.emplace_back(g.cx, g.cy);
    ASSERT_EQ(static_cast<int>(icons.size()), shown);
    for (size_t a = 0; a < icons.size(); ++a)
        for (size_t b = a + 1; b < icons.size(); ++b)
            EXPECT_TRUE(std::fabs(icons[a].first - icons[b].first) > 12
                || std::fabs(icons[a].second - icons[b].second) > 12);
    // Far out (more than 3 m a pixel) no icons are drawn.
    ZXS_Point centre;
    ASSERT_EQ(ZXS_MapGetCenter(&map.handle, &centre), 0);
    ASSERT_TRUE(view.Place(centre.x, centre.y, close * 4, 0));
    ASSERT_TRUE(view.Render());
    EXPECT_EQ(v.Counts().pois, 0);
}
