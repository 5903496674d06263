// Label placement read from the glyph boxes a frame reports: street names
// along bends, turned to read left to right, kept off one another and off what
// is excluded; locality names beside their squares; and frames of the compiled
// Monaco and Ostankino maps at several scales and turns.

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kernel/api/map_query.h"
#include "kernel/api/view_interface.h"
#include "kernel/render/view.h"
#include "tests/kernel/render/frame_support.h"
#include "tests/support/map_fixture.h"
#include "tools/mapwriter/map_writer.h"

using namespace frame_support;

namespace {

using Glyph = CZXS_View::PlacedGlyph;
using Kind = CZXS_View::LabelKind;

constexpr double kPi = 3.14159265358979323846;

// The glyphs of each label, in reading order.
std::map<int32_t, std::vector<Glyph>> ByLabel(const std::vector<Glyph>& glyphs)
{
    std::map<int32_t, std::vector<Glyph>> labels;
    for (const Glyph& g : glyphs)
        labels[g.label].push_back(g);
    return labels;
}

std::string TextOf(const std::vector<Glyph>& label)
{
    std::string text;
    for (const Glyph& g : label)
        text.push_back(static_cast<char>(g.code));
    return text;
}

// How far two glyph boxes reach into each other (<= 0: apart), along the axis
// of either box that separates them best.
double Overlap(const Glyph& a, const Glyph& b)
{
    const double dx = b.cx - a.cx;
    const double dy = b.cy - a.cy;
    double least = 1e300;
    for (const auto& [ax, ay] : { std::pair { a.ux, a.uy }, std::pair { -a.uy, a.ux },
             std::pair { b.ux, b.uy }, std::pair { -b.uy, b.ux } }) {
        const double ra = a.halfLength * std::fabs(a.ux * ax + a.uy * ay)
            + a.halfHeight * std::fabs(a.ux * ay - a.uy * ax);
        const double rb = b.halfLength * std::fabs(b.ux * ax + b.uy * ay)
            + b.halfHeight * std::fabs(b.ux * ay - b.uy * ax);
        least = std::min(least, ra + rb - std::fabs(dx * ax + dy * ay));
    }
    return least;
}

// Angle of a glyph's reading direction above the screen's horizontal, in degrees.
double Angle(const Glyph& g) { return std::atan2(-g.uy, g.ux) * 180 / kPi; }

// What every frame must keep: no label reaches into another; within a label
// each glyph starts where the one before ends (at most squeezed a little on
// the inside of a bend) and turns only a little from it; every glyph reads
// left to right: within a quarter turn of the horizontal, steep names upwards
// leaning back at most 1 in 5; and nothing leaves the image.
void ExpectReadableLabels(
    const std::vector<Glyph>& glyphs, int32_t width, int32_t height, const std::string& where)
{
    for (size_t i = 0; i < glyphs.size(); ++i)
        for (size_t j = i + 1; j < glyphs.size(); ++j)
            if (glyphs[i].label != glyphs[j].label) {
                ASSERT_LE(Overlap(glyphs[i], glyphs[j]), 0.5)
                    << where << ": '" << char(glyphs[i].code) << "' of label " << glyphs[i].label << " and '"
                    << char(glyphs[j].code) << "' of label " << glyphs[j].label << " overlap at ("
                    << glyphs[i].cx << ", " << glyphs[i].cy << ")";
            }
    for (const auto& [number, label] : ByLabel(glyphs)) {
        const std::string text = TextOf(label);
        for (size_t i = 0; i < label.size(); ++i) {
            const Glyph& g = label[i];
            const double angle = Angle(g);
            EXPECT_TRUE(angle >= -90.001 && angle <= 90 + std::atan(0.2) * 180 / kPi + 0.001)
                << where << ": '" << text << "' glyph " << i << " reads at " << angle << " degrees";
            EXPECT_TRUE(g.cx >= -1 && g.cx <= width + 1 && g.cy >= -1 && g.cy <= height + 1)
                << where << ": '" << text << "' leaves the image";
            if (i == 0)
                continue;
            const Glyph& p = label[i - 1];
            const double reach = p.halfLength + g.halfLength;
            const double gap = std::hypot(g.cx - p.cx, g.cy - p.cy) - reach;
            EXPECT_LE(gap, 0.5) << where << ": a gap of " << gap << " px in '" << text << "' before glyph "
                                << i;
            EXPECT_GE(gap, -0.2 * reach) << where << ": glyph " << i << " of '" << text << "' squeezed";
            // Each glyph goes on from the one before, not back over it.
            EXPECT_GT((g.cx - p.cx) * p.ux + (g.cy - p.cy) * p.uy, 0)
                << where << ": '" << text << "' turns back";
            const double turn = std::fabs(std::atan2(p.ux * g.uy - p.uy * g.ux, p.ux * g.ux + p.uy * g.uy));
            EXPECT_LE(turn, 30 * kPi / 180) << where << ": '" << text << "' bends at glyph " << i;
        }
    }
}

// ---------------------------------------------------------------------------
// A written map at one map unit a pixel: a view of 240 x 320 centred on
// kOrigin shows map point (kOrigin - 119 + x, kOrigin - 159 + y) at (x, y).

constexpr int32_t kOrigin = 100000;
constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 320;

struct Street {
    std::vector<ZXS_Point> points; // screen pixels
    std::string name;
};

struct Place {
    ZXS_Point at; // screen pixels
    std::string name;
};

std::array<uint8_t, 44> LabelStyle(uint8_t group, uint8_t width)
{
    std::array<uint8_t, 44> s = testing_support::Style(group, 0.0f, 120, 120, 120);
    s[6] = 0x70; // drawn, labelled, found
    s[7] = 10;
    s[17] = width;
    return s;
}

std::vector<uint8_t> LabelMap(const std::vector<Street>& streets, const std::vector<Place>& places)
{
    mapwriter::MapDescription map;
    map.dictionary = { { 0, 0, "streets" }, { 1, 0, "places" } };
    // A 7 x 7 ring with a dot, bottom row first.
    map.symbols = { { 7, 7, 1, 1, { 0x38, 0x44, 0x92, 0xBA, 0x92, 0x44, 0x38 } } };
    const auto onMap = [](ZXS_Point p) {
        return ZXS_Point { kOrigin - kWidth / 2 + 1 + p.x, kOrigin - kHeight / 2 + 1 + p.y };
    };
    mapwriter::Layer roads;
    roads.styleGroup = 2;
    roads.nameWord = 0;
    for (const Street& s : streets) {
        mapwriter::Record r;
        for (const ZXS_Point p : s.points)
            r.points.push_back(onMap(p));
        r.name = static_cast<int32_t>(map.names.size());
        map.names.push_back({ s.name });
        roads.records.push_back(r);
    }
    mapwriter::Layer localities;
    localities.styleGroup = 3;
    localities.nameWord = 1;
    localities.symbol = 1;
    for (const Place& p : places) {
        mapwriter::Record r;
        r.points = { onMap(p.at) };
        r.name = static_cast<int32_t>(map.names.size());
        map.names.push_back({ p.name });
        localities.records.push_back(r);
    }
    map.layers = { localities, roads };
    map.firstRoadLayer = 1;
    map.roadLayerCount = 1;
    map.styles = { LabelStyle(2, 3), LabelStyle(3, 0) };
    return mapwriter::WriteTzx(map);
}

class LabelPlacement : public ::testing::Test {
protected:
    void TearDown() override
    {
        view.reset();
        if (opened)
            ZXS_MapClose(&map);
    }

