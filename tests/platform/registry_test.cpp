#include "platform/registry.h"

#include "tests/support/file_bytes.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <thread>

using namespace platform;

using testing_support::ReadFileBytes;

namespace {

struct RegistryFile : ::testing::Test {
    QTemporaryDir dir;
    QString file = dir.filePath("Orvantis/Travenor Pro.ini");
};

const QString kAppKey = QStringLiteral("\\Software\\Orvantis\\Travenor Pro");

} // namespace

TEST_F(RegistryFile, OpenDoesNotCreateButCreateDoesWithParents)
{
    Registry reg(file);
    EXPECT_EQ(reg.LoadResult(), RegResult::Ok) << "a missing file is an empty registry";
    RegKey key;
    EXPECT_EQ(reg.Open(RegRoot::HKCU, kAppKey, &key), RegResult::NotFound);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(QFile::exists(file)) << "a failed open writes nothing";

    ASSERT_EQ(reg.Create(RegRoot::HKCU, kAppKey, &key), RegResult::Ok);
    EXPECT_EQ(key.Path(), QStringLiteral("Software\\Orvantis\\Travenor Pro"));
    EXPECT_EQ(reg.Open(RegRoot::HKCU, QStringLiteral("software"), nullptr), RegResult::Ok);
    EXPECT_EQ(reg.Open(RegRoot::HKLM, QStringLiteral("Software"), nullptr), RegResult::NotFound)
        << "roots are apart";

    RegKey other;
    ASSERT_EQ(
        reg.Open(RegRoot::HKCU, QStringLiteral("SOFTWARE\\orvantis\\TRAVENOR PRO\\"), &other), RegResult::Ok);
    EXPECT_EQ(other.Path(), key.Path()) << "the key keeps the case it was created with";

    // The empty key outlives the program.
    Registry again(file);
    EXPECT_EQ(again.Open(RegRoot::HKCU, kAppKey, nullptr), RegResult::Ok);
    EXPECT_EQ(
        again.Open(RegRoot::HKCU, kAppKey + QStringLiteral("\\Settings"), nullptr), RegResult::NotFound);
}

TEST_F(RegistryFile, TypedQueriesMissingValuesAndMismatches)
{
    Registry reg(file);
    RegKey key;
    ASSERT_EQ(reg.Create(RegRoot::HKLM, QStringLiteral("System\\GDI\\Rotation"), &key), RegResult::Ok);
    ASSERT_EQ(key.SetDword(QStringLiteral("Angle"), 90), RegResult::Ok);
    ASSERT_EQ(key.SetString(QStringLiteral("Name"), QStringLiteral("COM4:")), RegResult::Ok);
    ASSERT_EQ(key.SetBinary(QStringLiteral("Blob"), QByteArray("\x01\x00\xff", 3)), RegResult::Ok);

    uint32_t dword = 7;
    QString text = QStringLiteral("untouched");
    QByteArray blob = "untouched";
    EXPECT_EQ(key.QueryDword(QStringLiteral("ANGLE"), &dword), RegResult::Ok);
    EXPECT_EQ(dword, 90u);
    EXPECT_EQ(key.QueryString(QStringLiteral("name"), &text), RegResult::Ok);
    EXPECT_EQ(text, QStringLiteral("COM4:"));
    EXPECT_EQ(key.QueryBinary(QStringLiteral("blob"), &blob), RegResult::Ok);
    EXPECT_EQ(blob, QByteArray("\x01\x00\xff", 3));

    dword = 7;
    text = QStringLiteral("untouched");
    EXPECT_EQ(key.QueryDword(QStringLiteral("Name"), &dword), RegResult::WrongType);
    EXPECT_EQ(key.QueryString(QStringLiteral("Angle"), &text), RegResult::WrongType);
    EXPECT_EQ(key.QueryBinary(QStringLiteral("Angle"), &blob), RegResult::WrongType);
    EXPECT_EQ(key.QueryDword(QStringLiteral("Missing"), &dword), RegResult::NotFound);
    EXPECT_EQ(dword, 7u);
    EXPECT_EQ(text, QStringLiteral("untouched")) << "a failed query leaves the output alone";

    // A copy of any type, as the sound switch makes, and a retype by name in
    // another case keep the original spelling of the name.
    RegValue any;
    ASSERT_EQ(key.QueryValue(QStringLiteral("Blob"), &any), RegResult::Ok);
    EXPECT_EQ(key.SetValue(QStringLiteral("SavedBlob"), any), RegResult::Ok);
    EXPECT_EQ(key.SetString(QStringLiteral("ANGLE"), QStringLiteral("ninety")), RegResult::Ok);
    EXPECT_EQ(key.QueryDword(QStringLiteral("Angle"), &dword), RegResult::WrongType);
    EXPECT_TRUE(ReadFileBytes(file).contains("\"Angle\"=\"ninety\"")) << ReadFileBytes(file).constData();
    EXPECT_TRUE(ReadFileBytes(file).contains("\"SavedBlob\"=hex:01,00,ff"));

    EXPECT_EQ(RegKey().QueryDword(QStringLiteral("Angle"), &dword), RegResult::InvalidArgument);
}

