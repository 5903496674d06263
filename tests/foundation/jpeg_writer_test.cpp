#include "foundation/jpeg_writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <jpeglib.h>
#include <thread>
#include <vector>

namespace {

struct Picture {
    int width = 0, height = 0, components = 0;
    std::vector<uint8_t> rgb;
};

struct DecodeErrors {
    jpeg_error_mgr pub;
    std::jmp_buf back;
};

[[noreturn]] void DecodeFailed(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<DecodeErrors*>(cinfo->err)->back, 1);
}

// Decodes a JPEG file with libjpeg's own decompressor; empty on failure.
bool Decode(const std::vector<uint8_t>& bytes, Picture& out)
{
    static jpeg_decompress_struct cinfo;
    static DecodeErrors errors;
    cinfo = jpeg_decompress_struct {};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = DecodeFailed;
    if (setjmp(errors.back)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out.width = int(cinfo.output_width);
    out.height = int(cinfo.output_height);
    out.components = cinfo.output_components;
    out.rgb.resize(size_t(out.width) * out.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.rgb.data() + size_t(cinfo.output_scanline) * out.width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

std::vector<uint8_t> ReadAll(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// Smooth gradients with a few flat blocks, as a map screen has.
std::vector<uint8_t> TestFrame(int w, int h)
{
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            const bool block = (x / 40 + y / 40) % 3 == 0;
            p[0] = block ? 230 : uint8_t(x * 255 / w);
            p[1] = block ? 200 : uint8_t(y * 255 / h);
            p[2] = block ? 40 : uint8_t(128 + (x - y) / 8);
        }
    return rgb;
}

} // namespace

TEST(JpegWriter, DecodesBackToThePictureWithinJpegError)
{
    QTemporaryDir dir;
    const int w = 240, h = 320;
    const std::vector<uint8_t> frame = TestFrame(w, h);
    const QString path = dir.filePath("shot.jpg");
    ASSERT_TRUE(SaveJpegFile(path, w, h, 90, frame.data())) << GetJpegErrorText().toStdString();
    EXPECT_TRUE(GetJpegErrorText().isEmpty());

    Picture decoded;
    ASSERT_TRUE(Decode(ReadAll(path), decoded));
    ASSERT_EQ(decoded.width, w);
    ASSERT_EQ(decoded.height, h);
    EXPECT_EQ(decoded.components, 3);
    long total = 0;
    size_t far = 0;
    for (size_t i = 0; i < frame.size(); ++i) {
        const int d = std::abs(int(frame[i]) - int(decoded.rgb[i]));
        total += d;
        far += d > 16;
    }
    EXPECT_LT(double(total) / double(frame.size()), 2.0);
    // Larger errors only along the blocks' sharp colour edges.
    EXPECT_LT(double(far) / double(frame.size()), 0.05);
    // The upper-left block and a gradient point well inside, checked directly.
    EXPECT_NEAR(decoded.rgb[(20 * w + 20) * 3 + 0], 230, 4);
    EXPECT_NEAR(decoded.rgb[(20 * w + 20) * 3 + 2], 40, 4);
    EXPECT_NEAR(decoded.rgb[(60 * w + 60) * 3 + 0], 60 * 255 / w, 4);
}

TEST(JpegWriter, MissingFolderNamesThePath)
{
    QTemporaryDir dir;
    const std::vector<uint8_t> frame = TestFrame(8, 8);
    const QString path = dir.filePath("no/such/folder/shot.jpg");
    EXPECT_FALSE(SaveJpegFile(path, 8, 8, 80, frame.data()));
    EXPECT_EQ(GetJpegErrorText(), "Can't open file\"" + path + "\"");
}

TEST(JpegWriter, LibraryFailureLeavesNoPartialFileAndKeepsTheOldOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("shot.jpg");
    std::ofstream(path.toStdString()) << "previous shot";
    const std::vector<uint8_t> frame = TestFrame(8, 8);
    // Wider than the format allows: the library refuses once it starts.
    EXPECT_FALSE(SaveJpegFile(path, 70000, 1, 80, frame.data()));
    EXPECT_TRUE(GetJpegErrorText().contains("65500")) << GetJpegErrorText().toStdString();
    const std::vector<uint8_t> kept = ReadAll(path);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "previous shot");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    EXPECT_FALSE(SaveJpegFile(path, 8, 8, 80, nullptr));
    EXPECT_FALSE(GetJpegErrorText().isEmpty());
    // A later save works and clears the text.
    EXPECT_TRUE(SaveJpegFile(path, 8, 8, 80, frame.data()));
    EXPECT_TRUE(GetJpegErrorText().isEmpty());
}

TEST(JpegWriter, ThreadsWriteTheirOwnPicturesAtOnce)
{
    // Screen shots may be taken on the draw thread while another thread saves
    // one too: every call keeps its compression to itself.
    QTemporaryDir dir;
    std::vector<std::thread> writers;
    std::atomic<int> failures { 0 };
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&, t] {
            const int w = 40 + 8 * t, h = 30 + 4 * t;
            const std::vector<uint8_t> frame = TestFrame(w, h);
            for (int i = 0; i < 5; ++i) {
                if (!SaveJpegFile(
                        dir.filePath(QStringLiteral("%1-%2.jpg").arg(t).arg(i)), w, h, 80, frame.data()))
                    ++failures;
            }
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    EXPECT_EQ(failures.load(), 0);
    for (int t = 0; t < 4; ++t) {
        for (int i = 0; i < 5; ++i) {
            Picture decoded;
            ASSERT_TRUE(Decode(ReadAll(dir.filePath(QStringLiteral("%1-%2.jpg").arg(t).arg(i))), decoded));
            EXPECT_EQ(decoded.width, 40 + 8 * t);
            EXPECT_EQ(decoded.height, 30 + 4 * t);
        }
    }
}
