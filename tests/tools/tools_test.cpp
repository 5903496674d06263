// The tools and the program's options as a user meets them: the usage with
// --help, a missing file, a folder, an empty file, a cut map, random bytes and
// bad numbers. Each ends with its status and, when it fails, one line on stderr
// that names what is wrong, and never with a sanitizer's report.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <sys/wait.h>

namespace {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

std::string ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray RandomBytes(int size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

const std::map<std::string, std::string>& Tools()
{
    static const std::map<std::string, std::string> tools {
        { "travenor", TRAVENOR_PROGRAM },
        { "travenor_mapc", TRAVENOR_MAPC },
        { "kroute", TRAVENOR_KROUTE },
        { "krender", TRAVENOR_KRENDER },
        { "tzxdump", TRAVENOR_TZXDUMP },
        { "nmeadump", TRAVENOR_NMEADUMP },
        { "travenor_voradu", TRAVENOR_VORADU },
    };
    return tools;
}

// A folder of inputs: a copy of the shipped map (the kernel opens a map
// exclusively, and tests run side by side), the same map cut short, random
// bytes, an empty file, a folder, and a map whose road graph is damaged.
class ToolFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* extension : { ".tzx", ".zxg", ".zxp" })
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(TRAVENOR_VORADU_MAP) + extension, Path("map") + extension));
        QFile map(Path("map.tzx"));
        ASSERT_TRUE(map.open(QIODevice::ReadOnly));
        const QByteArray bytes = map.readAll();
        ASSERT_TRUE(Write(Path("cut.tzx"), bytes.left(bytes.size() / 3)));
        ASSERT_TRUE(Write(Path("random.tzx"), RandomBytes(5000, 7)));
        ASSERT_TRUE(Write(Path("empty.tzx"), QByteArray()));
        ASSERT_TRUE(QDir().mkpath(Path("folder.tzx")));
        ASSERT_TRUE(QDir().mkpath(Path("folder.osm")));
        ASSERT_TRUE(Write(Path("empty.osm"), QByteArray()));
        ASSERT_TRUE(Write(Path("badgraph.tzx"), bytes));
        ASSERT_TRUE(Write(Path("badgraph.zxg"), RandomBytes(3000, 11)));
        QFile osm(QStringLiteral(TRAVENOR_VORADU_OSM));
        ASSERT_TRUE(osm.open(QIODevice::ReadOnly));
        const QByteArray xml = osm.readAll();
        ASSERT_TRUE(Write(Path("cut.osm"), xml.left(xml.size() / 2)));
        ASSERT_TRUE(Write(Path("random.osm"), RandomBytes(5000, 13)));
    }

    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    // Runs the tool with `args`, in which "@" stands for the folder of inputs;
    // the program runs without a display.
    ToolRun Tool(const std::string& tool, const std::string& args) const
    {
        std::string expanded;
        for (const char c : args)
            expanded += c == '@' ? m_dir.path().toStdString() + "/" : std::string(1, c);
        const std::string out = Path("stdout.txt").toStdString(), err = Path("stderr.txt").toStdString();
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + Tools().at(tool)
            + " " + expanded + " >" + out + " 2>" + err;
        const int status = std::system(command.c_str());
        ToolRun run;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadAll(QString::fromStdString(out));
        run.err = ReadAll(QString::fromStdString(err));
        return run;
    }

    // What a tool says after "does not open: " on its one line.
    static std::string OpenFailure(const ToolRun& run)
    {
        const std::string marker = "does not open: ";
        const size_t at = run.err.find(marker);
        return at == std::string::npos ? std::string() : run.err.substr(at + marker.size());
    }

private:
    QTemporaryDir m_dir;
};

