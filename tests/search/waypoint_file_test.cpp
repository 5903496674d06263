// The waypoint file: the worked example's bytes written by hand, files read
// back and written again byte for byte, damaged records, texts that would
// break a record, and no waypoint lost between start-up and exit.
#include "search/waypoint_file.h"

#include "platform/archive.h"
#include "tests/search/search_map.h"
#include "tests/support/file_bytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

// Local time is the program's: the tests fix it to Moscow time, which has no
// daylight saving.
class MoscowTime {
public:
    MoscowTime()
    {
        const char* tz = std::getenv("TZ");
        m_saved = tz != nullptr ? std::optional<std::string>(tz) : std::nullopt;
        setenv("TZ", "MSK-3", 1);
        tzset();
    }
    ~MoscowTime()
    {
        if (m_saved)
            setenv("TZ", m_saved->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_saved;
};

int64_t LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&t));
}

// The file bytes of record texts given as they read before encoding.
Bytes Encoded(const std::string& plain)
{
    Bytes bytes(plain.begin(), plain.end());
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(b - 9);
    return bytes;
}

std::string Record(const std::string& fields) { return "\r\n" + fields; }

Bytes ReadBytes(const QString& path)
{
    const QByteArray data = testing_support::ReadFileBytes(path);
    return Bytes(data.begin(), data.end());
}

void WriteBytes(const QString& path, const Bytes& bytes)
{
    ASSERT_TRUE(testing_support::WriteFileBytes(
        path, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))));
}

CWaypoint Example()
{
    CWaypoint w;
    w.m_name = QStringLiteral("Дом");
    w.m_type = QStringLiteral("Синий");
    w.m_position.SetFromNmea(55, 45.123, 'N', 37, 37.456, 'E');
    w.m_firstTime = w.m_secondTime = LocalTime(2007, 7, 3, 14, 5, 9);
    w.m_altitude = 150.0;
    w.m_soundPath = QStringLiteral("\\My Documents\\home.wav");
    return w;
}

class WaypointFile : public ::testing::Test {
protected:
    MoscowTime time;
    testing_support::TempFolder folder;
    QString File(const char* name) const { return QString::fromStdString(folder.File(name)); }
};

} // namespace

TEST_F(WaypointFile, WorkedExampleByteForByte)
{
    // CR LF, the fields each ending in 0xA4, Windows-1251 text: Дом is C4 EE EC, Синий D1 E8 ED E8 E9.
    const std::string plain = "\r\n5545.123\xA4N\xA4"
                              "03737.456\xA4"
                              "E\xA4\xC4\xEE\xEC\xA4\xD1\xE8\xED\xE8\xE9\xA4"
                              "140509\xA4"
                              "03072007\xA4"
                              "140509\xA4"
                              "03072007\xA4"
                              "150.0\xA4\\My Documents\\home.wav\xA4";
    const Bytes golden = Encoded(plain);
    ASSERT_EQ(golden[0], 0x04); // CR - 9
    ASSERT_EQ(golden[1], 0x01); // LF - 9

    CWaypointList list;
    list.Append(Example());
    ASSERT_EQ(list.SaveFile(File("example.kwp"), kwp::kEncodedMode), 1);
    EXPECT_EQ(ReadBytes(File("example.kwp")), golden);
    EXPECT_EQ(list.GetAt(0)->m_filePath, File("example.kwp"));

    // Read back: the same waypoint; without a map it lies beyond the map, kept all the same.
    CWaypointList loaded;
    ASSERT_EQ(loaded.LoadFile(File("example.kwp"), kwp::kEncodedMode), 1);
    ASSERT_EQ(loaded.GetWaypointCount(), 1);
    const CWaypoint& w = *loaded.GetAt(0);
    EXPECT_EQ(w.m_name, QStringLiteral("Дом"));
    EXPECT_EQ(w.m_type, QStringLiteral("Синий"));
    EXPECT_EQ(w.m_firstTime, Example().m_firstTime);
    EXPECT_EQ(w.m_secondTime, Example().m_secondTime);
    EXPECT_EQ(w.m_altitude, 150.0);
    EXPECT_EQ(w.m_soundPath, Example().m_soundPath);
    EXPECT_EQ(w.m_address, QString());
    EXPECT_EQ(w.m_mapX, kNoMapCoordinate);
    EXPECT_NEAR(
        w.m_position.GetLatitude().GetRadians(), Example().m_position.GetLatitude().GetRadians(), 1e-9);

    // Mode 0 keeps the text as it is.
    ASSERT_EQ(list.SaveFile(File("plain.kwp"), 0), 1);
    EXPECT_EQ(ReadBytes(File("plain.kwp")), Bytes(plain.begin(), plain.end()));
}