TEST_F(RegistryFile, DeletingValuesAndKeysWithSubkeys)
{
    Registry reg(file);
    RegKey app, settings, deep;
    ASSERT_EQ(reg.Create(RegRoot::HKCU, kAppKey, &app), RegResult::Ok);
    ASSERT_EQ(reg.Create(RegRoot::HKCU, kAppKey + QStringLiteral("\\Settings"), &settings), RegResult::Ok);
    ASSERT_EQ(reg.Create(RegRoot::HKCU, kAppKey + QStringLiteral("\\Settings\\Deep"), &deep), RegResult::Ok);
    ASSERT_EQ(reg.Create(RegRoot::HKCU, kAppKey + QStringLiteral(" Voradu"), nullptr), RegResult::Ok);
    ASSERT_EQ(app.SetDword(QStringLiteral("BT_State"), 1), RegResult::Ok);
    ASSERT_EQ(settings.SetDword(QStringLiteral("expert mode"), 1), RegResult::Ok);

    QString name;
    EXPECT_EQ(app.EnumKey(0, &name), RegResult::Ok);
    EXPECT_EQ(name, QStringLiteral("Settings")) << "only direct subkeys are listed";
    EXPECT_EQ(app.EnumKey(1, &name), RegResult::NotFound);

    EXPECT_EQ(app.DeleteValue(QStringLiteral("bt_state")), RegResult::Ok);
    EXPECT_EQ(app.DeleteValue(QStringLiteral("BT_State")), RegResult::NotFound);
    EXPECT_EQ(app.QueryValue(QStringLiteral("BT_State"), nullptr), RegResult::NotFound);

    EXPECT_EQ(reg.DeleteKey(RegRoot::HKCU, kAppKey.toUpper()), RegResult::Ok);
    EXPECT_EQ(
        reg.Open(RegRoot::HKCU, kAppKey + QStringLiteral("\\Settings\\Deep"), nullptr), RegResult::NotFound);
    EXPECT_EQ(reg.Open(RegRoot::HKCU, kAppKey + QStringLiteral(" Voradu"), nullptr), RegResult::Ok)
        << "a key whose name only starts the same stays";
    EXPECT_EQ(settings.SetDword(QStringLiteral("expert mode"), 0), RegResult::NotFound)
        << "a deleted key is not brought back by an old handle";
    EXPECT_EQ(reg.DeleteKey(RegRoot::HKCU, kAppKey), RegResult::NotFound);
    EXPECT_EQ(reg.DeleteKey(RegRoot::HKCU, QStringLiteral("\\")), RegResult::InvalidArgument);

    Registry again(file);
    EXPECT_EQ(again.Open(RegRoot::HKCU, QStringLiteral("Software\\Orvantis"), nullptr), RegResult::Ok);
    EXPECT_EQ(again.Open(RegRoot::HKCU, kAppKey, nullptr), RegResult::NotFound);
}

