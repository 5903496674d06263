// The route file: its bytes against a file written by hand from the format's
// table, files it refuses, and a route saved and loaded on the shipped map.
#include "nav/route_file.h"

#include "foundation/draw_suspender.h"
#include "nav/route_manager.h"
#include "tests/nav/controller_rig.h"
#include "tests/nav/route_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using namespace navtest;

void U32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void F64(std::vector<uint8_t>& b, double v)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i)
        b.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

// A route file as the format's table lays it out, with the given header text.
std::vector<uint8_t> HandWritten(const std::u16string& header, uint32_t state, uint32_t count,
    const std::vector<std::pair<double, double>>& points)
{
    std::vector<uint8_t> b
        = { 0xC1, 0xE3, 0x00, 0x00, 0xFF, 0xFE, 0xFF, static_cast<uint8_t>(header.size()) };
    for (char16_t c : header) {
        b.push_back(static_cast<uint8_t>(c & 0xFF));
        b.push_back(static_cast<uint8_t>(c >> 8));
    }
    U32(b, state);
    U32(b, count);
    for (const auto& [longitude, latitude] : points) {
        F64(b, longitude);
        F64(b, latitude);
    }
    return b;
}

const std::u16string kSignature
    = u"Orvantis Kestrin JYHguYGuyGUHgkUy769_ifBLKU(rrJHItYHGHTRrdHJfgdRDjgf76tRIAo";
const std::vector<std::pair<double, double>> kPoints
    = { { 0.6667, 0.9791 }, { 134217728.0, 134217728.0 }, { 134217728.0, 134217728.0 }, { 0.6671, 0.9789 } };

TEST(RouteFile, BytesMatchTheFormatTable)
{
    const std::vector<uint8_t> golden = HandWritten(kSignature + u"204272", 1, 4, kPoints);
    ASSERT_EQ(golden.size(), 242u);
    RouteFileContents contents;
    contents.state = 1;
    for (const auto& [longitude, latitude] : kPoints)
        contents.points.push_back({ longitude, latitude });
    EXPECT_EQ(WriteRouteFile(contents), golden);

    RouteFileContents read;
    ASSERT_TRUE(ReadRouteFile(golden, 4, read));
    EXPECT_EQ(read.state, 1u);
    ASSERT_EQ(read.points.size(), 4u);
    EXPECT_EQ(read.points[0].longitude, 0.6667);
    EXPECT_EQ(read.points[3].latitude, 0.9789);
    EXPECT_TRUE(read.points[1].IsUnset());
}

TEST(RouteFile, DamagedAndForeignFilesAreRefused)
{
    const std::vector<uint8_t> good = HandWritten(kSignature + u"204272", 1, 4, kPoints);
    RouteFileContents read;
    for (size_t length = 0; length < good.size(); ++length)
        EXPECT_FALSE(ReadRouteFile(std::span(good.data(), length), 4, read)) << "cut at " << length;

    std::u16string offByOne = kSignature;
    offByOne[10] = u'x';
    std::vector<uint8_t> badMagic = good;
    badMagic[1] = 0xE4;
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool accepted;
    };
    const std::vector<std::pair<double, double>> two = { kPoints[0], kPoints[3] };
    const Case cases[] = {
        { "another magic", badMagic, false },
        { "an older version", HandWritten(kSignature + u"101069", 1, 4, kPoints), false },
        { "the oldest version read", HandWritten(kSignature + u"101070", 1, 4, kPoints), true },
        { "no version", HandWritten(kSignature, 1, 4, kPoints), false },
        { "letters for a version", HandWritten(kSignature + u"abc", 1, 4, kPoints), false },
        { "a signature one character off", HandWritten(offByOne + u"204272", 1, 4, kPoints), false },
        { "no points", HandWritten(kSignature + u"204272", 1, 0, {}), false },
        { "two points", HandWritten(kSignature + u"204272", 1, 2, two), true },
        { "five points",
            HandWritten(
                kSignature + u"204272", 1, 5, { kPoints[0], kPoints[1], kPoints[1], kPoints[1], kPoints[3] }),
            false },
        { "a count far beyond the file", HandWritten(kSignature + u"204272", 1, 0xFFFFFFFF, kPoints), false },
        { "fewer records than counted", HandWritten(kSignature + u"204272", 1, 4, two), false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadRouteFile(c.bytes, 4, read), c.accepted) << c.what;
}

TEST(RouteFile, OnlyTheLowerCaseExtensionNamesARouteFile)
{
    EXPECT_TRUE(IsRouteFilePath(QStringLiteral("\\My Documents\\Travenor Pro route.rt")));
    EXPECT_FALSE(IsRouteFilePath(QStringLiteral("/tmp/route.RT")));
    EXPECT_FALSE(IsRouteFilePath(QStringLiteral("/tmp/route.rt.bak")));
    EXPECT_FALSE(IsRouteFilePath(QStringLiteral("/tmp/a.rt/route")));
    EXPECT_FALSE(IsRouteFilePath(QStringLiteral("/tmp/route")));
}

