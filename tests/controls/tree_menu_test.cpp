// One level of the long-press menu on the map screen at 240x320 and 640x480:
// where a level opens beside the press, how a tall level scrolls between its
// arrows, what a release on each kind of row does, and how the rows measure.
#include "controls/tree_menu.h"

#include "foundation/screen_metrics.h"
#include "tests/controls/widget_rig.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using controlstest::WidgetRig;

// A level of `rows` rows of a five-letter word, on the rig's surface.
void Fill(CTreeMenu& level, int rows, const QString& text = QStringLiteral("Route"))
{
    level.Attach(g_drawTool.get(), nullptr);
    for (int i = 0; i < rows; ++i)
        level.AddItem(text, text, 0, 10336 + i, false, false);
}

ElementPoint PositionOf(const CTreeMenu& level)
{
    ElementPoint at;
    level.GetPosition(at);
    return at;
}

struct Placement {
    const char* what;
    int rows;
    QString text;
    ElementPoint nearCorner, farCorner;
    ElementPoint expected;
};

// Each level opened at its corners lands where the row says; it scrolls when
// its rows of `rowHeight` reach the screen's height.
template <size_t N> void ExpectPlacements(const Placement (&table)[N], int rowHeight, int screenHeight)
{
    for (const Placement& p : table) {
        SCOPED_TRACE(p.what);
        CTreeMenu level;
        Fill(level, p.rows, p.text);
        ASSERT_EQ(level.ShowAt(p.nearCorner, p.farCorner), 1);
        EXPECT_EQ(PositionOf(level), p.expected);
        EXPECT_EQ(level.IsScrolling(), p.rows * rowHeight >= screenHeight);
    }
}

TEST(TreeMenu, OpensBesideThePressOnTheSideWithRoom)
{
    const QString wide(40, QLatin1Char('W'));
    {
        // 96 dpi: rows of 22 pixels, glyphs of 10; "Route" is 58 wide.
        WidgetRig rig(240, 320);
        CTreeMenu probe;
        Fill(probe, 1);
        EXPECT_EQ(probe.GetWidth(), 58);
        const Placement table[] = {
            { "fits right and below", 3, QStringLiteral("Route"), { 10, 10 }, { 10, 10 }, { 10, 10 } },
            { "near the lower right corner: left and above", 3, QStringLiteral("Route"), { 200, 300 },
                { 200, 300 }, { 142, 234 } },
            { "a child past the far corner", 2, QStringLiteral("Route"), { 13, 40 }, { 65, 52 }, { 65, 52 } },
            { "a child with no room right opens left of the near corner", 2, QStringLiteral("Route"),
                { 190, 40 }, { 230, 52 }, { 132, 52 } },
            // 215 wide: it fits on neither side of x 100..130; the right has
            // more room, so it is pushed back inside the screen.
            { "fits neither side, more room right", 1, wide, { 100, 10 }, { 130, 10 }, { 24, 10 } },
            { "fits neither side, more room left: never negative", 1, wide, { 120, 10 }, { 150, 10 },
                { 0, 10 } },
            { "taller than the screen: scrolls from the top", 15, QStringLiteral("Route"), { 10, 200 },
                { 10, 200 }, { 10, 0 } },
        };
        ExpectPlacements(table, 22, 320);
        CTreeMenu empty;
        empty.Attach(g_drawTool.get(), nullptr);
        EXPECT_EQ(empty.ShowAt({ 10, 10 }, { 10, 10 }), 0) << "a level without rows is never shown";
        EXPECT_EQ(empty.HitTest({ 10, 10 }).zone, CTreeMenu::ZONE_NONE);
    }
    {
        // 192 dpi: rows of 44, glyphs of 17; "Route" is 93 wide and the cap is 430.
        WidgetRig rig(640, 480);
        CTreeMenu probe;
        Fill(probe, 1);
        EXPECT_EQ(probe.GetWidth(), 93);
        const Placement table[] = {
            { "fits right and below", 3, QStringLiteral("Route"), { 300, 100 }, { 300, 100 }, { 300, 100 } },
            { "near the lower right corner: left and above", 3, QStringLiteral("Route"), { 600, 450 },
                { 600, 450 }, { 507, 318 } },
            { "fits neither side, more room right", 1, wide, { 300, 10 }, { 330, 10 }, { 209, 10 } },
            { "taller than the screen: scrolls from the top", 11, QStringLiteral("Route"), { 10, 400 },
                { 10, 400 }, { 10, 0 } },
        };
        ExpectPlacements(table, 44, 480);
    }
}

