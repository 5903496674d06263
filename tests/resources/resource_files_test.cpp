// The pictures, voice prompts and fonts the build put into its data
// directory, read back field by field and checked against the resource table.
#include "platform/little_endian.h"
#include "platform/sound.h"
#include "tools/resgen/resource_table.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <set>

using namespace resgen;

namespace {

const QString kDataDir = QStringLiteral(TRAVENOR_BUILD_DATA_DIR);
const QString kResourcesDir = QStringLiteral(TRAVENOR_RESOURCES_DIR);

const uint8_t* At(const QByteArray& b, int at)
{
    return reinterpret_cast<const uint8_t*>(b.constData()) + at;
}
quint32 U32(const QByteArray& b, int at) { return platform::Le32(At(b, at)); }
quint16 U16(const QByteArray& b, int at) { return platform::Le16(At(b, at)); }

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<ResourceEntry> Table()
{
    QString error;
    const auto text = ReadTextFile(kResourcesDir + QStringLiteral("/resource_ids.tsv"));
    if (!text)
        return {};
    auto table = ParseResourceTable(*text, &error);
    EXPECT_TRUE(table.has_value()) << error.toStdString();
    return table ? *table : std::vector<ResourceEntry>();
}

std::set<int> IdsOf(const std::vector<ResourceEntry>& table, Kind kind)
{
    std::set<int> ids;
    for (const ResourceEntry& e : table) {
        if (e.kind == kind) {
            for (int id : e.ids())
                ids.insert(id);
        }
    }
    return ids;
}

void AddRange(std::set<int>& ids, int first, int last)
{
    for (int id = first; id <= last; ++id)
        ids.insert(id);
}

// What the checks of one BMP file found wrong, empty when nothing.
std::string CheckBitmap(const QByteArray& b, QSize size, bool keyed)
{
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        return "not a BMP file";
    if (U32(b, 2) != quint32(b.size()) || U32(b, 10) != 54 || U32(b, 14) != 40)
        return "bad file header";
    if (int(U32(b, 18)) != size.width() || int(U32(b, 22)) != size.height())
        return "size " + std::to_string(U32(b, 18)) + "x" + std::to_string(U32(b, 22));
    if (U16(b, 26) != 1 || U16(b, 28) != 24 || U32(b, 30) != 0)
        return "not an uncompressed 24-bit bitmap";
    const int rowBytes = (size.width() * 3 + 3) / 4 * 4;
    if (b.size() != 54 + rowBytes * size.height() || U32(b, 34) != quint32(rowBytes * size.height()))
        return "pixel data of the wrong length";
    bool anyKey = false;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int at = 54 + y * rowBytes + x * 3;
            const int blue = quint8(b[at]), green = quint8(b[at + 1]), red = quint8(b[at + 2]);
            const bool key = red == 255 && green == 0 && blue == 255;
            // The loader keeps 5-6-5 bits: an opaque pixel there must not
            // become the key colour.
            if (!key && (red >> 3) == 31 && (green >> 2) == 0 && (blue >> 3) == 31)
                return "an opaque pixel that turns into the key colour";
            anyKey |= key;
        }
    }
    if (keyed && !anyKey)
        return "no transparent pixel in a picture drawn with the key";
    if (!keyed && anyKey)
        return "key-coloured pixels in a picture drawn without the key";
    return {};
}

} // namespace

