#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <vector>

#include "kernel/doc/mapped_stream.h"

namespace {

namespace fs = std::filesystem;

class StreamFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path()
            / ("kern_stream_" + std::to_string(::getpid()) + "_"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string File(const std::string& name, size_t bytes)
    {
        const std::string path = (m_dir / name).string();
        std::ofstream out(path, std::ios::binary);
        for (size_t i = 0; i < bytes; ++i)
            out.put(static_cast<char>(i));
        return path;
    }

    fs::path m_dir;
};

struct SeekCase {
    int32_t offset;
    int origin;
    uint32_t result;
    uint32_t position;
};

// Memory-backed streams of 100 bytes. Seeking exactly to the end is allowed (as on
// a disk file) so that a section ending at the end of the file can be skipped.
const SeekCase kSeeks[] = {
    { 0, 0, 0, 0 },
    { 99, 0, 99, 99 },
    { 100, 0, 100, 100 },
    { 101, 0, ZXS_SEEK_FAILED, 100 },
    { -1, 0, ZXS_SEEK_FAILED, 100 },
    { 0, 2, 100, 100 },
    { -1, 2, 99, 99 },
    { -100, 2, 0, 0 },
    { -101, 2, ZXS_SEEK_FAILED, 100 },
    { 5, 3, ZXS_SEEK_FAILED, 100 },
};

void CheckSeekAndRead(CZXS_DiskStream& s)
{
    for (const SeekCase& c : kSeeks) {
        s.Seek(10, 0);
        EXPECT_EQ(s.Seek(c.offset, c.origin), c.result) << c.offset << "/" << c.origin;
        EXPECT_EQ(s.GetPosition(), c.position) << c.offset << "/" << c.origin;
    }
    s.Seek(10, 0);
    EXPECT_EQ(s.Seek(-4, 1), 6u);
    EXPECT_EQ(s.Seek(200, 1), ZXS_SEEK_FAILED);
    uint8_t buffer[16] = {};
    EXPECT_EQ(s.Read(buffer, 10), 0u); // a failed seek leaves nothing to read

    EXPECT_EQ(s.Seek(95, 0), 95u);
    EXPECT_EQ(s.Read(buffer, 10), 5u);
    EXPECT_EQ(buffer[0], 95);
    EXPECT_EQ(buffer[4], 99);
    EXPECT_EQ(s.GetPosition(), 100u);
    s.Seek(0, 0);
    EXPECT_EQ(s.ReadExact(buffer, 16), 1);
    s.Seek(90, 0);
    EXPECT_EQ(s.ReadExact(buffer, 16), 0);
    // Writing and flushing need a file handle, which these streams do not have.
    EXPECT_EQ(s.Write(buffer, 4), 0u);
    EXPECT_EQ(s.Flush(), 0);
}

} // namespace

TEST_F(StreamFiles, MemoryAndMappedStreamsSeekAndReadAlike)
{
    std::vector<uint8_t> block(100);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i);
    CZXS_MemoryStream memory;
    memory.Assign(block.data(), 100);
    EXPECT_EQ(memory.Name(), "memfile");
    EXPECT_EQ(memory.Open("x", 0, nullptr), 0);
    CheckSeekAndRead(memory);

    CZXS_MappedStream mapped;
    CZXS_StreamError error;
    const std::string path = File("hundred.bin", 100);
    ASSERT_EQ(mapped.Open(path, ZXS_OPEN_MAP, &error), 1);
    EXPECT_EQ(mapped.Name(), path);
    EXPECT_EQ(mapped.SourceKind(), CZXS_DiskStream::kMapped);
    CheckSeekAndRead(mapped);
}