struct Window {
    int first, end;
    bool up, down;
    bool operator==(const Window&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Window& w)
{
    return out << "[" << w.first << ", " << w.end << ") up " << w.up << " down " << w.down;
}

Window WindowOf(const CTreeMenu& level)
{
    return { level.FirstVisible(), level.EndVisible(), level.IsUpEnabled(), level.IsDownEnabled() };
}

TEST(TreeMenu, ATallLevelScrollsOneRowAtATimeBetweenItsArrows)
{
    // Twenty rows of 22 at 320: 298 pixels between the arrows hold 13 rows.
    WidgetRig rig(240, 320);
    CTreeMenu level;
    Fill(level, 20);
    ASSERT_EQ(level.ShowAt({ 10, 10 }, { 10, 10 }), 1);
    EXPECT_EQ(WindowOf(level), (Window { 0, 13, false, true }));
    const struct {
        bool down;
        Window after;
    } steps[] = {
        { true, { 1, 14, true, true } },
        { true, { 2, 15, true, true } },
        { true, { 3, 16, true, true } },
        { true, { 4, 17, true, true } },
        { true, { 5, 18, true, true } },
        { true, { 6, 19, true, true } },
        { true, { 7, 20, true, false } },
        { true, { 7, 20, true, false } }, // the last row shows: no further
        { false, { 6, 19, true, true } },
        { false, { 5, 18, true, true } },
    };
    for (const auto& step : steps) {
        if (step.down)
            level.ScrollDown();
        else
            level.ScrollUp();
        EXPECT_EQ(WindowOf(level), step.after);
    }
    for (int i = 0; i < 6; ++i)
        level.ScrollUp();
    EXPECT_EQ(WindowOf(level), (Window { 0, 13, false, true }));

    // A row's place follows the window: the first visible row lies under the up arrow.
    level.ScrollDown();
    EXPECT_EQ(level.HitTest({ 20, 11 + 5 }).row, 1);
    EXPECT_EQ(level.HitTest({ 20, 5 }).zone, CTreeMenu::ZONE_UP);
    EXPECT_EQ(level.HitTest({ 20, 315 }).zone, CTreeMenu::ZONE_DOWN);
    EXPECT_EQ(level.HitTest({ 20, 11 + 13 * 22 + 5 }).zone, CTreeMenu::ZONE_BELOW);
}

TEST(TreeMenu, AHeldArrowScrollsOnEveryTickAndItsReleaseAddsNoStep)
{
    WidgetRig rig(240, 320);
    CTreeMenu level;
    Fill(level, 20);
    ASSERT_EQ(level.ShowAt({ 10, 10 }, { 10, 10 }), 1);
    const ElementPoint down { 30, 315 }, up { 30, 5 };

    // A quick tap scrolls exactly one row.
    EXPECT_EQ(level.OnPointerDown(down), 1);
    EXPECT_EQ(level.OnPointerUp(down), CTreeMenu::UP_HANDLED);
    EXPECT_EQ(WindowOf(level).first, 1);

    // Held: one row per 250 ms tick, none on release.
    level.OnPointerDown(down);
    level.OnTick(249);
    EXPECT_EQ(WindowOf(level).first, 1);
    level.OnTick(1);
    EXPECT_EQ(WindowOf(level).first, 2);
    level.OnTick(250);
    EXPECT_EQ(WindowOf(level).first, 3);
    EXPECT_EQ(level.OnPointerUp(down), CTreeMenu::UP_HANDLED);
    EXPECT_EQ(WindowOf(level).first, 3);

    // Ticks without a held arrow do nothing; a disabled arrow never repeats.
    level.OnTick(1000);
    EXPECT_EQ(WindowOf(level).first, 3);
    for (int i = 0; i < 3; ++i)
        level.ScrollUp();
    level.OnPointerDown(up);
    level.OnTick(500);
    EXPECT_EQ(level.OnPointerUp(up), CTreeMenu::UP_HANDLED);
    EXPECT_EQ(WindowOf(level), (Window { 0, 13, false, true }));
}

TEST(TreeMenu, AReleaseActsByTheKindOfRow)
{
    WidgetRig rig(240, 320);
    CTreeMenu level;
    level.Attach(g_drawTool.get(), nullptr);
    level.AddCaption(QStringLiteral("Caption"), QStringLiteral("Заголовок"));
    level.AddSeparator();
    level.AddItem(QStringLiteral("Disabled"), QStringLiteral("Нельзя"), 0, 10336, true, false);
    level.AddItem(QStringLiteral("No value"), QStringLiteral("Пусто"), 0, 0, false, false);
    CTreeMenu* child = level.AddSubmenu(QStringLiteral("More"), QStringLiteral("Ещё"), false, false, 0);
    child->AddItem(QStringLiteral("Inner"), QStringLiteral("Внутри"), 0, 10337, false, false);
    level.AddItem(QStringLiteral("Start"), QStringLiteral("Старт"), 192, 10336, false, false);
    ASSERT_EQ(level.ShowAt({ 10, 10 }, { 10, 10 }), 1);
    // Row tops: caption 0, separator 22, disabled 33, no value 55, submenu 77, command 99.
    const struct {
        const char* what;
        int y;
        int answer;
        int hotAfter;
    } table[] = {
        { "caption", 10 + 5, CTreeMenu::UP_HANDLED, 0 },
        { "separator: the hot row stays", 10 + 27, CTreeMenu::UP_HANDLED, 0 },
        { "disabled", 10 + 40, CTreeMenu::UP_HANDLED, 2 },
        { "value 0 and no child", 10 + 60, CTreeMenu::UP_HANDLED, 3 },
        { "submenu", 10 + 80, CTreeMenu::UP_HANDLED, 4 },
        { "command", 10 + 105, CTreeMenu::UP_POSTED, CTreeMenu::HOT_NONE },
        { "below the level", 10 + 125, CTreeMenu::UP_NOT_HERE, CTreeMenu::HOT_NONE },
        { "beside the level", 200, CTreeMenu::UP_NOT_HERE, CTreeMenu::HOT_NONE },
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(level.OnPointerUp({ 20, row.y }), row.answer);
        EXPECT_EQ(level.HotRow(), row.hotAfter);
    }
}

TEST(TreeMenu, RowsMeasureOnTheMenuFontAndCommandsBringTheirNames)
{
    WidgetRig rig(240, 320);
    CTreeMenu level;
    level.Attach(g_drawTool.get(), nullptr);
    level.AddCommand(10047, false, false); // internal
    level.AddCommand(13000, false, false);
    level.AddCommand(14007, false, false);
    EXPECT_TRUE(level.Items().empty());
    level.AddCommand(10012, false, true);
    level.AddCommand(14003, true, false);
    ASSERT_EQ(level.Items().size(), 2u);
    EXPECT_EQ(level.Items()[0].text, QStringLiteral("Start"));
    EXPECT_EQ(level.Items()[0].icon, 192u);
    EXPECT_EQ(level.Items()[0].value, 10314);
    EXPECT_EQ(level.Items()[0].state, CTreeMenuItem::STATE_CHECKED);
    EXPECT_EQ(level.Items()[1].text, QStringLiteral("Speed"));
    EXPECT_EQ(level.Items()[1].icon, 14003u);
    EXPECT_EQ(level.Items()[1].value, 10362);
    EXPECT_EQ(level.Items()[1].state, CTreeMenuItem::STATE_DISABLED);
    // Icon 16 + 3, text 5 glyphs of 10 + 8.
    EXPECT_EQ(level.GetWidth(), 16 + 3 + 50 + 8);
    level.AddItem(QString(21, QLatin1Char('x')), QString(21, QLatin1Char('x')), 0, 1, false, false);
    EXPECT_EQ(level.GetWidth(), 215) << "218 is cut to the widest a level may be";

    // Hundreds of address captions: the rows' places keep growing.
    CTreeMenu list;
    list.Attach(g_drawTool.get(), nullptr);
    for (int i = 0; i < 3200; ++i)
        list.AddCaption(QStringLiteral("Street %1").arg(i), QStringLiteral("Улица %1").arg(i));
    EXPECT_EQ(list.Items().back().bottom, 3200 * 22);
    ASSERT_EQ(list.ShowAt({ 10, 10 }, { 10, 10 }), 1);
    for (int i = 0; i < 3200; ++i)
        list.ScrollDown();
    EXPECT_EQ(list.EndVisible(), 3200);
    EXPECT_EQ(list.HitTest({ 20, 290 }).row, 3199);
}

// A scrolling level scrolled by a row, with a caption, a checked and a
// disabled row, a separator and its open child level over the map.
TEST(TreeMenu, AScrollingLevelAndItsChildAsDrawn)
{
    for (const QSize& size : controlstest::kScreens) {
        WidgetRig rig(size.width(), size.height());
        rig.Controller().SetScale(2000);
        rig.DrawMap();
        CTreeMenu level;
        level.Attach(g_drawTool.get(), nullptr);
        level.AddCaption(QStringLiteral("Lenin street 12"), QStringLiteral("Lenin street 12"));
        level.AddCommand(10012, false, true);
        level.AddCommand(10013, true, false);
        level.AddSeparator();
        CTreeMenu* child
            = level.AddSubmenu(QStringLiteral("Route"), QStringLiteral("Маршрут"), false, false, 0);
        child->AddCommand(10021, false, false);
        child->AddCommand(10040, false, false);
        for (uint32_t id = 10004; id <= 10011; ++id)
            level.AddCommand(id, false, false);
        for (uint32_t id = 14000; id <= 14006; ++id)
            level.AddCommand(id, false, false);
        const int height = size.height();
        ASSERT_EQ(level.ShowAt({ 20, height / 2 }, { 20, height / 2 }), 1);
        ASSERT_TRUE(level.IsScrolling());
        level.ScrollDown();
        // The submenu row, fourth of the visible rows, opens its child beside it.
        EXPECT_EQ(level.OnPointerUp({ 30, ScaleByDpiY(77) }), CTreeMenu::UP_HANDLED);
        EXPECT_EQ(level.HotRow(), 4);
        ElementPoint childAt;
        child->GetPosition(childAt);
        EXPECT_EQ(childAt.y, ScaleByDpiY(88) - ScaleByDpiY(10)) << "beside the row's lower part";
        EXPECT_GE(childAt.x, 0);
        EXPECT_LT(childAt.x + child->GetWidth(), size.width());
        level.Draw();
        child->Draw();
        rig.ExpectGolden(QStringLiteral("tree_menu"));
    }
}

} // namespace