TEST(ResourceFiles, EveryPictureExistsInItsFoldersWithItsSizeAndDepth)
{
    const auto table = Table();
    ASSERT_FALSE(table.empty());
    int checked = 0;
    for (const ResourceEntry& e : table) {
        if (e.kind != Kind::Bitmap)
            continue;
        std::vector<std::pair<QString, QSize>> folders;
        if (e.module == Module::Program)
            folders = { { QString(), e.qvga } };
        else
            folders = { { QStringLiteral("qvga/"), e.qvga }, { QStringLiteral("vga/"), e.vga } };
        for (const auto& [folder, size] : folders) {
            for (int id : e.ids()) {
                const QString path = kDataDir + QStringLiteral("/resources/%1%2.bmp").arg(folder).arg(id);
                EXPECT_EQ(CheckBitmap(ReadAll(path), size, e.keyed), "") << path.toStdString();
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(ResourceFiles, GlyphStripsMadeElsewhereAreThereInBothClasses)
{
    for (const ResourceEntry& e : Table()) {
        if (e.kind != Kind::GlyphStrip)
            continue;
        for (const char* folder : { "qvga", "vga" }) {
            const QByteArray b
                = ReadAll(kDataDir + QStringLiteral("/resources/%1/%2.bmp").arg(folder).arg(e.id));
            EXPECT_TRUE(b.startsWith("BM")) << folder << " " << e.id;
        }
    }
}

TEST(ResourceFiles, EveryVoicePromptIsSixteenBitMonoPcmWithItsText)
{
    const auto table = Table();
    const auto voicesText = ReadTextFile(kResourcesDir + QStringLiteral("/voice_prompts.tsv"));
    ASSERT_TRUE(voicesText.has_value());
    QString error;
    const auto voices = ParseVoicePrompts(*voicesText, &error);
    ASSERT_TRUE(voices.has_value()) << error.toStdString();
    for (const ResourceEntry& e : table) {
        if (e.kind != Kind::Wave)
            continue;
        SCOPED_TRACE(e.id);
        if (e.recipe != u"chime") {
            const auto prompt = voices->find(e.id);
            ASSERT_NE(prompt, voices->end());
            EXPECT_EQ(QStringLiteral("speak ") + prompt->second.language, e.recipe);
        }
        const QByteArray b = ReadAll(kDataDir + QStringLiteral("/resources/%1.wav").arg(e.id));
        ASSERT_GE(b.size(), 44);
        EXPECT_EQ(b.left(4), "RIFF");
        EXPECT_EQ(U32(b, 4), quint32(b.size() - 8));
        EXPECT_EQ(b.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(U32(b, 16), 16u);
        EXPECT_EQ(U16(b, 20), 1); // PCM
        EXPECT_EQ(U16(b, 22), 1); // mono
        const quint32 rate = U32(b, 24);
        EXPECT_EQ(U32(b, 28), rate * 2);
        EXPECT_EQ(U16(b, 32), 2);
        EXPECT_EQ(U16(b, 34), 16);
        EXPECT_EQ(b.mid(36, 4), "data");
        EXPECT_EQ(U32(b, 40), quint32(b.size() - 44));
        // At least a quarter of a second, and not silence.
        EXPECT_GE(quint32(b.size() - 44) / 2, rate / 4);
        int loudest = 0;
        for (int at = 44; at + 1 < b.size(); at += 2)
            loudest = std::max(loudest, std::abs(int(qint16(U16(b, at)))));
        EXPECT_GT(loudest, 3000);
    }
}

TEST(ResourceFiles, TheTableHoldsEveryIdTheProgramLoadsOrPlays)
{
    const auto table = Table();
    // The pictures loaded at start-up: a missing required one ends it.
    std::set<int> pictures = { 761, 196, 758, 795, 217, 14051, 2, 3, 702, 703, 1402, 1403, 13000, 13001,
        13100, 13101, 13200, 13201, 179, 180, 181, 183, 184, 200, 204, 205, 208, 209, 210, 226, 735, 737, 742,
        744, 746, 747, 749, 765, 768, 770, 780, 809, 810, 819, 834, 835, 836, 843, 845, 846, 847, 849, 850,
        855, 197, 198, 206, 207, 298, 299, 756, 757, 762, 799, 800, 1348, 13334, 13333, 378, 861, 862, 863,
        864, 865, 866, 867, 868, 869, 871,
        // loading window, list header sort arrows and the layout picture
        856, 857, 928, 929, 13335, 13336, 13337, 13338, 13339, 13340, 202, 879, 963 };
    for (int c = 10000; c <= 10052; ++c) {
        if (c != 10015)
            pictures.insert({ c, c + 700, c + 1400 });
    }
    AddRange(pictures, 14000, 14006);
    AddRange(pictures, 13300, 13331);
    AddRange(pictures, 653, 658);
    AddRange(pictures, 186, 195);
    AddRange(pictures, 255, 260);
    AddRange(pictures, 214, 216);
    AddRange(pictures, 218, 225);
    AddRange(pictures, 227, 234);
    AddRange(pictures, 236, 242);
    AddRange(pictures, 244, 254);
    AddRange(pictures, 261, 296);
    AddRange(pictures, 301, 309);
    AddRange(pictures, 311, 316);
    AddRange(pictures, 548, 600);
    AddRange(pictures, 752, 754);
    AddRange(pictures, 478, 502);
    AddRange(pictures, 786, 789);
    AddRange(pictures, 660, 664);
    AddRange(pictures, 15111, 15125);
    const std::set<int> tablePictures = IdsOf(table, Kind::Bitmap);
    const std::set<int> strips = IdsOf(table, Kind::GlyphStrip);
    for (int id : pictures)
        EXPECT_TRUE(tablePictures.count(id) || strips.count(id)) << "picture " << id;

    std::set<int> sounds = { 520 };
    AddRange(sounds, 507, 516);
    AddRange(sounds, 521, 547);
    AddRange(sounds, 681, 709);
    const std::set<int> tableSounds = IdsOf(table, Kind::Wave);
    for (int id : sounds)
        EXPECT_TRUE(tableSounds.count(id)) << "sound " << id;
}

TEST(ResourceFiles, FoldersCarryTheProgramVersion)
{
    // The two screen-class libraries and the program's own resources.
    for (const char* folder : { "/qvga", "/vga", "" })
        EXPECT_EQ(ReadAll(kDataDir + QStringLiteral("/resources%1/version").arg(folder)), "2.4.272.0")
            << folder;
}

TEST(ResourceFiles, FontsFolderHasTheFacesTheKernelLooksFor)
{
    for (const char* name : { "arial.ttf", "tahoma.ttf", "VUDOZ.TTF" }) {
        const QByteArray b = ReadAll(kDataDir + QStringLiteral("/Fonts/") + QLatin1String(name));
        ASSERT_GE(b.size(), 1000) << name;
        // A TrueType file starts with the version 1.0 tag.
        EXPECT_EQ(b.left(4), QByteArray("\x00\x01\x00\x00", 4)) << name;
    }
}

TEST(ResourceFiles, TheSoundLayerPlaysEveryPrompt)
{
    platform::SetSoundResourceFolder(kDataDir + QStringLiteral("/resources"));
    platform::ClearSoundPlayLog();
    const auto table = Table();
    for (int id : IdsOf(table, Kind::Wave))
        EXPECT_TRUE(platform::PlaySoundResource(id, platform::SND_RESOURCE | platform::SND_ASYNC)) << id;
    platform::StopSound();
    platform::ShutdownSound();
}
