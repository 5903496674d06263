// A restyled second handle of a map: the same map data drawn with styles of
// its own, given and read back as scales, and closed in either order.

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "kernel/api/map_query.h"
#include "kernel/api/result_codes.h"
#include "kernel/doc/application.h"
#include "kernel/render/view.h"
#include "tests/kernel/render/frame_support.h"

using namespace frame_support;

namespace {

using Records = std::vector<uint8_t>;
constexpr size_t kRecord = 44;

// Every style record of the map as ZXS_MapGetStyle gives it out, group by group.
Records StylesOf(const CZXS_MapHandle& map)
{
    Records all;
    uint8_t record[kRecord];
    for (int32_t group = 0; group < 256; ++group)
        for (int32_t n = 0; ZXS_MapGetStyle(&map, group, n, record) == ZXS_OK; ++n)
            all.insert(all.end(), record, record + kRecord);
    return all;
}

class RestyledMap : public ::testing::Test {
protected:
    RestyledMap()
        : map(ShippedMap())
    {
    }
    void SetUp() override
    {
        ASSERT_TRUE(kernel.started);
        ASSERT_TRUE(map.opened);
        ASSERT_EQ(ZXS_MapGetCenter(&map.handle, &centre), 0);
        styles = StylesOf(map.handle);
        ASSERT_GT(styles.size(), kRecord);
    }
    ~RestyledMap() override { ZXS_MapClose(&alias); }

    int32_t Restyle(const Records& records, CZXS_MapHandle& target)
    {
        return ZXS_MapOpenRestyled(
            &target, &map.handle, records.data(), static_cast<int32_t>(records.size() / kRecord));
    }
    int32_t Restyle(const Records& records) { return Restyle(records, alias); }
    // The records with both colours of every style of the group replaced.
    Records Recoloured(int group, uint8_t r, uint8_t g, uint8_t b) const
    {
        Records changed = styles;
        for (size_t i = 0; i < changed.size(); i += kRecord) {
            if (changed[i + 4] != group)
                continue;
            for (size_t at : { i + 14, i + 20 }) {
                changed[at] = r;
                changed[at + 1] = g;
                changed[at + 2] = b;
            }
        }
        return changed;
    }
    static int16_t UseCount(const CZXS_MapHandle& handle)
    {
        return ZXSg_pApplication->Documents().UseCount(handle.pDoc);
    }
    static size_t OpenDocuments() { return ZXSg_pApplication->Documents().DocumentCount(); }
    // A frame of the same area through the handle, drawn without antialiasing.
    QImage Frame(CZXS_MapHandle& handle)
    {
        View view(handle, 240, 320, false);
        EXPECT_TRUE(view.ok && view.Place(centre.x, centre.y, 2000, 0) && view.Render());
        return view.ok ? view.Picture() : QImage();
    }

    Kernel kernel;
    Map map;
    ZXS_Point centre;
    Records styles;
    CZXS_MapHandle alias;
};

} // namespace

// The pixels in which two pictures differ, as a bit each.
std::vector<bool> Difference(const QImage& a, const QImage& b)
{
    std::vector<bool> differ;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differ.push_back(reinterpret_cast<const uint16_t*>(a.constScanLine(y))[x]
                != reinterpret_cast<const uint16_t*>(b.constScanLine(y))[x]);
    return differ;
}

TEST_F(RestyledMap, RefusesWhatItCannotOpen)
{
    const Records before = styles;
    CZXS_MapHandle closed;
    CZXS_MapHandle open;
    ASSERT_EQ(Restyle(styles, open), ZXS_OK);
    const int32_t count = static_cast<int32_t>(styles.size() / kRecord);
    struct Case {
        const char* what;
        CZXS_MapHandle* target;
        const CZXS_MapHandle* source;
        const uint8_t* records;
        int32_t count;
        int32_t expected;
    };
    const Case cases[] = {
        { "target open", &open, &map.handle, styles.data(), count, ZXS_ERR_ALREADY },
        { "target holds a map", &map.handle, &map.handle, styles.data(), count, ZXS_ERR_ALREADY },
        { "no target", nullptr, &map.handle, styles.data(), count, ZXS_ERR_PARAM },
        { "no source", &alias, nullptr, styles.data(), count, ZXS_ERR_PARAM },
        { "no records", &alias, &map.handle, nullptr, count, ZXS_ERR_PARAM },
        { "count 0", &alias, &map.handle, styles.data(), 0, ZXS_ERR_PARAM },
        { "count -1", &alias, &map.handle, styles.data(), -1, ZXS_ERR_PARAM },
        { "source not open", &alias, &closed, styles.data(), count, ZXS_ERR_ALREADY },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZXS_MapOpenRestyled(c.target, c.source, c.records, c.count), c.expected) << c.what;
        EXPECT_FALSE(alias.IsOpen()) << c.what;
    }
    EXPECT_EQ(UseCount(map.handle), 2);
    EXPECT_EQ(styles, before) << "the caller's records are left as they were";
    ZXS_MapClose(&open);
    EXPECT_EQ(UseCount(map.handle), 1);
}

