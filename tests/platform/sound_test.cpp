#include "platform/sound.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// A 16-bit mono PCM WAVE of `ms` milliseconds of a square wave, written field by field.
QByteArray makeWave(int ms, int rate = 22050)
{
    const int samples = rate * ms / 1000;
    QByteArray data;
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data.append(char(v >> (8 * i)));
    };
    auto u16 = [&](uint16_t v) {
        data.append(char(v));
        data.append(char(v >> 8));
    };
    data.append("RIFF");
    u32(36 + samples * 2);
    data.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    data.append("data");
    u32(samples * 2);
    for (int i = 0; i < samples; ++i)
        u16((i / 20) % 2 ? 0x2000 : 0xE000);
    return data;
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        write(dir.filePath("520.wav"), makeWave(30));
        write(dir.filePath("507.wav"), makeWave(20));
        write(dir.filePath("broken.wav"), QByteArray("RIFF\x10\0\0\0WAVEjunk", 16));
        SetSoundResourceFolder(dir.path());
        ClearSoundPlayLog();
    }
    void TearDown() override { StopSound(); }
    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SoundTest, PlaysResourcesAndFilesInOrder)
{
    EXPECT_TRUE(PlaySoundResource(507, SND_RESOURCE)); // synchronous: returns when done
    EXPECT_FALSE(IsSoundPlaying());
    EXPECT_TRUE(PlaySoundResource(520, SND_RESOURCE | SND_ASYNC));
    EXPECT_TRUE(PlaySoundFile(dir.filePath("507.wav"), SND_ASYNC)); // stops 520
    const auto log = SoundPlayLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].source, "res:507");
    EXPECT_EQ(log[0].flags, uint32_t(SND_RESOURCE));
    EXPECT_EQ(log[1].source, "res:520");
    EXPECT_EQ(log[1].flags, 0x40005u);
    EXPECT_EQ(log[2].source, dir.filePath("507.wav"));
    EXPECT_TRUE(log[2].played);
}

TEST_F(SoundTest, MissingOrDamagedWaveIsRefused)
{
    EXPECT_FALSE(PlaySoundResource(999, SND_RESOURCE | SND_ASYNC));
    EXPECT_FALSE(PlaySoundFile(dir.filePath("broken.wav"), SND_ASYNC));
    EXPECT_FALSE(PlaySoundFile(dir.filePath("none.wav"), SND_ASYNC));
    for (const PlayedSound& s : SoundPlayLog())
        EXPECT_FALSE(s.played) << s.source.toStdString();
}

TEST_F(SoundTest, NoStopLeavesThePlayingSoundAlone)
{
    write(dir.filePath("long.wav"), makeWave(2000));
    ASSERT_TRUE(PlaySoundFile(dir.filePath("long.wav"), SND_ASYNC));
    EXPECT_TRUE(IsSoundPlaying());
    EXPECT_FALSE(PlaySoundResource(520, SND_RESOURCE | SND_ASYNC | SND_NOSTOP));
    StopSound();
    EXPECT_FALSE(IsSoundPlaying());
}

TEST_F(SoundTest, WaveVolumeKeepsBothChannels)
{
    const uint32_t before = GetDeviceWaveVolume();
    SetDeviceWaveVolume(0x80004000);
    EXPECT_EQ(GetDeviceWaveVolume(), 0x80004000u);
    EXPECT_TRUE(PlaySoundResource(507, SND_RESOURCE));
    SetDeviceWaveVolume(before);
}
