// Test entry point shared by every test program: a QApplication on the
// offscreen platform, so widgets, timers and posted messages work headless, and
// private configuration, data and runtime folders, so no test touches the
// user's registry file or applications or meets a running program.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("SDL_AUDIODRIVER"))
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    QTemporaryDir config;
    if (config.isValid())
        setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    // The runtime folder holds the program's single-instance lock: each test
    // program has its own, so programs running side by side never meet.
    QTemporaryDir runtime;
    // The user's data folder, where the program puts its entry among the applications.
    QTemporaryDir data;
    if (data.isValid())
        setenv("XDG_DATA_HOME", data.path().toLocal8Bit().constData(), 1);
    if (runtime.isValid())
        setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