TEST_F(StreamFiles, DiskStreamWritesReadsAndSeeks)
{
    const std::string path = (m_dir / "out.bin").string();
    CZXS_DiskStream out;
    ASSERT_EQ(out.Open(path, ZXS_OPEN_WRITE | ZXS_OPEN_CREATE, nullptr), 1);
    const uint8_t bytes[] = { 1, 2, 3, 4, 5, 6 };
    EXPECT_EQ(out.WriteExact(bytes, 6), 1);
    EXPECT_EQ(out.Flush(), 1);
    out.Close();
    EXPECT_FALSE(out.IsOpen());
    EXPECT_EQ(out.Flush(), 0);

    CZXS_DiskStream in;
    ASSERT_EQ(in.Open(path, ZXS_OPEN_MAP, nullptr), 1);
    EXPECT_EQ(in.Seek(-2, 2), 4u);
    uint8_t buffer[4] = {};
    EXPECT_EQ(in.Read(buffer, 4), 2u);
    EXPECT_EQ(buffer[0], 5);
    EXPECT_EQ(in.ReadExact(buffer, 1), 0);
    EXPECT_EQ(in.Seek(1, 0), 1u);
    EXPECT_EQ(in.GetPosition(), 1u);

    // Create without truncation keeps what is there.
    in.Close();
    CZXS_DiskStream keep;
    ASSERT_EQ(keep.Open(path, ZXS_OPEN_READWRITE | ZXS_OPEN_CREATE | ZXS_OPEN_NO_TRUNCATE, nullptr), 1);
    EXPECT_EQ(keep.Seek(0, 2), 6u);
}

TEST_F(StreamFiles, OpenFailuresReportTheirCause)
{
    const std::string missing = (m_dir / "missing.tzx").string();
    struct Case {
        const char* what;
        std::string path;
        bool mapped;
        int32_t cause;
        int32_t osError;
    };
    const Case cases[] = {
        { "missing disk", missing, false, ZXS_CAUSE_NOT_FOUND, ENOENT },
        { "missing mapped", missing, true, ZXS_CAUSE_NOT_FOUND, ENOENT },
        { "empty mapped", File("empty.tzx", 0), true, ZXS_CAUSE_END_OF_FILE, 0 },
        { "bad path", File("plain", 1) + "/below", false, ZXS_CAUSE_BAD_PATH, ENOTDIR },
    };
    for (const Case& c : cases) {
        CZXS_DiskStream disk;
        CZXS_MappedStream mapped;
        CZXS_DiskStream& s = c.mapped ? mapped : disk;
        CZXS_StreamError error;
        EXPECT_EQ(s.Open(c.path, ZXS_OPEN_MAP, &error), 0) << c.what;
        EXPECT_EQ(error.cause, c.cause) << c.what;
        EXPECT_EQ(error.osError, c.osError) << c.what;
        EXPECT_FALSE(s.IsOpen());
    }
    EXPECT_EQ(ZXS_StreamCause(ENOSPC), ZXS_CAUSE_DISK_FULL);
    EXPECT_EQ(ZXS_StreamCause(EACCES), ZXS_CAUSE_ACCESS_DENIED);
    EXPECT_EQ(ZXS_StreamCause(12345), ZXS_CAUSE_GENERIC);
}

TEST_F(StreamFiles, SharingModesBetweenOpeners)
{
    const std::string path = File("shared.tzx", 10);
    CZXS_StreamError error;

    CZXS_DiskStream first;
    ASSERT_EQ(first.Open(path, ZXS_OPEN_MAP, &error), 1);
    CZXS_DiskStream second;
    EXPECT_EQ(second.Open(path, ZXS_OPEN_MAP, &error), 0);
    EXPECT_EQ(error.cause, ZXS_CAUSE_SHARING);
    CZXS_MappedStream mapped;
    EXPECT_EQ(mapped.Open(path, 0, &error), 0);
    EXPECT_EQ(error.cause, ZXS_CAUSE_SHARING);
    first.Close();

    CZXS_DiskStream readerA, readerB;
    EXPECT_EQ(readerA.Open(path, ZXS_OPEN_SHARE_DENY_WRITE, &error), 1);
    EXPECT_EQ(readerB.Open(path, ZXS_OPEN_SHARE_DENY_WRITE, &error), 1);
    EXPECT_EQ(second.Open(path, ZXS_OPEN_MAP, &error), 0);
    EXPECT_EQ(error.cause, ZXS_CAUSE_SHARING);
}