    // Renders the streets and places; `excluded` rectangles (left, top, right,
    // bottom) are kept free of labels.
    void Render(const std::vector<Street>& streets, const std::vector<Place>& places = {},
        const std::vector<std::array<int32_t, 4>>& excluded = {})
    {
        ASSERT_TRUE(kernel.started);
        TearDown();
        opened = false;
        bytes = LabelMap(streets, places);
        ASSERT_EQ(ZXS_MapOpenMemory(&map, &owner, bytes.data(), static_cast<uint32_t>(bytes.size()), nullptr,
                      0, nullptr, 0, nullptr, 0),
            0);
        opened = true;
        view = std::make_unique<View>(map, kWidth, kHeight);
        ASSERT_TRUE(view->ok);
        ASSERT_TRUE(view->Place(kOrigin, kOrigin, 128, 0));
        ASSERT_EQ(
            ZXS_ViewMapToScreenX(&view->handle, kOrigin - kWidth / 2 + 11, kOrigin - kHeight / 2 + 21), 10);
        ASSERT_EQ(
            ZXS_ViewMapToScreenY(&view->handle, kOrigin - kWidth / 2 + 11, kOrigin - kHeight / 2 + 21), 20);
        view->handle.pView->RecordGlyphs(&glyphs);
        ASSERT_EQ(ZXS_ViewClear(&view->handle), 0);
        for (const auto& r : excluded)
            ASSERT_EQ(ZXS_ViewExcludeRect(&view->handle, r.data()), 0);
        ASSERT_EQ(ZXS_ViewRender(&view->handle, 0, nullptr), 0);
        ExpectReadableLabels(glyphs, kWidth, kHeight, "written map");
        labels = ByLabel(glyphs);
    }

