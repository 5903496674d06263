#include "platform/file_writer.h"

#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <functional>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

using testing_support::ReadFileBytes;
using testing_support::RunInChild;

namespace {

QStringList FilesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

struct WriterFolder : ::testing::Test {
    QTemporaryDir dir;
    QString target = dir.filePath("settings.kns");
    std::string path = target.toStdString();
    QByteArray old = "the old contents";
};

} // namespace

TEST_F(WriterFolder, ReplacesInChunksAndKeepsTheFileMode)
{
    ASSERT_TRUE(testing_support::WriteFileBytes(target, old));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    {
        AtomicFileWriter writer(path);
        EXPECT_TRUE(writer.Write("new ", 4));
        EXPECT_TRUE(writer.Write("contents", 8));
        EXPECT_EQ(ReadFileBytes(target), old) << "nothing replaced before the commit";
        EXPECT_TRUE(writer.Commit()) << writer.Error();
        EXPECT_TRUE(writer.Error().empty());
        EXPECT_FALSE(writer.Write("x", 1)) << "a committed writer takes no more";
    }
    EXPECT_EQ(ReadFileBytes(target), "new contents");
    struct stat st { };
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(FilesIn(dir.path()), QStringList { "settings.kns" });

    std::string error;
    EXPECT_TRUE(WriteFileAtomically(path, "", 0, &error)) << error;
    EXPECT_EQ(ReadFileBytes(target), "") << "an empty file is a file too";
}

TEST_F(WriterFolder, DestroyedWithoutCommitDiscards)
{
    ASSERT_TRUE(testing_support::WriteFileBytes(target, old));
    {
        AtomicFileWriter writer(path);
        EXPECT_TRUE(writer.Write("half", 4));
    }
    EXPECT_EQ(ReadFileBytes(target), old);
    EXPECT_EQ(FilesIn(dir.path()), QStringList { "settings.kns" });
}

// A file size limit makes write() fail with EFBIG part-way (after a short
// write), as a full disk would.
TEST_F(WriterFolder, FailedWriteLeavesTheOldFileWhole)
{
    ASSERT_TRUE(testing_support::WriteFileBytes(target, old));
    const int code = RunInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { 4096, 4096 };
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 10;
        const std::string big(10000, 'x');
        std::string error;
        if (WriteFileAtomically(path, big.data(), big.size(), &error))
            return 1;
        if (error.find(std::strerror(EFBIG)) == std::string::npos || error.find(path) == std::string::npos)
            return 2;
        AtomicFileWriter writer(path);
        for (int i = 0; i < 10; ++i)
            writer.Write(big.data(), 1000);
        return writer.Commit() ? 3 : 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadFileBytes(target), old);
    EXPECT_EQ(FilesIn(dir.path()), QStringList { "settings.kns" }) << "no temporary file remains";
}

TEST_F(WriterFolder, UnwritableOrMissingFolderFailsCleanly)
{
    ASSERT_TRUE(testing_support::WriteFileBytes(target, old));
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    // Root writes anywhere: the child gives up root first.
    const int code = RunInChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 10;
        std::string error;
        if (WriteFileAtomically(path, "new", 3, &error))
            return 1;
        return error.find(path) == std::string::npos ? 2 : 0;
    });
    chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadFileBytes(target), old);
    EXPECT_EQ(FilesIn(dir.path()), QStringList { "settings.kns" });

    std::string error;
    AtomicFileWriter writer(dir.filePath("no such folder/a.kns").toStdString());
    EXPECT_FALSE(writer.Write("x", 1));
    EXPECT_FALSE(writer.Commit());
    EXPECT_NE(writer.Error().find(std::strerror(ENOENT)), std::string::npos) << writer.Error();
}

TEST_F(WriterFolder, NewFileNeverReplacesOne)
{
    ASSERT_TRUE(testing_support::WriteFileBytes(target, old));
    std::string error;
    EXPECT_FALSE(WriteNewFile(path, "new", 3, &error));
    EXPECT_EQ(ReadFileBytes(target), old);
    const QString other = dir.filePath("other");
    EXPECT_TRUE(WriteNewFile(other.toStdString(), "new", 3, &error)) << error;
    EXPECT_EQ(ReadFileBytes(other), "new");
}