class RouteFileOnMap : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_rig.Controller().SetMapScreenActive(0);
        const MapPoint four[]
            = { Crossing(-3, -1), { kNoMapPoint, kNoMapPoint }, Crossing(1, 2), Crossing(3, 1) };
        ASSERT_EQ(m_rig.Controller().BuildRoute(four, 4, 0, 0, nullptr, 0), 1);
    }
    QString Path(const char* name) const { return m_dir.path() + QLatin1Char('/') + QLatin1String(name); }
    void Write(const char* name, const std::vector<uint8_t>& bytes)
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    }
    // A geographic position of the map as a route file record.
    std::pair<double, double> Geo(const MapPoint& p)
    {
        double longitude = 0, latitude = 0;
        EXPECT_EQ(ZXS_MapToGeo(m_rig.Map(), p.x, p.y, &longitude, &latitude), 0);
        return { longitude, latitude };
    }

    ControllerRig m_rig;
    QTemporaryDir m_dir;
};

TEST_F(RouteFileOnMap, SavedAndLoadedTheRouteComesBack)
{
    const std::vector<RoutePoint> before = Route().GetPoints();
    const QString path = Path("route.rt");
    ASSERT_EQ(Route().SaveToFile(path), 1);
    EXPECT_EQ(Route().GetName(), path);
    EXPECT_EQ(QFile(path).size(), 242);

    Routes().ClearRoute();
    ASSERT_EQ(Routes().HasRoute(), 0);
    EXPECT_EQ(Route().LoadFromFile(path), 0);
    g_drawSuspender.FrameCallbacks().RunAll();
    EXPECT_EQ(Routes().HasRoute(), 1);
    const std::vector<RoutePoint> after = Route().GetPoints();
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_NEAR(after[i].x, before[i].x, 1) << i;
        EXPECT_NEAR(after[i].y, before[i].y, 1) << i;
        EXPECT_EQ(after[i].IsSet(), before[i].IsSet()) << i;
    }
    EXPECT_EQ(Route().GetName(), path);

    // The upper-case extension is neither written nor read.
    EXPECT_EQ(Route().SaveToFile(Path("route.RT")), 0);
    EXPECT_FALSE(QFile::exists(Path("route.RT")));
    QFile::copy(path, Path("copy.RT"));
    EXPECT_EQ(Route().LoadFromFile(Path("copy.RT")), -1);
    EXPECT_EQ(Route().LoadFromFile(Path("missing.rt")), -1);
}

TEST_F(RouteFileOnMap, LoadsLeaveTheRouteAsItWasUnlessTheyRebuildIt)
{
    const std::vector<RoutePoint> current = Route().GetPoints();
    auto unchanged = [&] {
        const std::vector<RoutePoint> now = Route().GetPoints();
        for (size_t i = 0; i < now.size(); ++i)
            if (now[i].x != current[i].x || now[i].y != current[i].y)
                return false;
        return Routes().HasRoute() == 1;
    };
    // No computed route in the file: nothing changes.
    Write("empty.rt", HandWritten(kSignature + u"204272", 0, 4, kPoints));
    EXPECT_EQ(Route().LoadFromFile(Path("empty.rt")), 0);
    EXPECT_TRUE(unchanged());
    // A point off the current map.
    Write("far.rt", HandWritten(kSignature + u"204272", 1, 2, { Geo(Crossing(0, 0)), { 0.1, 0.2 } }));
    EXPECT_EQ(Route().LoadFromFile(Path("far.rt")), -2);
    EXPECT_TRUE(unchanged());
    // A damaged file.
    std::vector<uint8_t> cut = HandWritten(kSignature + u"204272", 1, 4, kPoints);
    cut.resize(200);
    Write("cut.rt", cut);
    EXPECT_EQ(Route().LoadFromFile(Path("cut.rt")), -1);
    EXPECT_TRUE(unchanged());

    // Two records: the start and the finish; both stations unset.
    const MapPoint a = Crossing(-1, -4), b = Crossing(2, 4);
    Write("two.rt", HandWritten(kSignature + u"204272", 1, 2, { Geo(a), Geo(b) }));
    EXPECT_EQ(Route().LoadFromFile(Path("two.rt")), 0);
    g_drawSuspender.FrameCallbacks().RunAll();
    const std::vector<RoutePoint> loaded = Route().GetPoints();
    EXPECT_NEAR(loaded[0].x, a.x, 1);
    EXPECT_FALSE(loaded[1].IsSet());
    EXPECT_FALSE(loaded[2].IsSet());
    EXPECT_NEAR(loaded[3].y, b.y, 1);
    EXPECT_EQ(Routes().HasRoute(), 1);
}

} // namespace