    const CZXS_View& TheView() const { return *view->handle.pView; }
    // The label whose text begins with `text`; none: nullptr.
    const std::vector<Glyph>* Label(const std::string& text) const
    {
        for (const auto& [number, label] : labels)
            if (TextOf(label).rfind(text, 0) == 0)
                return &label;
        return nullptr;
    }

    Kernel kernel;
    std::vector<uint8_t> bytes;
    CZXS_MapHandle map;
    bool opened = false;
    const char owner = 0;
    std::unique_ptr<View> view;
    std::vector<Glyph> glyphs;
    std::map<int32_t, std::vector<Glyph>> labels;
};

} // namespace

// A street shorter than its name draws nothing and leaves nothing in the
// occupancy table beyond the four borders.
TEST_F(LabelPlacement, StreetShorterThanItsNameLeavesNoTrace)
{
    Render({ { { { 100, 100 }, { 130, 100 } }, "Wildschlossweg" } });
    EXPECT_TRUE(glyphs.empty());
    EXPECT_EQ(TheView().Groups().size(), 4u);
    EXPECT_EQ(TheView().Strokes().size(), 4u);
}

// Streets drawn right to left, top to bottom and bottom to top: the names read
// left to right, and up the steep street whichever way it was drawn.
TEST_F(LabelPlacement, NamesTurnToReadLeftToRightAndUpSteepStreets)
{
    Render({ { { { 220, 40 }, { 20, 40 } }, "Westward" }, { { { 60, 90 }, { 60, 300 } }, "Downhill" },
        { { { 150, 300 }, { 152, 90 } }, "Uphill" } });
    ASSERT_EQ(labels.size(), 3u);
    const auto* west = Label("Westward");
    ASSERT_NE(west, nullptr);
    EXPECT_NEAR(Angle(west->front()), 0, 0.01);
    EXPECT_LT(west->front().cx, west->back().cx);
    for (const char* name : { "Downhill", "Uphill" }) {
        const auto* steep = Label(name);
        ASSERT_NE(steep, nullptr) << name;
        EXPECT_GT(Angle(steep->front()), 85) << name;
        EXPECT_GT(steep->front().cy, steep->back().cy) << name << " reads upwards";
    }
}

// Along a gentle curve the glyphs follow the line one after another; across a
// sharp corner they do not, and the name goes on the longer straight leg; a
// street bent back into a hairpin carries its name on one side only, never
// upside down.
TEST_F(LabelPlacement, NamesFollowBendsTheGlyphsCanTake)
{
    std::vector<ZXS_Point> curve;
    for (int a = 0; a <= 18; ++a) // a quarter circle of radius 160 around (0, 300)
        curve.push_back({ static_cast<int32_t>(std::lround(160 * std::sin(a * kPi / 36))),
            static_cast<int32_t>(std::lround(300 - 160 * std::cos(a * kPi / 36))) });
    Render({ { curve, "Schaanerstrasse Rundweg" }, { { { 10, 20 }, { 120, 20 }, { 120, 70 } }, "Cornerway" },
        { { { 140, 40 }, { 230, 40 }, { 230, 52 }, { 140, 52 } }, "Hairpin" } });
    const auto* curved = Label("Schaanerstrasse");
    ASSERT_NE(curved, nullptr);
    EXPECT_EQ(TextOf(*curved), "Schaanerstrasse Rundweg");
    EXPECT_GT(std::fabs(Angle(curved->front()) - Angle(curved->back())), 20)
        << "the name bends with the road";
    const auto* corner = Label("Cornerway");
    ASSERT_NE(corner, nullptr);
    for (const Glyph& g : *corner) {
        EXPECT_NEAR(Angle(g), 0, 0.01) << "on the horizontal leg only";
        EXPECT_LT(g.cx, 121);
    }
    const auto* hairpin = Label("Hairpin");
    ASSERT_NE(hairpin, nullptr);
    for (const Glyph& g : *hairpin)
        EXPECT_NEAR(Angle(g), 0, 0.01);
}