TEST_F(ToolFiles, EachToolAnswersWithItsStatusAndOneClearLine)
{
    struct Case {
        const char* tool;
        const char* args;
        int status;
        const char* says; // on stdout for status 0, on stderr's one line otherwise
    };
    const Case cases[] = {
        { "travenor", "--help", 0, "--screen WxH       device screen in pixels" },
        { "travenor", "--screen 1x1", 2, "--screen" },
        { "travenor", "--dpi 7", 2, "--dpi" },
        { "travenor", "--quit-after soon", 2, "--quit-after" },
        { "travenor", "--frobnicate", 2, "--frobnicate" },

        { "travenor_mapc", "--help", 0, "--map-id N       the map identifier, 0 to 65535" },
        { "travenor_mapc", "@missing.osm @out.tzx", 1, "missing.osm" },
        { "travenor_mapc", "@folder.osm @out.tzx", 1, "folder.osm" },
        { "travenor_mapc", "@empty.osm @out.tzx", 1, "empty.osm" },
        { "travenor_mapc", "@cut.osm @out.tzx", 1, "cut.osm" },
        { "travenor_mapc", "@random.osm @out.tzx", 1, "random.osm" },
        { "travenor_mapc", "--codepage 7 @cut.osm @out.tzx", 2, "--codepage takes 0, 1 or 2: \"7\"" },
        { "travenor_mapc", "--map-id 70000 @cut.osm @out.tzx", 2, "--map-id" },
        { "travenor_mapc", "--map-id 12x @cut.osm @out.tzx", 2, "--map-id" },
        { "travenor_mapc", "@cut.osm", 2, "an input and an output" },

        { "kroute", "--help", 0, "X, Y        a point in map units" },
        { "kroute", "@missing.tzx 1 2 3 4", 1,
            "missing.tzx does not open: the file cannot be opened (kernel code 162)" },
        { "kroute", "@folder.tzx 1 2 3 4", 1, "folder.tzx does not open" },
        { "kroute", "@empty.tzx 1 2 3 4", 1, "empty.tzx does not open" },
        { "kroute", "@cut.tzx 1 2 3 4", 1, "cut.tzx does not open" },
        { "kroute", "@random.tzx 1 2 3 4", 1, "random.tzx does not open" },
        { "kroute", "@map.tzx 1 2 x 4", 2, "\"x\"" },
        { "kroute", "@map.tzx 1 2 3 99999999999", 2, "\"99999999999\"" },
        { "kroute", "--radius -5 @map.tzx 1 2 3 4", 2, "--radius" },
        { "kroute", "@map.tzx 1 2 3", 2, "pairs" },

        { "krender", "--help", 0, "--rotation R  the map's turn in tenths of a degree" },
        { "krender", "@missing.tzx -o @out.png", 1, "missing.tzx does not open" },
        { "krender", "@folder.tzx -o @out.png", 1, "folder.tzx does not open" },
        { "krender", "@empty.tzx -o @out.png", 1, "empty.tzx does not open" },
        { "krender", "@cut.tzx -o @out.png", 1, "cut.tzx does not open" },
        { "krender", "@random.tzx -o @out.png", 1, "random.tzx does not open" },
        { "krender", "@map.tzx --scale 0 -o @out.png", 2, "--scale" },
        { "krender", "@map.tzx --rotation ten -o @out.png", 2, "--rotation" },
        { "krender", "@map.tzx --repeat 0 -o @out.png", 2, "--repeat" },
        { "krender", "@map.tzx --size 0x10 -o @out.png", 2, "--size" },
        { "krender", "@map.tzx --center 5 -o @out.png", 2, "--center" },
        { "krender", "@map.tzx --scale", 2, "--scale needs a value" },
        { "krender", "@map.tzx", 2, "-o OUT.png" },

        { "tzxdump", "--help", 0, "names in UTF-8" },
        { "tzxdump", "@missing.tzx", 1, "missing.tzx: no such file" },
        { "tzxdump", "@folder.tzx", 1, "folder.tzx: a folder, not a file" },
        { "tzxdump", "@empty.tzx", 1, "empty.tzx: not a map file (0 bytes" },
        { "tzxdump", "@cut.tzx", 1, "cut.tzx does not open" },
        { "tzxdump", "@random.tzx", 1, "random.tzx does not open" },
        { "tzxdump", "--key 12 @map.tzx", 2, "--key" },
        { "tzxdump", "--frobnicate @map.tzx", 2, "--frobnicate" },

        { "nmeadump", "--help", 0, "(knots)" },
        { "nmeadump", "@missing.log", 1, "missing.log" },
        { "nmeadump", "@folder.tzx", 1, "folder.tzx" },
        { "nmeadump", "", 2, "a log file is needed" },
    };
    for (const Case& c : cases) {
        const ToolRun run = Tool(c.tool, c.args);
        const std::string what
            = std::string(c.tool) + " " + c.args + "\nstdout: " + run.out + "\nstderr: " + run.err;
        EXPECT_EQ(run.status, c.status) << what;
        if (c.status == 0) {
            EXPECT_EQ(run.err, "") << what;
            EXPECT_NE(run.out.find(c.says), std::string::npos) << what;
        } else {
            EXPECT_EQ(run.err.find(std::string(c.tool) + ": "), 0u) << what;
            ASSERT_FALSE(run.err.empty()) << what;
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line only: " << what;
            EXPECT_NE(run.err.find(c.says), std::string::npos) << what;
        }
        EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << what;
        EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << what;
    }
}

TEST_F(ToolFiles, TheToolsNameTheSameFaultOfAMapInTheSameWords)
{
    for (const char* map : { "@missing.tzx", "@folder.tzx", "@empty.tzx", "@cut.tzx", "@random.tzx" }) {
        const std::string routed = OpenFailure(Tool("kroute", std::string(map) + " 1 2 3 4"));
        const std::string drawn = OpenFailure(Tool("krender", std::string(map) + " -o @out.png"));
        EXPECT_NE(routed, "") << map;
        EXPECT_EQ(routed, drawn) << map;
        // The words come with the kernel's code.
        EXPECT_NE(routed.find("(kernel code "), std::string::npos) << routed;
    }
    // tzxdump reads the file itself and hands the kernel the bytes.
    for (const char* map : { "@cut.tzx", "@random.tzx" })
        EXPECT_EQ(
            OpenFailure(Tool("tzxdump", map)), OpenFailure(Tool("kroute", std::string(map) + " 1 2 3 4")))
            << map;
}

