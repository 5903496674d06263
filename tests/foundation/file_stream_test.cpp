#include "foundation/file_stream.h"
#include "foundation/shared_file_handle.h"
#include "platform/unique_fd.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> Pattern(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return bytes;
}

bool IsOpenDescriptor(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // A file holding `bytes`, opened for reading and writing at position 0.
    int OpenWith(const std::vector<uint8_t>& bytes)
    {
        const QByteArray path = m_dir.filePath(QString::number(m_fds.size())).toLocal8Bit();
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::lseek(fd, 0, SEEK_SET);
        m_fds.emplace_back(fd);
        return fd;
    }

    static std::vector<uint8_t> Contents(int fd)
    {
        const off_t end = ::lseek(fd, 0, SEEK_END);
        std::vector<uint8_t> bytes(static_cast<size_t>(end));
        EXPECT_EQ(::pread(fd, bytes.data(), bytes.size(), 0), end);
        return bytes;
    }

    static off_t Position(int fd) { return ::lseek(fd, 0, SEEK_CUR); }

    QTemporaryDir m_dir;
    std::vector<platform::UniqueFd> m_fds;
};

// Counts the platform reads and remembers the size each asked for.
class CountingReader : public CBufferedFileReader {
public:
    using CBufferedFileReader::CBufferedFileReader;
    size_t ReadRaw(void* dest, size_t count) override
    {
        asked.push_back(count);
        return CBufferedFileReader::ReadRaw(dest, count);
    }
    std::vector<size_t> asked;
};

// A file system that takes only part of every write, or nothing at all.
class ShortWriter : public CBufferedFileWriter {
public:
    using CBufferedFileWriter::CBufferedFileWriter;
    size_t WriteRaw(const void* data, size_t count) override
    {
        if (healthy)
            return CBufferedFileWriter::WriteRaw(data, count);
        return CBufferedFileWriter::WriteRaw(data, count / 2);
    }
    bool healthy = false;
};

} // namespace

TEST_F(FileStreamTest, SmallReadsCrossBufferFills)
{
    const auto bytes = Pattern(2000);
    CountingReader reader(OpenWith(bytes), 512);
    std::vector<uint8_t> got;
    uint8_t chunk[6];
    for (int i = 0; i < 85; ++i) {
        ASSERT_TRUE(reader.Read(chunk, sizeof chunk));
        got.insert(got.end(), chunk, chunk + 6);
    }
    EXPECT_EQ(reader.asked, std::vector<size_t>({ 512 }));
    ASSERT_TRUE(reader.Read(chunk, sizeof chunk)) << "2 bytes from the buffer, 4 from a new fill";
    got.insert(got.end(), chunk, chunk + 6);
    EXPECT_EQ(reader.asked, std::vector<size_t>({ 512, 512 }));
    EXPECT_EQ(got, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 516));
}

TEST_F(FileStreamTest, LargeReadBypassesTheBufferOnceItIsUsedUp)
{
    const auto bytes = Pattern(3000);
    CountingReader reader(OpenWith(bytes), 512);
    std::vector<uint8_t> got(6 + 1018 + 600);
    ASSERT_TRUE(reader.Read(got.data(), 6));
    ASSERT_TRUE(reader.Read(got.data() + 6, 1018)) << "506 buffered, then 512 straight from the file";
    ASSERT_TRUE(reader.Read(got.data() + 1024, 600));
    EXPECT_EQ(reader.asked, std::vector<size_t>({ 512, 512, 600 }));
    EXPECT_EQ(got, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 1624));
}

TEST_F(FileStreamTest, ReadingPastTheEndFails)
{
    const auto bytes = Pattern(20);
    const int fd = OpenWith(bytes);
    CBufferedFileReader reader(fd, 512);
    uint8_t data[64];
    ASSERT_TRUE(reader.Read(data, 16));
    EXPECT_FALSE(reader.Read(data, 6)) << "only 4 bytes are left";
    EXPECT_FALSE(reader.Read(data, 100));
    EXPECT_FALSE(reader.Read(data, 600));
    EXPECT_TRUE(reader.IsOpen()) << "a failed transfer leaves the stream attached";
}

TEST_F(FileStreamTest, DetachedReaderHandsBackThePositionItConsumedTo)
{
    const auto bytes = Pattern(1000);
    const int fd = OpenWith(bytes);
    {
        CBufferedFileReader reader(fd, 512);
        uint8_t data[6];
        ASSERT_TRUE(reader.Read(data, 6));
        EXPECT_EQ(Position(fd), 512);
        EXPECT_TRUE(reader.Detach());
        EXPECT_EQ(Position(fd), 6) << "the 506 bytes read ahead are given back";
        EXPECT_FALSE(reader.IsOpen());
        EXPECT_FALSE(reader.Read(data, 6));
    }
    {
        // The destructor does the same for the next user of the handle.
        CBufferedFileReader reader(fd, 512);
        uint8_t data[10];
        ASSERT_TRUE(reader.Read(data, 10));
    }
    EXPECT_EQ(Position(fd), 16);
    EXPECT_TRUE(IsOpenDescriptor(fd)) << "streams never close the handle";
}

