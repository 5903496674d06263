#include "gps/gps_source_names.h"

#include "foundation/language.h"
#include "platform/system_files.h"
#include "settings/settings_record.h"
#include "tests/support/file_bytes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(GpsSourceNames, NamesParseToTheirNumbers)
{
    struct Case {
        const char* name;
        bool known;
        int32_t number;
    };
    const Case cases[] = {
        { "COM0:", true, 0 },
        { "COM9:", true, 9 },
        { "COM4:", true, 4 },
        { "from NM-file", true, 11 },
        { "WM 5.0 software port", true, 12 },
        { "com4:", false, 10 },
        { "COM4", false, 10 },
        { "COM10:", false, 10 },
        { "COM:", false, 10 },
        { "COM4: ", true, 4 },
        { "From NM-file", false, 10 },
        { "None", false, 10 },
        { "", false, 10 },
    };
    for (const Case& c : cases) {
        int32_t number = -1;
        EXPECT_EQ(ParseGpsSourceName(QString::fromUtf8(c.name), &number), c.known) << c.name;
        EXPECT_EQ(number, c.number) << c.name;
    }
}

TEST(GpsSourceNames, NumbersHaveTheirNamesInEachLanguage)
{
    struct Case {
        int32_t number;
        int language;
        bool known;
        const char* name;
    };
    const Case cases[] = {
        { 0, LANGUAGE_ENGLISH, true, "COM0:" },
        { 7, LANGUAGE_RUSSIAN, true, "COM7:" },
        { 10, LANGUAGE_ENGLISH, true, "None" },
        { 10, LANGUAGE_RUSSIAN, true, "Нет" },
        { 10, 2, false, "unchanged" },
        { 11, LANGUAGE_RUSSIAN, true, "from NM-file" },
        { 12, LANGUAGE_ENGLISH, true, "WM 5.0 software port" },
        { 13, LANGUAGE_ENGLISH, false, "unchanged" },
        { -1, LANGUAGE_ENGLISH, false, "unchanged" },
    };
    const int saved = g_language;
    for (const Case& c : cases) {
        g_language = c.language;
        QString name = QStringLiteral("unchanged");
        EXPECT_EQ(GetGpsSourceName(c.number, &name), c.known) << c.number;
        EXPECT_EQ(name, QString::fromUtf8(c.name)) << c.number;
        // Every name a number has parses back to it.
        int32_t back = -1;
        if (c.known && c.number != 10) {
            EXPECT_TRUE(ParseGpsSourceName(name, &back) && back == c.number) << c.number;
        }
    }
    g_language = saved;
    QString name = QStringLiteral("kept");
    EXPECT_FALSE(FormatComPortName(10, &name));
    EXPECT_EQ(name, "kept");
}