TEST_F(RegistryFile, ReopenedFileGivesTheSameValues)
{
    const std::vector<std::pair<QString, RegValue>> values {
        { QStringLiteral("Path"),
            RegValue::String(QStringLiteral("\\Program Files\\Travenor Pro\\Travenor Pro.exe")) },
        { QStringLiteral("Quote \"=\" name"), RegValue::String(QStringLiteral("a \"b\"\nc\td\r\x01 end ")) },
        { QStringLiteral("Русский"), RegValue::String(QStringLiteral("Москва")) },
        { QStringLiteral("Empty"), RegValue::String(QString()) },
        { QString(), RegValue::String(QStringLiteral("default")) },
        { QStringLiteral("@"), RegValue::DWord(0xFFFFFFFFu) },
        { QStringLiteral("Zero"), RegValue::DWord(0) },
        { QStringLiteral("Bytes"), RegValue::Binary(QByteArray("\x00\x7f\x80\xff", 4)) },
        { QStringLiteral("NoBytes"), RegValue::Binary(QByteArray()) },
    };
    {
        Registry reg(file);
        RegKey key;
        ASSERT_EQ(reg.Create(RegRoot::HKCR, QStringLiteral("kns_auto_file\\shell\\open\\command"), &key),
            RegResult::Ok);
        for (const auto& [name, value] : values)
            ASSERT_EQ(key.SetValue(name, value), RegResult::Ok);
    }
    Registry reg(file);
    EXPECT_EQ(reg.LoadResult(), RegResult::Ok) << reg.LastError().toStdString();
    RegKey key;
    ASSERT_EQ(
        reg.Open(RegRoot::HKCR, QStringLiteral("KNS_AUTO_FILE\\Shell\\Open\\Command"), &key), RegResult::Ok);
    for (const auto& [name, value] : values) {
        RegValue read;
        EXPECT_EQ(key.QueryValue(name, &read), RegResult::Ok) << name.toStdString();
        EXPECT_TRUE(read == value) << name.toStdString();
    }

    // The layout, byte for byte, of a small registry.
    const QString small = dir.filePath("small.ini");
    Registry out(small);
    RegKey settings;
    ASSERT_EQ(out.Create(RegRoot::HKCU, kAppKey + QStringLiteral("\\Settings"), &settings), RegResult::Ok);
    settings.SetDword(QStringLiteral("expert mode"), 42);
    settings.SetString(
        QStringLiteral("Settings vertion:204272"), QStringLiteral("\\My Documents\\a \"b\".kns"));
    settings.SetBinary(QStringLiteral("b"), QByteArray("\x01\x02", 2));
    EXPECT_EQ(ReadFileBytes(small),
        "REGEDIT4\n"
        "\n[HKEY_CURRENT_USER\\Software]\n"
        "\n[HKEY_CURRENT_USER\\Software\\Orvantis]\n"
        "\n[HKEY_CURRENT_USER\\Software\\Orvantis\\Travenor Pro]\n"
        "\n[HKEY_CURRENT_USER\\Software\\Orvantis\\Travenor Pro\\Settings]\n"
        "\"expert mode\"=dword:0000002a\n"
        "\"Settings vertion:204272\"=\"\\\\My Documents\\\\a \\\"b\\\".kns\"\n"
        "\"b\"=hex:01,02\n");
}