// Two crossing streets: the second name keeps off the first, so both are
// there and apart; a street whose whole length lies under an excluded
// rectangle, or under names placed before, gets no name.
TEST_F(LabelPlacement, NamesKeepOffOneAnotherAndOffExcludedRectangles)
{
    // Names are placed from the last street to the first.
    Render({ { { { 30, 152 }, { 210, 148 } }, "Alongside Road" },
               { { { 20, 280 }, { 220, 280 } }, "Hidden Street" },
               { { { 120, 20 }, { 120, 300 } }, "Crossing Lane" },
               { { { 20, 150 }, { 220, 150 } }, "Crossing Avenue" } },
        {}, { { 0, 270, 239, 290 } });
    EXPECT_NE(Label("Crossing Avenue"), nullptr);
    EXPECT_NE(Label("Crossing Lane"), nullptr);
    EXPECT_EQ(Label("Hidden Street"), nullptr);
    EXPECT_EQ(Label("Alongside Road"), nullptr) << "no room left along the avenue";
    EXPECT_EQ(labels.size(), 2u);
}

// A locality's name goes right of its square, else left, below or above,
// whichever is free; with all four blocked the square stays unnamed and
// nothing is taken in the table for it.
TEST_F(LabelPlacement, LocalityNamesTakeTheFirstFreeSide)
{
    Render({}, { { { 60, 60 }, "Vaduz" }, { { 180, 200 }, "Balzers" } }, { { 190, 190, 239, 210 } });
    const auto* vaduz = Label("Vaduz");
    ASSERT_NE(vaduz, nullptr);
    EXPECT_GT(vaduz->front().cx, 60) << "right of its square";
    const auto* balzers = Label("Balzers");
    ASSERT_NE(balzers, nullptr);
    EXPECT_LT(balzers->back().cx, 180) << "left of its square when the right is taken";

    Render({}, { { { 120, 160 }, "Schaan" } },
        { { 128, 150, 200, 170 }, { 40, 150, 112, 170 }, { 60, 166, 180, 190 }, { 60, 130, 180, 154 } });
    EXPECT_TRUE(glyphs.empty());
    EXPECT_EQ(TheView().Groups().size(), 4u + 4u + 1u) << "borders, excluded rectangles and the square only";
}

// Frames of the compiled maps at several scales and turns, at both sizes: the
// labels the frame reports keep apart and read well.
TEST(LabelFrames, CompiledMapsKeepTheirLabelsReadable)
{
    Kernel kernel;
    ASSERT_TRUE(kernel.started);
    struct Case {
        const char* name;
        int32_t scales[4];
    };
    for (const Case& c : { Case { "monaco", { 250, 500, 1000, 2000 } },
             Case { "moscow-ostankino", { 300, 700, 1500, 3000 } } }) {
        Map map(RenderMap(c.name));
        ASSERT_TRUE(map.opened) << c.name;
        ZXS_Point centre;
        ASSERT_EQ(ZXS_MapGetCenter(&map.handle, &centre), 0);
        int streets = 0;
        for (const QSize size : { QSize(240, 320), QSize(480, 640) }) {
            View view(map.handle, size.width(), size.height());
            ASSERT_TRUE(view.ok);
            std::vector<Glyph> glyphs;
            view.handle.pView->RecordGlyphs(&glyphs);
            for (const int32_t scale : c.scales)
                for (const int32_t rotation : { 0, 1350, 2900 }) {
                    const std::string where = std::string(c.name) + " " + std::to_string(size.width())
                        + " at " + std::to_string(scale) + " turned " + std::to_string(rotation);
                    ASSERT_TRUE(view.Place(centre.x, centre.y, scale, rotation));
                    ASSERT_TRUE(view.Render()) << where;
                    EXPECT_FALSE(glyphs.empty()) << where;
                    ExpectReadableLabels(glyphs, size.width(), size.height(), where);
                    for (const Glyph& g : glyphs)
                        streets += g.kind == Kind::kStreet ? 1 : 0;
                }
        }
        EXPECT_GT(streets, 200) << c.name << ": street names";
    }
}