TEST(GpsSourceNames, DeviceModelsAreDetectedByTheFirstMatchingRule)
{
    const QString a700 = QStringLiteral("Mio A700 board"), board168 = QStringLiteral("MT-168 rev 2"),
                  board336 = QStringLiteral("336"), board169 = QStringLiteral("x169"),
                  none = QStringLiteral("nothing");
    struct Case {
        const char* oem;
        const QString* hardware;
        int32_t code;
    };
    const Case cases[] = {
        { "HP iPAQ h6515", nullptr, 215 },
        { "hp ipaq hx4700", nullptr, 10 },
        { "Acer n35", nullptr, 20 },
        { "Mio A201", nullptr, 3 },
        { "MiTAC Mio P550", nullptr, 4 },
        { "E-TEN M600 with G500 parts", nullptr, 217 },
        { "ETEN G500", nullptr, 218 },
        { "Glofiish X500", nullptr, 221 },
        { "Glofiish M700V05", nullptr, 223 },
        { "Qtek PM300", nullptr, 222 },
        { "MIO TECHNOLOGY LIMITED", &a700, 219 },
        // Without the A700 the Mio falls through to the MiTAC rule, which
        // needs "MITAC" in the OEM string as well.
        { "MIO TECHNOLOGY LIMITED", &none, 0 },
        { "MIO TECHNOLOGY LIMITED MITAC", &board336, 2 },
        { "MiTAC", &board168, 1 },
        { "MiTAC", &board169, 1 },
        { "MiTAC", &none, 0 },
        // No hardware text to ask, as on Linux: the last two rules never match.
        { "MiTAC", nullptr, 0 },
        { "MIO TECHNOLOGY LIMITED", nullptr, 0 },
        { "ThinkPad X1 Carbon", nullptr, 0 },
        { "", nullptr, 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectDeviceModel(QString::fromUtf8(c.oem), c.hardware), c.code) << c.oem;

    const std::pair<int32_t, int32_t> normal[] = { { 1, 200 }, { 2, 201 }, { 3, 216 }, { 4, 220 },
        { 10, 204 }, { 20, 214 }, { 0, 0 }, { 215, 215 }, { 219, 219 }, { 999, 999 } };
    for (const auto& [raw, stored] : normal)
        EXPECT_EQ(NormalizeDeviceModel(raw), stored) << raw;
}

TEST(GpsSourceNames, TheDeviceIsDetectedFromWhatItsFirmwareSays)
{
    QTemporaryDir root;
    platform::ScopedSystemRoot scoped(root.path());
    EXPECT_EQ(DetectDeviceModel(), 0);
    ASSERT_TRUE(testing_support::WriteFileBytes(
        root.filePath("proc/device-tree/model"), QByteArray("ETen G500\0", 10)));
    EXPECT_EQ(DetectDeviceModel(), 218);
    ASSERT_TRUE(
        testing_support::WriteFileBytes(root.filePath("sys/class/dmi/id/product_name"), "HP iPAQ h6515\n"));
    EXPECT_EQ(DetectDeviceModel(), 215);
}

TEST(GpsSourceNames, EachModelHasItsDefaultPortAndSpeed)
{
    struct Case {
        int32_t model;
        bool known;
        int32_t source;
        int32_t baud;
    };
    const Case cases[] = {
        { 0, true, 3, 19200 }, // manual settings
        { 1, true, 2, 4800 },
        { 200, true, 2, 4800 },
        { 2, true, 8, 4800 },
        { 10, true, 1, 4800 },
        { 20, true, 8, 9600 },
        { 214, true, 8, 9600 },
        { 203, true, 6, 4800 },
        { 211, true, 5, 4800 },
        { 212, true, 5, 4800 },
        { 213, true, 5, 4800 }, // not listed, but known
        { 215, true, 7, 57600 },
        { 218, true, 4, 4800 },
        { 219, true, 12, 57600 },
        { 221, true, 4, 57600 },
        { 222, true, 7, 4800 },
        { 223, true, 4, 57600 },
        { 224, false, 3, 19200 },
        { -5, false, 3, 19200 },
    };
    for (const Case& c : cases) {
        int32_t source = -1, baud = -1;
        EXPECT_EQ(GetDefaultGpsPortForDevice(c.model, 3, 19200, &source, &baud), c.known) << c.model;
        EXPECT_EQ(source, c.source) << c.model;
        EXPECT_EQ(baud, c.baud) << c.model;
    }
    // The settings' own model and manual pair.
    g_manualGpsPort = 6;
    g_manualGpsBaudRate = 38400;
    int32_t source = -1, baud = -1;
    g_deviceModel = 0;
    EXPECT_TRUE(GetDefaultGpsPortForDevice(&source, &baud));
    EXPECT_EQ(source, 6);
    EXPECT_EQ(baud, 38400);
    g_deviceModel = 215;
    EXPECT_TRUE(GetDefaultGpsPortForDevice(&source, &baud));
    EXPECT_EQ(source, 7);
    EXPECT_EQ(baud, 57600);
    g_deviceModel = 0;
    g_manualGpsPort = 10;
    g_manualGpsBaudRate = 4800;

    // The page's list: thirty models, "Manual settings" first, every code once.
    const auto models = GpsDeviceModels();
    ASSERT_EQ(models.size(), 30u);
    EXPECT_STREQ(models[0].name, "Manual settings");
    EXPECT_EQ(models[29].code, 214);
    for (size_t i = 0; i < models.size(); ++i) {
        for (size_t j = i + 1; j < models.size(); ++j)
            EXPECT_NE(models[i].code, models[j].code);
    }
}

} // namespace