// The alias reads its styles back as they were given, scales included, while
// the map's own stay; the caller's array is not touched.
TEST_F(RestyledMap, GivesItsStylesBackAsTheyWereGiven)
{
    Records given = Recoloured(12, 1, 2, 3);
    const uint32_t scales[] = { 0, 1, 7, 2000, 77777, 123456, 9999999 };
    for (size_t k = 0; k < std::size(scales) && k * kRecord < given.size(); ++k)
        for (int b = 0; b < 4; ++b)
            given[k * kRecord + b] = static_cast<uint8_t>(scales[k] >> (8 * b));
    const Records copy = given;
    ASSERT_EQ(Restyle(given), ZXS_OK);
    EXPECT_EQ(given, copy);
    EXPECT_EQ(StylesOf(alias), given);
    EXPECT_EQ(StylesOf(map.handle), styles);
    EXPECT_EQ(alias.pOwner, map.handle.pOwner);
}

// A view of the alias draws with the alias's styles: given back unchanged they
// give the map's own picture; one group recoloured changes exactly the pixels
// that group draws (those that also change between two colours of it).
TEST_F(RestyledMap, ViewsOfTheAliasDrawWithItsStyles)
{
    const QImage plain = Frame(map.handle);
    ASSERT_EQ(Restyle(styles), ZXS_OK);
    EXPECT_EQ(Frame(alias), plain);
    ZXS_MapClose(&alias);

    constexpr int kGroup = 12;
    ASSERT_EQ(Restyle(Recoloured(kGroup, 8, 16, 248)), ZXS_OK);
    CZXS_MapHandle second;
    ASSERT_EQ(Restyle(Recoloured(kGroup, 240, 200, 8), second), ZXS_OK);
    const QImage blue = Frame(alias);
    const QImage yellow = Frame(second);
    ZXS_MapClose(&second);
    const std::vector<bool> changed = Difference(plain, blue);
    EXPECT_GT(std::count(changed.begin(), changed.end(), true), 100);
    EXPECT_EQ(changed, Difference(yellow, blue));
    EXPECT_EQ(Frame(map.handle), plain) << "the map's own views keep its styles";
}

// Either handle may close first: the map stays while the alias holds it, and a
// view of the alias stops drawing when the alias closes.
TEST_F(RestyledMap, SourceAndAliasCloseInEitherOrder)
{
    const Records given = Recoloured(11, 8, 16, 248);
    ASSERT_EQ(Restyle(given), ZXS_OK);
    EXPECT_EQ(UseCount(map.handle), 2);
    const QImage restyled = Frame(alias);
    CZXS_MapHandle again;
    ASSERT_EQ(
        ZXS_MapOpenRestyled(&again, &alias, given.data(), static_cast<int32_t>(given.size() / kRecord)), 0);
    EXPECT_EQ(UseCount(map.handle), 3) << "an alias of an alias holds the map itself";
    EXPECT_EQ(Frame(again), restyled);
    ZXS_MapClose(&again);

    ZXS_MapClose(&map.handle);
    EXPECT_EQ(OpenDocuments(), 1u);
    EXPECT_EQ(Frame(alias), restyled);
    ZXS_MapClose(&alias);
    EXPECT_EQ(OpenDocuments(), 0u);
}

TEST_F(RestyledMap, ClosingTheAliasFirstStopsItsViews)
{
    const QImage plain = Frame(map.handle);
    ASSERT_EQ(Restyle(Recoloured(11, 8, 16, 248)), ZXS_OK);
    {
        View view(alias, 240, 320, false);
        ASSERT_TRUE(view.ok && view.Place(centre.x, centre.y, 2000, 0));
        ASSERT_EQ(ZXS_ViewRenderAsync(&view.handle), 0);
        ZXS_MapClose(&alias);
        EXPECT_NE(view.handle.pView->State().load(), CZXS_View::kQueued);
        EXPECT_EQ(view.handle.pView->Document(), nullptr);
    }
    EXPECT_EQ(UseCount(map.handle), 1);
    EXPECT_EQ(Frame(map.handle), plain);
}

// The kernel's end closes an alias still open and stops its views; the views
// and handles left over are then put away without touching what is gone.
TEST_F(RestyledMap, TheKernelsEndTakesTheAliasAndItsViews)
{
    ASSERT_EQ(Restyle(Recoloured(11, 8, 16, 248)), ZXS_OK);
    auto view = std::make_unique<View>(alias, 240, 320, false);
    ASSERT_TRUE(view->ok && view->Place(centre.x, centre.y, 2000, 0));
    ASSERT_EQ(ZXS_ViewRenderAsync(&view->handle), 0);
    ZXS_AppExit(&kernel.app);
    EXPECT_EQ(view->handle.pView->Document(), nullptr);
    EXPECT_NE(view->handle.pView->State().load(), CZXS_View::kQueued);
    CZXS_MapHandle other;
    EXPECT_EQ(ZXS_MapOpenRestyled(&other, &map.handle, styles.data(), 1), ZXS_ERR_NOHANDLE);
    view.reset();
    ZXS_MapClose(&alias);
    ZXS_MapClose(&map.handle);
}