TEST_F(WaypointFile, ReadFilesWriteBackByteForByte)
{
    CWaypointList list;
    list.Append(Example());
    CWaypoint south = Example();
    south.m_name = QStringLiteral("Cape Horn");
    south.m_type = QStringLiteral("Аптека");
    south.m_position.SetFromNmea(55, 58.8, 'S', 67, 16.5, 'W');
    south.m_altitude = -12.5;
    south.m_firstTime = LocalTime(1999, 12, 31, 23, 59, 59);
    south.m_soundPath = QString(kwp::kMaxSoundPath, QLatin1Char('a')).replace(0, 1, QLatin1Char('\\'));
    list.Append(south);
    // A waypoint without a position is written too, and reads back without one.
    CWaypoint lost = Example();
    lost.m_name = QStringLiteral("Somewhere");
    lost.m_position = CGeoPos();
    list.Append(lost);
    ASSERT_EQ(list.SaveFile(File("a.kwp"), 1), 1);

    CWaypointList loaded;
    ASSERT_EQ(loaded.LoadFile(File("a.kwp"), 1), 1);
    ASSERT_EQ(loaded.GetWaypointCount(), 3);
    EXPECT_FALSE(loaded.GetAt(2)->m_position.IsValid());
    EXPECT_EQ(loaded.GetAt(2)->m_name, QStringLiteral("Somewhere"));
    EXPECT_EQ(loaded.GetAt(1)->m_soundPath.size(), kwp::kMaxSoundPath);
    ASSERT_EQ(loaded.SaveFile(File("b.kwp"), 1), 1);
    EXPECT_EQ(ReadBytes(File("b.kwp")), ReadBytes(File("a.kwp")));
}

