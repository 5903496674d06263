// The program's start on the shipped map: the loading window's progress, the
// map on the screen at every screen size and density, and the one message a
// start with files missing ends with.
#include "app/load_application_data.h"
#include "app/loading_wnd.h"
#include "app/main_frame.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/app_services.h"
#include "nav/map_controller.h"
#include "platform/display.h"
#include "tests/app/app_rig.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Colours on the screen: a drawn map has many, a blank screen one.
int ColourCount(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

// Waits until the device screen shows the map.
QImage WaitForMap()
{
    QImage frame;
    QDeadlineTimer deadline(30000);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        frame = theApp->GetDisplay()->Snapshot();
    } while (ColourCount(frame) < 20 && !deadline.hasExpired());
    return frame;
}

void SaveScreenshot(const QImage& frame, const QString& name)
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(dir);
    EXPECT_TRUE(frame.save(dir + QLatin1Char('/') + name + QStringLiteral(".png")));
}

TEST(StartupLoading, TheMapAppearsAfterTheProgressAtEveryScreen)
{
    const std::vector<int> progress { 0, 3, 10, 15, 20, 23, 26, 29, 32, 35, 38, 41, 44, 47, 50, 55, 58, 70,
        100 };
    for (const QSize screen : { QSize(240, 320), QSize(320, 240), QSize(240, 240), QSize(480, 640),
             QSize(640, 480), QSize(480, 234) }) {
        for (const int dpi : { 96, 192 }) {
            const QString name
                = QStringLiteral("program_%1x%2_%3").arg(screen.width()).arg(screen.height()).arg(dpi);
            SCOPED_TRACE(name.toStdString());
            apptest::AppRig rig(screen, dpi);
            rig.SetProfileInt(QStringLiteral("expert mode"), 0);
            CProcessObjects objects;
            const int status = apptest::RunProgram([&] {
                EXPECT_EQ(CLoadingWnd::GetInstance().Reported(), progress);
                EXPECT_TRUE(CLoadingWnd::GetInstance().IsClosed());
                const QImage frame = WaitForMap();
                EXPECT_GE(ColourCount(frame), 20);
                // A first start: the default place lies outside the shipped map, so
                // the view opens on the middle of the map rather than on its edge.
                const ZXS_Rect bounds = g_MapController->GetMapBounds();
                EXPECT_EQ(g_MapController->GetCentreX(), bounds.left / 2 + bounds.right / 2);
                EXPECT_EQ(g_MapController->GetCentreY(), bounds.top / 2 + bounds.bottom / 2);
                SaveScreenshot(frame, name);
                CloseApplication();
            });
            EXPECT_EQ(status, CTravenorApp::EXIT_OK);
            EXPECT_TRUE(rig.boxes.empty());
        }
    }
}

// A fatal exit in a test: the exit steps are skipped and the test goes on.
struct FatalExitCalled {
    int code;
};

// A resource library without one picture: a folder of links to the build's pictures.
void RemovePicture(const QString& programFolder, uint32_t id)
{
    const QString resources = QDir(programFolder).filePath(QStringLiteral("resources"));
    const QString built = QStringLiteral(TRAVENOR_BUILD_DATA_DIR "/resources");
    ASSERT_TRUE(QFile::remove(resources));
    ASSERT_TRUE(QDir().mkpath(resources + QStringLiteral("/qvga")));
    for (const QString& name : QDir(built).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        if (name != QLatin1String("qvga"))
            QFile::link(built + QLatin1Char('/') + name, resources + QLatin1Char('/') + name);
    for (const QString& name : QDir(built + QStringLiteral("/qvga")).entryList(QDir::Files))
        if (name != QStringLiteral("%1.bmp").arg(id))
            QFile::link(built + QStringLiteral("/qvga/") + name, resources + QStringLiteral("/qvga/") + name);
}

TEST(StartupLoading, MissingFilesEndTheStartWithTheMessageAndAFailure)
{
    enum Missing { MAP, FONT, PICTURE };
    for (const Missing missing : { MAP, FONT, PICTURE }) {
        SCOPED_TRACE(missing == MAP ? "map" : missing == FONT ? "font" : "required picture");
        apptest::AppRig rig(QSize(240, 320), 96, missing != MAP);
        if (missing == FONT)
            rig.Folder().RemoveFonts();
        if (missing == PICTURE)
            RemovePicture(rig.ProgramFolder(), 13300);
        CProcessObjects objects;
        SetFatalExitHandler([](int code) { throw FatalExitCalled { code }; });
        platform::Display display(QSize(240, 320), 96);
        g_drawTool->Init(&display, true);
        g_resourceDll->Load(QDir(rig.ProgramFolder()).filePath(QStringLiteral("ResourceDLL_QVGA.dll")));

        int code = 0;
        try {
            LoadApplicationData();
        } catch (const FatalExitCalled& exit) {
            code = exit.code;
        }
        EXPECT_NE(code, 0);
        // Without fonts the kernel does not start: its message, the map view's
        // (made regardless), then the missing files.
        ASSERT_EQ(rig.boxes.size(), missing == FONT ? 3u : 1u);
        if (missing == MAP) {
            EXPECT_TRUE(rig.boxes[0].text.contains(QStringLiteral("\"mskmo....tzx\"")));
        } else {
            EXPECT_EQ(rig.boxes.back().text, MissingFilesMessage());
        }
        if (missing == FONT) {
            EXPECT_TRUE(rig.boxes[0].text.contains(QStringLiteral("Arial.ttf")));
        }
        g_drawTool->DestroyBuffer();
    }
}

} // namespace
