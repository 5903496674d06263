#include "foundation/path_helpers.h"
#include "platform/options.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PathHelpers, SplittingPaths)
{
    struct Case {
        const char* path;
        const char* folder;
        const char* withoutExtension;
        const char* extension;
        const char* title;
    } cases[] = {
        { "\\My Documents\\route.rt", "\\My Documents\\", "\\My Documents\\route", "rt", "route" },
        { "\\Storage Card\\maps.v2\\readme", "\\Storage Card\\maps.v2\\", "\\Storage Card\\maps.v2\\readme",
            "-1", "readme" },
        { "a/b/name.", "a/b/", "a/b/name", "", "name" },
        { "mixed\\dir/file.tar.gz", "mixed\\dir/", "mixed\\dir/file.tar", "gz", "file.tar" },
        { "name.txt", "", "name", "txt", "name" },
        { "name", "", "name", "-1", "name" },
        { "dir/", "dir/", "dir/", "-1", "" },
        { "", "", "", "-1", "" },
    };
    for (const Case& c : cases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(GetFolderPart(path), QString::fromUtf8(c.folder)) << c.path;
        EXPECT_EQ(RemoveExtension(path), QString::fromUtf8(c.withoutExtension)) << c.path;
        EXPECT_EQ(GetFileExtension(path), QString::fromUtf8(c.extension)) << c.path;
        EXPECT_EQ(GetFileTitle(path), QString::fromUtf8(c.title)) << c.path;
    }
}

TEST(PathHelpers, ProgramFolder)
{
    const QString& folder = GetProgramFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(folder.endsWith('/') || folder.endsWith('\\'));
    EXPECT_EQ(&GetProgramFolder(), &folder) << "cached";

    char16_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(CopyProgramFolder(buffer, 0), 0) << "no room even for the terminator";
    EXPECT_EQ(buffer[0], u'#');
    EXPECT_EQ(CopyProgramFolder(buffer, 1), 1);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(CopyProgramFolder(buffer, 4), 1);
    EXPECT_EQ(QString::fromUtf16(buffer), folder.left(3));
    EXPECT_EQ(buffer[4], u'#') << "nothing written past the size";

    std::vector<char16_t> whole(folder.size() + 1, u'#');
    EXPECT_EQ(CopyProgramFolder(whole.data(), whole.size()), 1);
    EXPECT_EQ(QString::fromUtf16(whole.data()), folder);
}

class PathFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("Maps"));
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("maps.v2/sub"));
        for (const char* name : { "settings.kns", "noext", "0.wav", "01.wav", "note", "note1" })
            Touch(name);
    }
    void Touch(const QString& name)
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

TEST_F(PathFilesTest, FileOrFolderExists)
{
    struct Case {
        const char* name;
        std::optional<QString> extension;
        bool exists;
    } cases[] = {
        { "Maps", std::nullopt, true },
        { "maps.v2/sub", std::nullopt, true }, // a dot in a parent folder's name is no extension
        { "maps.v2", std::nullopt, false }, // a name with a dot is never taken for a folder
        { "settings.kns", std::nullopt, false },
        { "settings.kns", QString("kns"), true },
        { "settings.kns", QString("KNS"), true },
        { "settings.kns", QString("kwp"), false },
        { "settings.kns", QString("*"), true },
        { "Maps", QString("*"), false }, // a folder is no file
        { "noext", QString("kns"), true },
        { "missing.kns", QString("kns"), false },
        { "*.kns", QString("kns"), false }, // no wildcards
        { "missing", std::nullopt, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileOrFolderExists(Path(c.name), c.extension), c.exists) << c.name;
}

TEST_F(PathFilesTest, MakeNumberedFileName)
{
    QString path = Path("free.wav");
    EXPECT_EQ(MakeNumberedFileName(path), 0u);
    EXPECT_EQ(path, Path("free.wav"));

    path = Path("settings.kns");
    EXPECT_EQ(MakeNumberedFileName(path), 1u);
    EXPECT_EQ(path, Path("settings1.kns"));

    path = Path("0.wav");
    EXPECT_EQ(MakeNumberedFileName(path), 2u) << "0.wav and 01.wav are taken";
    EXPECT_EQ(path, Path("02.wav"));

    path = Path("note");
    EXPECT_EQ(MakeNumberedFileName(path), 2u);
    EXPECT_EQ(path, Path("note2")) << "a name without an extension stays without one";

    path = Path("settings.kns");
    EXPECT_EQ(MakeNumberedFileName(path, 5), 6u);
    EXPECT_EQ(path, Path("settings6.kns"));
}

TEST_F(PathFilesTest, DevicePathsAreLookedUpInTheirLocalFolders)
{
    const platform::Options saved = platform::options();
    platform::Options options = saved;
    options.documentsDir = m_dir.path();
    platform::setOptions(options);

    EXPECT_TRUE(FileOrFolderExists("\\My Documents\\Settings.KNS", QString("kns")));
    EXPECT_TRUE(FileOrFolderExists("\\My Documents\\maps", std::nullopt));
    QString path = "\\My Documents\\0.wav";
    EXPECT_EQ(MakeNumberedFileName(path), 2u);
    EXPECT_EQ(path, "\\My Documents\\02.wav") << "the name keeps the device's spelling";

    platform::setOptions(saved);
}