TEST_F(RegistryFile, DamagedFileIsKeptAsideAndTheRestUsed)
{
    const QByteArray damaged = "REGEDIT4\n"
                               "\n"
                               "[HKEY_CURRENT_USER\\Software\\Orvantis\\Travenor Pro\\Settings]\n"
                               "\"expert mode\"=dword:00000001\n"
                               "\"broken\"=dword:xyz\n"
                               "\"vertion\"=\"204272\"\n"
                               "[HKEY_NOWHERE\\Key]\n"
                               "\"lost\"=dword:1\n"
                               "\r\n"
                               "[HKEY_LOCAL_MACHINE\\System\\GDI\\Rotation]\r\n"
                               "\"Angle\"=dword:0000005a\r\n";
    ASSERT_TRUE(testing_support::WriteFileBytes(file, damaged));

    Registry reg(file);
    EXPECT_EQ(reg.LoadResult(), RegResult::Damaged);
    const std::string error = reg.LastError().toStdString();
    EXPECT_NE(error.find(file.toStdString()), std::string::npos) << error;
    EXPECT_NE(error.find("line 5"), std::string::npos) << error;
    EXPECT_NE(error.find("2 more damaged lines"), std::string::npos) << error;
    EXPECT_EQ(ReadFileBytes(file + QStringLiteral(".damaged")), damaged) << "the damaged file is kept whole";

    RegKey settings, rotation;
    uint32_t v = 0;
    QString text;
    ASSERT_EQ(reg.Open(RegRoot::HKCU, kAppKey + QStringLiteral("\\Settings"), &settings), RegResult::Ok);
    EXPECT_EQ(settings.QueryDword(QStringLiteral("expert mode"), &v), RegResult::Ok);
    EXPECT_EQ(settings.QueryString(QStringLiteral("vertion"), &text), RegResult::Ok)
        << "lines after the damage count";
    EXPECT_EQ(settings.QueryValue(QStringLiteral("broken"), nullptr), RegResult::NotFound);
    ASSERT_EQ(reg.Open(RegRoot::HKLM, QStringLiteral("System\\GDI\\Rotation"), &rotation), RegResult::Ok);
    EXPECT_EQ(rotation.QueryDword(QStringLiteral("Angle"), &v), RegResult::Ok);
    EXPECT_EQ(v, 90u);

    // What parsed was written back cleanly; a second damage gets its own copy.
    EXPECT_EQ(Registry(file).LoadResult(), RegResult::Ok);
    ASSERT_TRUE(testing_support::WriteFileBytes(file, "[HKEY_CURRENT_USER\\x]\n\"a\"=\"unterminated\n"));
    Registry second(file);
    EXPECT_EQ(second.LoadResult(), RegResult::Damaged);
    EXPECT_NE(second.LastError().indexOf(QStringLiteral("line 2")), -1) << second.LastError().toStdString();
    EXPECT_EQ(ReadFileBytes(file + QStringLiteral(".damaged")), damaged)
        << "an earlier copy is never replaced";
    EXPECT_EQ(
        ReadFileBytes(file + QStringLiteral(".damaged.2")), "[HKEY_CURRENT_USER\\x]\n\"a\"=\"unterminated\n");
    EXPECT_EQ(second.Open(RegRoot::HKCU, QStringLiteral("x"), nullptr), RegResult::Ok);
}

TEST_F(RegistryFile, FailedWritesChangeNothing)
{
    // A file that cannot be read is never overwritten.
    QDir().mkpath(file);
    Registry unreadable(file);
    EXPECT_EQ(unreadable.LoadResult(), RegResult::IoError);
    EXPECT_NE(unreadable.LastError().indexOf(file), -1);
    EXPECT_EQ(unreadable.Create(RegRoot::HKCU, kAppKey, nullptr), RegResult::IoError);
    EXPECT_TRUE(QFileInfo(file).isDir());

    // A folder that cannot be made: the change is taken back.
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.filePath("blocker"), "a file, not a folder"));
    Registry reg(dir.filePath("blocker/Travenor Pro.ini"));
    EXPECT_EQ(reg.Create(RegRoot::HKCU, kAppKey, nullptr), RegResult::IoError);
    EXPECT_EQ(reg.Open(RegRoot::HKCU, kAppKey, nullptr), RegResult::NotFound);
    EXPECT_NE(reg.LastError().indexOf(QStringLiteral("blocker")), -1) << reg.LastError().toStdString();
}

TEST_F(RegistryFile, ConcurrentWritersLoseNothing)
{
    Registry reg(file);
    RegKey key;
    ASSERT_EQ(reg.Create(RegRoot::HKCU, kAppKey, &key), RegResult::Ok);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i)
                key.SetDword(QStringLiteral("v%1_%2").arg(t).arg(i), uint32_t(t * 100 + i));
        });
    for (auto& t : threads)
        t.join();
    Registry again(file);
    RegKey read;
    ASSERT_EQ(again.Open(RegRoot::HKCU, kAppKey, &read), RegResult::Ok);
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 10; ++i) {
            uint32_t v = 0;
            EXPECT_EQ(read.QueryDword(QStringLiteral("v%1_%2").arg(t).arg(i), &v), RegResult::Ok);
            EXPECT_EQ(v, uint32_t(t * 100 + i));
        }
}
