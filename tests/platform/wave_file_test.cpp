// WAVE files: a header as a streaming writer leaves it, a clean one written
// back, and what is refused.
#include "platform/wave_file.h"

#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

using namespace platform;
using testing_support::BytesOf;

TEST(WaveFile, ReadsAStreamedHeaderAndWritesACleanOne)
{
    PcmSound sound;
    sound.sampleRate = 22050;
    sound.samples = { 0, 1000, -1000, 32767, -32768 };
    QByteArray streamed = EncodeWave(sound);
    // A writer that could not seek back leaves huge chunk sizes.
    streamed.replace(4, 4, BytesOf({ 0xFF, 0xFF, 0xFF, 0x7F }));
    streamed.replace(40, 4, BytesOf({ 0xFF, 0xFF, 0xFF, 0x7F }));
    const auto read = ParseWave(streamed);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->sampleRate, 22050);
    EXPECT_EQ(read->samples, sound.samples);
    const QByteArray clean = EncodeWave(*read);
    EXPECT_EQ(clean.size(), 44 + 10);
    EXPECT_EQ(clean.mid(40, 4), BytesOf({ 10, 0, 0, 0 }));
    EXPECT_EQ(clean.mid(4, 4), BytesOf({ 46, 0, 0, 0 }));
}

TEST(WaveFile, RefusesOtherFormatsAndDamage)
{
    PcmSound sound;
    sound.sampleRate = 8000;
    sound.samples = { 1, 2, 3 };
    const QByteArray good = EncodeWave(sound);
    QByteArray stereo = good;
    stereo[22] = 2;
    QByteArray eightBit = good;
    eightBit[34] = 8;
    QByteArray shortFormat = good;
    shortFormat.replace(16, 4, BytesOf({ 0x00, 0x10, 0, 0 })); // fmt chunk longer than the file
    for (const QByteArray& bad : { stereo, eightBit, shortFormat, good.left(30), QByteArray("RIFX") })
        EXPECT_FALSE(ParseWave(bad).has_value());
    EXPECT_TRUE(ParseWave(good).has_value());
}