TEST_F(FileStreamTest, WrittenChunksReadBackWhole)
{
    for (size_t chunk : { 1u, 6u, 100u, 511u, 512u, 513u, 1500u }) {
        SCOPED_TRACE(chunk);
        const auto bytes = Pattern(5000);
        const int fd = OpenWith({});
        CBufferedFileWriter writer(fd, 512);
        for (size_t done = 0; done < bytes.size(); done += chunk)
            ASSERT_TRUE(writer.Write(bytes.data() + done, std::min(chunk, bytes.size() - done)));
        ASSERT_TRUE(writer.Detach());
        EXPECT_EQ(Contents(fd), bytes);

        ::lseek(fd, 0, SEEK_SET);
        CBufferedFileReader reader(fd, 512);
        std::vector<uint8_t> got(bytes.size());
        for (size_t done = 0; done < got.size(); done += chunk)
            ASSERT_TRUE(reader.Read(got.data() + done, std::min(chunk, got.size() - done)));
        EXPECT_EQ(got, bytes);
    }
}

TEST_F(FileStreamTest, DestroyedWriterWritesPendingBytesAndKeepsTheHandle)
{
    const int fd = OpenWith({});
    const auto bytes = Pattern(100);
    {
        CBufferedFileWriter writer(fd, 512);
        ASSERT_TRUE(writer.Write(bytes.data(), bytes.size()));
        EXPECT_TRUE(Contents(fd).empty()) << "still buffered";
    }
    EXPECT_EQ(Contents(fd), bytes);
    EXPECT_TRUE(IsOpenDescriptor(fd));
}

TEST_F(FileStreamTest, ShortWriteIsAFailureAndLosesNothing)
{
    const auto bytes = Pattern(100);
    {
        const int fd = OpenWith({});
        ShortWriter writer(fd, 512);
        ASSERT_TRUE(writer.Write(bytes.data(), bytes.size()));
        EXPECT_FALSE(writer.Flush()) << "50 of 100 bytes written is a failure";
        writer.healthy = true;
        EXPECT_TRUE(writer.Flush()) << "the other 50 were kept pending";
        EXPECT_EQ(Contents(fd), bytes);
    }
    {
        const int fd = OpenWith({});
        ShortWriter writer(fd, 512);
        ASSERT_TRUE(writer.Write(bytes.data(), bytes.size()));
        EXPECT_FALSE(writer.Detach());
    }
    {
        const int fd = OpenWith({});
        ShortWriter writer(fd, 64);
        ASSERT_TRUE(writer.Write(bytes.data(), 64));
        EXPECT_FALSE(writer.Write(bytes.data() + 64, 10)) << "the flush that makes room fails";
    }
    {
        const int fd = OpenWith({});
        ShortWriter writer(fd, 64);
        EXPECT_FALSE(writer.Write(bytes.data(), 100)) << "a write straight to the file that falls short";
    }
    CBufferedFileWriter closed(-1, 64);
    EXPECT_FALSE(closed.Write(bytes.data(), 10));
    EXPECT_FALSE(closed.Detach());
}

TEST_F(FileStreamTest, SeekOrigins)
{
    const int fd = OpenWith(Pattern(100));
    CBufferedFileReader reader(fd, 16);
    EXPECT_TRUE(reader.Seek(10, FILE_BEGIN));
    EXPECT_EQ(Position(fd), 10);
    EXPECT_TRUE(reader.Seek(5, FILE_CURRENT));
    EXPECT_EQ(Position(fd), 15);
    EXPECT_TRUE(reader.Seek(-1, 7)) << "any other origin is the end";
    EXPECT_EQ(Position(fd), 99);
    EXPECT_FALSE(reader.Seek(-1000, FILE_BEGIN));
    EXPECT_FALSE(CFileStream().Seek(0, FILE_BEGIN));
}

TEST_F(FileStreamTest, SharedHandleClosesWithItsLastUser)
{
    const int first = OpenWith({});
    const int second = ::dup(first);
    const int third = ::dup(first);
    for (platform::UniqueFd& fd : m_fds)
        fd.Release(); // the holders own them now
    m_fds.clear();

    CSharedFileHandle a(first);
    CSharedFileHandle b = a;
    EXPECT_EQ(a.RefCount(), 2);
    ASSERT_TRUE(b.Reset(second));
    EXPECT_EQ(a.Get(), first) << "the other user's holder is left alone";
    EXPECT_EQ(a.RefCount(), 1);
    EXPECT_TRUE(IsOpenDescriptor(first));
    EXPECT_EQ(b.Get(), second);

    ASSERT_TRUE(b.Reset(third));
    EXPECT_FALSE(IsOpenDescriptor(second)) << "an unshared holder closes its old handle";
    EXPECT_EQ(b.Get(), third);

    b.Release();
    EXPECT_FALSE(IsOpenDescriptor(third));
    EXPECT_EQ(b.Get(), INVALID_HANDLE_VALUE);
    {
        CSharedFileHandle c = a;
    }
    EXPECT_TRUE(IsOpenDescriptor(first));
    a.Release();
    EXPECT_FALSE(IsOpenDescriptor(first));
}