TEST_F(ToolFiles, ADamagedRoadGraphBesideAGoodMapIsAWarning)
{
    const ToolRun dump = Tool("tzxdump", "@badgraph.tzx");
    EXPECT_EQ(dump.status, 0) << dump.err;
    EXPECT_NE(dump.out.find("load: opened"), std::string::npos);
    EXPECT_EQ(dump.err.find("tzxdump: warning: the road graph "), 0u) << dump.err;
    EXPECT_NE(dump.err.find("badgraph.zxg is damaged"), std::string::npos) << dump.err;
    EXPECT_EQ(dump.err.find('\n'), dump.err.size() - 1) << dump.err;

    const ToolRun good = Tool("tzxdump", "@map.tzx");
    EXPECT_EQ(good.status, 0);
    EXPECT_EQ(good.err, "");
    EXPECT_EQ(good.out.find("road graph: 0 edges"), std::string::npos);
}

TEST_F(ToolFiles, TzxdumpPrintsNamesInUtf8)
{
    const ToolRun run = Tool("tzxdump", "--objects @map.tzx");
    ASSERT_EQ(run.status, 0) << run.err;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(QByteArray::fromStdString(run.out));
    EXPECT_FALSE(decoder.hasError());
    // The shipped map's names are Cyrillic: letters beyond ASCII must come out.
    bool cyrillic = false;
    for (const QChar c : text)
        cyrillic = cyrillic || (c.unicode() >= 0x0410 && c.unicode() <= 0x044F);
    EXPECT_TRUE(cyrillic);
}

TEST_F(ToolFiles, KrenderTurnsANegativeRotationTheSameWayAsItsPositiveTwin)
{
    const ToolRun negative = Tool("krender", "@map.tzx --rotation -450 --size 120x90 -o @negative.png");
    ASSERT_EQ(negative.status, 0) << negative.err;
    const ToolRun positive = Tool("krender", "@map.tzx --rotation 3150 --size 120x90 -o @positive.png");
    ASSERT_EQ(positive.status, 0) << positive.err;
    const ToolRun plain = Tool("krender", "@map.tzx --rotation 0 --size 120x90 -o @plain.png");
    ASSERT_EQ(plain.status, 0) << plain.err;
    const QImage turned(Path("negative.png"));
    ASSERT_FALSE(turned.isNull());
    EXPECT_EQ(turned, QImage(Path("positive.png")));
    EXPECT_NE(turned, QImage(Path("plain.png")));
}

} // namespace

TEST_F(ToolFiles, AGrownCityIsTheSameEveryTimeAndCompilesWithAboutTheCrossingsAsked)
{
    // Without a size: the shipped city, byte for byte.
    ASSERT_EQ(Tool("travenor_voradu", "@city.osm").status, 0);
    EXPECT_EQ(ReadAll(Path("city.osm")), ReadAll(QStringLiteral(TRAVENOR_VORADU_OSM)));

    ASSERT_EQ(Tool("travenor_voradu", "--nodes 3000 @grown.osm").status, 0);
    ASSERT_EQ(Tool("travenor_voradu", "--nodes 3000 @again.osm").status, 0);
    const std::string grown = ReadAll(Path("grown.osm"));
    EXPECT_EQ(grown, ReadAll(Path("again.osm")));
    EXPECT_GT(grown.size(), ReadAll(Path("city.osm")).size());

    const ToolRun compiled = Tool("travenor_mapc", "@grown.osm @grown.tzx");
    ASSERT_EQ(compiled.status, 0) << compiled.err;
    // 55 x 55 crossings and the few nodes of the slip roads and drives.
    const size_t at = compiled.out.find(" road nodes");
    ASSERT_NE(at, std::string::npos) << compiled.out;
    const long nodes = std::stol(compiled.out.substr(compiled.out.rfind(' ', at - 1) + 1));
    EXPECT_GE(nodes, 3000);
    EXPECT_LT(nodes, 3100);

    for (const char* bad : { "--nodes 0 @x.osm", "--nodes 12x @x.osm", "--nodes", "--size 5 @x.osm" }) {
        const ToolRun run = Tool("travenor_voradu", bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.err, "") << bad;
    }
}

TEST_F(ToolFiles, KrenderRepeatsTheFrameAndPrintsTheMedian)
{
    const ToolRun once = Tool("krender", "@map.tzx -o @once.png");
    ASSERT_EQ(once.status, 0) << once.err;
    EXPECT_EQ(once.out, "");
    const ToolRun run = Tool("krender", "@map.tzx --repeat 3 -o @repeated.png");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("median: ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find(" ms over 3 frames\n"), std::string::npos) << run.out;
    EXPECT_EQ(QImage(Path("repeated.png")), QImage(Path("once.png")));
}
