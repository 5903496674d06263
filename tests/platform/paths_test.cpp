#include "platform/options.h"
#include "platform/paths.h"

#include "tests/support/file_bytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// A program folder and a documents folder with a few files spelt in their
// own case, as a user might have copied them.
struct PathFolders : ::testing::Test {
    QTemporaryDir tmp;
    QString data = tmp.filePath("data");
    QString docs = tmp.filePath("docs");
    Options saved = options();

    void SetUp() override
    {
        for (const char* f : { "docs/routes/a.rt", "docs/Same.txt", "docs/same.TXT",
                 "data/windows/Tahoma.TTF", "data/Maps/moscow.tzx" })
            ASSERT_TRUE(testing_support::WriteFileBytes(tmp.filePath(QLatin1String(f)), "x"));
        Options o = saved;
        o.dataDir = data;
        o.documentsDir = docs + QLatin1Char('/');
        setOptions(o);
    }
    void TearDown() override { setOptions(saved); }
};

} // namespace

TEST_F(PathFolders, DevicePathsFindTheFilesWhateverTheirCase)
{
    const struct {
        const char* device;
        QString local;
    } cases[] = {
        { "\\My Documents\\ROUTES\\A.RT", docs + "/routes/a.rt" },
        { "\\my documents\\Routes\\New route.rt", docs + "/routes/New route.rt" },
        { "\\My Documents\\Missing\\ROUTES\\a.rt", docs + "/Missing/ROUTES/a.rt" },
        { "\\My Documents\\same.TXT", docs + "/same.TXT" },
        { "\\My Documents\\SAME.txt", docs + "/Same.txt" },
        { "\\My Documents\\", docs + "/" },
        { "\\My Documents", docs },
        { "\\Program Files\\Travenor Pro\\MAPS\\Moscow.TZX", data + "/Maps/moscow.tzx" },
        { "\\PROGRAM FILES\\travenor pro", data },
        { "\\Windows\\tahoma.ttf", data + "/windows/Tahoma.TTF" },
        { "\\My Documents\\..\\Windows\\.\\TAHOMA.TTF", data + "/windows/Tahoma.TTF" },
        { "/Program Files/Travenor Pro Voradu/Data/data.pid",
            data + "/Device/Program Files/Travenor Pro Voradu/Data/data.pid" },
        { "\\Storage Card\\x.nm", data + "/Device/Storage Card/x.nm" },
        { "/tmp/Travenor Pro settings.kns", "/tmp/Travenor Pro settings.kns" },
        { "routes\\a.rt", "routes/a.rt" },
        { "", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(DevicePathToLocal(QString::fromUtf8(c.device)), c.local) << c.device;
}

TEST_F(PathFolders, LocalPathsShowAsTheDeviceWould)
{
    const struct {
        QString local;
        const char* device;
    } cases[] = {
        { docs + "/routes/a.rt", "\\My Documents\\routes\\a.rt" },
        { docs, "\\My Documents" },
        { docs + "/routes/", "\\My Documents\\routes\\" },
        { data + "/Maps/moscow.tzx", "\\Program Files\\Travenor Pro\\Maps\\moscow.tzx" },
        { data + "/windows/Tahoma.TTF", "\\Windows\\Tahoma.TTF" },
        { data + "/Device/Storage Card/x.nm", "\\Storage Card\\x.nm" },
        { "/etc/hosts", "/etc/hosts" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LocalToDevicePath(c.local), QString::fromUtf8(c.device)) << c.local.toStdString();
        EXPECT_EQ(DevicePathToLocal(LocalToDevicePath(c.local)), c.local)
            << "round trip " << c.local.toStdString();
    }
}

TEST_F(PathFolders, DocumentsFolderDefaults)
{
    EXPECT_EQ(DocumentsFolder(), docs);
    EXPECT_EQ(ProgramFolder(), data);
    Options o = options();
    o.documentsDir.clear();
    setOptions(o);
    const QByteArray savedXdg = qgetenv("XDG_DOCUMENTS_DIR");
    const bool hadXdg = qEnvironmentVariableIsSet("XDG_DOCUMENTS_DIR");
    qputenv("XDG_DOCUMENTS_DIR", QFile::encodeName(tmp.filePath("xdg docs")));
    EXPECT_EQ(DocumentsFolder(), tmp.filePath("xdg docs"));
    qunsetenv("XDG_DOCUMENTS_DIR");
    EXPECT_EQ(DocumentsFolder(), QDir::homePath() + "/Documents");
    if (hadXdg)
        qputenv("XDG_DOCUMENTS_DIR", savedXdg);
}