TEST_F(WaypointFile, DamagedRecordsLoadWhatTheyHoldAndTheRestStillLoads)
{
    const std::string good = "5545.123\xA4N\xA4"
                             "03737.456\xA4"
                             "E\xA4Good\xA4Red\xA4"
                             "140509\xA4"
                             "03072007\xA4"
                             "140509\xA4"
                             "03072007\xA4"
                             "150.0\xA4";
    struct Case {
        const char* what;
        std::string fields;
        bool validPosition;
        const char* name;
    };
    const Case cases[] = {
        { "cut in the longitude",
            "5545.123\xA4N\xA4"
            "037",
            false, "" },
        { "no hemisphere",
            "5545.123\xA4\xA4"
            "03737.456\xA4"
            "E\xA4NoLetter\xA4",
            false, "NoLetter" },
        { "a foreign hemisphere",
            "5545.123\xA4X\xA4"
            "03737.456\xA4"
            "E\xA4"
            "Foreign\xA4",
            false, "Foreign" },
        { "minutes past 60",
            "5560.500\xA4N\xA4"
            "03737.456\xA4"
            "E\xA4Minutes\xA4",
            false, "Minutes" },
        { "an empty name",
            "5545.123\xA4N\xA4"
            "03737.456\xA4"
            "E\xA4\xA4Red\xA4",
            true, " " },
        { "a huge name",
            [] {
                std::string fields = "5545.123\xA4N\xA4"
                                     "03737.456\xA4"
                                     "E\xA4";
                fields.append(100000, 'n');
                fields += '\xA4';
                return fields;
            }(),
            true, nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(File("damaged.kwp"), Encoded(Record(c.fields) + Record(good)));
        CWaypointList list;
        ASSERT_EQ(list.LoadFile(File("damaged.kwp"), 1), 1);
        ASSERT_EQ(list.GetWaypointCount(), 2);
        EXPECT_EQ(list.GetAt(0)->m_position.IsValid(), c.validPosition);
        if (c.name != nullptr)
            EXPECT_EQ(list.GetAt(0)->m_name, QString::fromUtf8(c.name));
        else
            EXPECT_EQ(list.GetAt(0)->m_name.size(), 100000);
        EXPECT_EQ(list.GetAt(1)->m_name, QStringLiteral("Good"));
        EXPECT_TRUE(list.GetAt(1)->m_position.IsValid());
        EXPECT_EQ(list.GetAt(1)->m_firstTime, LocalTime(2007, 7, 3, 14, 5, 9));
    }

    // Times out of range take their fallbacks: 04:00:00 on 1 January 1970.
    WriteBytes(File("times.kwp"),
        Encoded(Record("5545.123\xA4N\xA4"
                       "03737.456\xA4"
                       "E\xA4T\xA4T\xA4"
                       "246199\xA4"
                       "00002100\xA4"
                       "\xA4"
                       "03072007\xA4"
                       "\xA4")));
    CWaypointList times;
    ASSERT_EQ(times.LoadFile(File("times.kwp"), 1), 1);
    EXPECT_EQ(times.GetAt(0)->m_firstTime, LocalTime(1970, 1, 1, 4, 0, 0));
    EXPECT_EQ(times.GetAt(0)->m_secondTime, 0); // an empty time stays as it was
    EXPECT_EQ(times.GetAt(0)->m_altitude, 0.0);

    // Sound paths: absolute ones only; one too long is not written.
    CWaypointList sounds;
    CWaypoint relative = Example();
    relative.m_soundPath = QStringLiteral("home.wav");
    CWaypoint tooLong = Example();
    tooLong.m_soundPath = QString(kwp::kMaxSoundPath + 1, QLatin1Char('b')).replace(0, 1, QLatin1Char('\\'));
    sounds.Append(relative);
    sounds.Append(tooLong);
    ASSERT_EQ(sounds.SaveFile(File("sounds.kwp"), 1), 1);
    CWaypointList read;
    ASSERT_EQ(read.LoadFile(File("sounds.kwp"), 1), 1);
    ASSERT_EQ(read.GetWaypointCount(), 2);
    EXPECT_EQ(read.GetAt(0)->m_soundPath, QString());
    EXPECT_EQ(read.GetAt(1)->m_soundPath, QString());
    EXPECT_EQ(read.GetAt(1)->m_altitude, 150.0);

    // Not a waypoint file: nothing read.
    for (const Bytes& bytes : { Bytes {}, Bytes { 'x', 'y' }, Encoded("5545.123\xA4N") }) {
        WriteBytes(File("foreign.kwp"), bytes);
        CWaypointList list;
        EXPECT_EQ(list.LoadFile(File("foreign.kwp"), 1), 0);
        EXPECT_EQ(list.GetWaypointCount(), 0);
    }
    EXPECT_EQ(read.LoadFile(File("missing.kwp"), 1), 0);
}

TEST_F(WaypointFile, SeparatorsLineEndsAndTabsInTextsCannotBreakARecord)
{
    CWaypointList list;
    CWaypoint w = Example();
    w.m_name = QStringLiteral("a¤b\rc\nd\te");
    w.m_type = QStringLiteral("Синий\t");
    list.Append(w);
    list.Append(Example());
    ASSERT_EQ(list.SaveFile(File("texts.kwp"), 1), 1);
    CWaypointList loaded;
    ASSERT_EQ(loaded.LoadFile(File("texts.kwp"), 1), 1);
    ASSERT_EQ(loaded.GetWaypointCount(), 2);
    EXPECT_EQ(loaded.GetAt(0)->m_name, QStringLiteral("a b c d e"));
    EXPECT_EQ(loaded.GetAt(0)->m_type, QStringLiteral("Синий "));
    EXPECT_EQ(loaded.GetAt(0)->m_firstTime, Example().m_firstTime);
    EXPECT_EQ(loaded.GetAt(1)->m_name, QStringLiteral("Дом"));
    EXPECT_EQ(loaded.GetAt(1)->m_soundPath, Example().m_soundPath);
}

TEST_F(WaypointFile, FoldersLoadEveryWaypointFile)
{
    const QString dir = QString::fromStdString(folder.Path()) + QLatin1Char('/');
    CWaypointList list;
    EXPECT_EQ(list.LoadFolder(dir, QStringLiteral("*.kwp"), 1), 1); // nothing matches
    EXPECT_EQ(list.GetWaypointCount(), 0);

    CWaypointList two;
    two.Append(Example());
    two.Append(Example());
    ASSERT_EQ(two.SaveFile(File("two.kwp"), 1), 1);
    ASSERT_EQ(two.SaveFile(File("TWO.KWP"), 1), 1);
    WriteBytes(File("notes.txt"), Bytes { 'x' });
    EXPECT_EQ(list.LoadFolder(dir, QStringLiteral("*.kwp"), 1), 1);
    EXPECT_EQ(list.GetWaypointCount(), 4);

    WriteBytes(File("broken.kwp"), Bytes { 'x' });
    EXPECT_EQ(list.LoadFolder(dir, QStringLiteral("*.kwp"), 1), 0);
    // Writing where no file can be: 0.
    EXPECT_EQ(list.SaveFile(File("no-such-folder/x.kwp"), 1), 0);
}

TEST_F(WaypointFile, TheParserTakesAnyBytes)
{
    // Whatever a file holds, the parser keeps inside it.
    std::string noise;
    uint32_t seed = 7;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const uint8_t b = static_cast<uint8_t>(seed >> 16);
        noise += static_cast<char>(b % 5 == 0 ? '\r' : b % 7 == 0 ? kwp::kSeparator : static_cast<char>(b));
    }
    const std::vector<CWaypoint> records = kwp::ParseRecords(
        { reinterpret_cast<const uint8_t*>(noise.data()), noise.size() }, QStringLiteral("x"));
    EXPECT_GT(records.size(), 100u);
}

