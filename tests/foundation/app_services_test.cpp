#include "foundation/app_services.h"
#include "foundation/language.h"
#include "foundation/resource_dll.h"

#include "platform/message_box.h"
#include "platform/options.h"
#include "platform/shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

struct LanguageScope {
    explicit LanguageScope(int l)
        : saved(g_language.load())
    {
        g_language = l;
    }
    ~LanguageScope() { g_language = saved; }
    int saved;
};

void writeVersion(const QString& folder, const QByteArray& version)
{
    QDir().mkpath(folder);
    QFile f(QDir(folder).filePath("version"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(version);
}

} // namespace

TEST(FormatDistance3, BothLanguagesAndOthers)
{
    struct Case {
        int language, metres;
        const char* expected;
    };
    const Case cases[] = {
        { 0, 0, "0m" },
        { 0, 999, "999m" },
        { 0, 1000, "1.000km" },
        { 0, 12345, "12.345km" },
        { 1, 999, "999м" },
        { 1, 1500, "1.500км" },
        { 2, 1500, "unchanged" },
    };
    for (const Case& c : cases) {
        LanguageScope scope(c.language);
        QString text = "unchanged";
        FormatDistance3(c.metres, text);
        EXPECT_EQ(text, QString::fromUtf8(c.expected)) << c.language << " " << c.metres;
    }
}

TEST(ResourceDll, AcceptsOnlyTheProgramsVersion)
{
    QTemporaryDir data;
    platform::Options saved = platform::options();
    platform::Options o = saved;
    o.dataDir = data.path();
    platform::setOptions(o);

    writeVersion(data.filePath("resources/vga"), "2.4.272.0\n");
    writeVersion(data.filePath("resources/qvga"), "2.4.272.1");
    EXPECT_EQ(LoadResourceLibrary("ResourceDLL_VGA.dll"), data.filePath("resources/vga"));
    EXPECT_EQ(LoadResourceLibrary("\\Program Files\\x\\resourcedll_vga.DLL").isEmpty(), true)
        << "a folder that does not exist has no version";
    EXPECT_TRUE(LoadResourceLibrary("ResourceDLL_QVGA.dll").isEmpty()) << "last word differs";
    writeVersion(data.filePath("bad"), "2.4.x.0");
    EXPECT_TRUE(LoadResourceLibrary(data.filePath("bad")).isEmpty());
    EXPECT_TRUE(LoadResourceLibrary(data.filePath("none")).isEmpty());

    {
        CResourceDll dll;
        EXPECT_FALSE(dll.Load("ResourceDLL_VGA.dll").isEmpty());
        dll.Free();
        EXPECT_FALSE(dll.IsLoaded());
        dll.Free(); // nothing held: nothing happens
        EXPECT_EQ(dll.Load(), ProgramResourceFolder());
        dll.Free();
        EXPECT_TRUE(dll.IsLoaded()) << "the program's own resources are never let go";
    }
    platform::setOptions(saved);
}

TEST(AppServices, MessageBoxesEndTheWaitCursorAndCarryTheTitle)
{
    int waitCursorEnded = 0;
    SetEndWaitCursorHandler([&] { ++waitCursorEnded; });
    std::vector<platform::MessageBoxRequest> asked;
    platform::SetMessageBoxAnswerer([&](const platform::MessageBoxRequest& r) {
        asked.push_back(r);
        return platform::IDOK;
    });
    EXPECT_EQ(AppMessageBoxText("hello", platform::MB_OK), platform::IDOK);
    EXPECT_EQ(AppMessageBox(nullptr, "x", "cap", platform::MB_OKCANCEL), platform::IDOK);
    platform::SetMessageBoxAnswerer({});
    SetEndWaitCursorHandler({});
    EXPECT_EQ(waitCursorEnded, 2);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].caption, "Travenor Pro");
    EXPECT_EQ(asked[1].caption, "cap");
}

TEST(AppServices, OutOfMemoryTellsTheUserThenStops)
{
    EXPECT_EXIT(
        {
            g_language = LANGUAGE_RUSSIAN;
            platform::SetMessageBoxAnswerer([](const platform::MessageBoxRequest& r) {
                return r.text.startsWith(QString::fromUtf8("Переполнение памяти.")) ? platform::IDOK : -1;
            });
            SetFatalExitHandler([](int code) { std::exit(40 + code); });
            ReserveEmergencyMemory(1 << 20);
            ShowOutOfMemoryAndExit();
        },
        testing::ExitedWithCode(41), "");
}

TEST(AppServices, FullScreenGeometryAndShellState)
{
    QWidget w;
    EnterFullScreen(&w);
    EXPECT_EQ(w.geometry(), QRect(0, 0, 240, 320));
    EXPECT_FALSE(platform::GetShellState().taskBarVisible);
    EXPECT_FALSE(platform::GetShellState().startIconVisible);
    LeaveFullScreen(&w);
    EXPECT_EQ(w.geometry(), QRect(0, 26, 240, 320 - 52));
    EXPECT_TRUE(platform::GetShellState().taskBarVisible);
    EXPECT_TRUE(platform::GetShellState().sipButtonVisible);
    EXPECT_FALSE(platform::GetShellState().startIconVisible);
}
