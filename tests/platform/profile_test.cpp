#include "platform/options.h"
#include "platform/profile.h"
#include "platform/registry.h"

#include "tests/support/scoped_registry.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace platform;

namespace {

struct ProfileFile : ::testing::Test {
    testing_support::ScopedRegistryFile registryFile;
    QString file = registryFile.File();
};

const QString kSettings = QStringLiteral("Settings");

} // namespace

TEST_F(ProfileFile, ReadingMissingEntriesGivesDefaultsAndCreatesNothing)
{
    EXPECT_EQ(GetProfileInt(kSettings, QStringLiteral("expert mode"), 2), 2);
    EXPECT_EQ(GetProfileString(kSettings, QStringLiteral("vertion"), QStringLiteral("none")),
        QStringLiteral("none"));
    QByteArray data = "untouched";
    EXPECT_FALSE(GetProfileBinary(kSettings, QStringLiteral("blob"), &data));
    EXPECT_EQ(data, "untouched");
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(registry().Open(RegRoot::HKCU, QLatin1String(kApplicationKey), nullptr), RegResult::NotFound);
}

TEST_F(ProfileFile, WrittenEntriesLandUnderTheApplicationKey)
{
    EXPECT_TRUE(WriteProfileInt(kSettings, QStringLiteral("expert mode"), 1));
    EXPECT_TRUE(WriteProfileInt(kSettings, QStringLiteral("negative"), -5));
    EXPECT_TRUE(WriteProfileString(kSettings, QStringLiteral("Settings vertion:204272"),
        QStringLiteral("\\My Documents\\Travenor Pro settings.kns")));
    EXPECT_TRUE(WriteProfileBinary(kSettings, QStringLiteral("blob"), QByteArray("\x00\x01", 2)));

    EXPECT_EQ(GetProfileInt(kSettings, QStringLiteral("EXPERT MODE"), 2), 1);
    EXPECT_EQ(GetProfileInt(kSettings, QStringLiteral("negative"), 0), -5);
    QByteArray data;
    EXPECT_TRUE(GetProfileBinary(kSettings, QStringLiteral("blob"), &data));
    EXPECT_EQ(data, QByteArray("\x00\x01", 2));
    // An entry of another type reads as missing.
    EXPECT_EQ(GetProfileInt(kSettings, QStringLiteral("Settings vertion:204272"), 7), 7);
    EXPECT_EQ(
        GetProfileString(kSettings, QStringLiteral("expert mode"), QStringLiteral("d")), QStringLiteral("d"));

    // Another program run sees the same under HKCU\Software\Orvantis\Travenor Pro\Settings.
    Registry reg(file);
    RegKey key;
    ASSERT_EQ(reg.Open(RegRoot::HKCU, QStringLiteral("\\Software\\Orvantis\\Travenor Pro\\Settings"), &key),
        RegResult::Ok);
    QString path;
    EXPECT_EQ(key.QueryString(QStringLiteral("Settings vertion:204272"), &path), RegResult::Ok);
    EXPECT_EQ(path, QStringLiteral("\\My Documents\\Travenor Pro settings.kns"));
}