// ------------------------------------------------------------------ the default file

namespace {

class DefaultWaypointFile : public ::testing::Test {
protected:
    MoscowTime time;
    search_testing::SearchMap map { "voradu" };
    QString DefaultFile() { return map.Folder().File(QStringLiteral("waypoints.kwp")); }
};

} // namespace

TEST_F(DefaultWaypointFile, WaypointsOffTheMapAreKeptFromStartToExit)
{
    // Every waypoint lies far from Voradu: the map cannot place one of them.
    CWaypointList written;
    CWaypoint a = Example();
    CWaypoint b = Example();
    b.m_name = QStringLiteral("Dacha");
    b.m_position.SetFromNmea(10, 1.0, 'S', 20, 2.0, 'W');
    written.Append(a);
    written.Append(b);
    ASSERT_EQ(written.SaveFile(DefaultFile(), 1), 1);
    const Bytes before = ReadBytes(DefaultFile());

    CWaypointList list;
    LoadDefaultWaypoints(list);
    ASSERT_EQ(list.GetWaypointCount(), 2);
    EXPECT_EQ(list.GetAt(0)->m_address, QString()); // shown as beyond the map
    ASSERT_EQ(SaveDefaultWaypoints(list), 1);
    EXPECT_EQ(ReadBytes(DefaultFile()), before);

    // The user deletes them all: the file goes.
    list.RemoveAll();
    ASSERT_EQ(SaveDefaultWaypoints(list), 1);
    EXPECT_FALSE(QFile::exists(DefaultFile()));
}

TEST_F(DefaultWaypointFile, AFileThatDoesNotLoadIsNeverLost)
{
    const Bytes unreadable { 'n', 'o', 't', ' ', 'k', 'w', 'p' };
    WriteBytes(DefaultFile(), unreadable);
    CWaypointList list;
    LoadDefaultWaypoints(list);
    EXPECT_EQ(list.GetWaypointCount(), 0);
    EXPECT_TRUE(list.IsDefaultFileUnread());
    // Nothing to save: the file stays as it was.
    ASSERT_EQ(SaveDefaultWaypoints(list), 1);
    EXPECT_EQ(ReadBytes(DefaultFile()), unreadable);
    // New waypoints are saved, and the old file is kept beside them.
    list.Append(Example());
    ASSERT_EQ(SaveDefaultWaypoints(list), 1);
    EXPECT_EQ(ReadBytes(map.Folder().File(QStringLiteral("waypoints1.kwp"))), unreadable);
    CWaypointList again;
    LoadDefaultWaypoints(again);
    EXPECT_EQ(again.GetWaypointCount(), 1);
    EXPECT_FALSE(again.IsDefaultFileUnread());
}
