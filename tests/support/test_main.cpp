// Test entry point shared by every test program: a QApplication on the
// offscreen platform, so widgets, timers and posted messages work headless, and
// a private configuration folder, so no test touches the user's registry file.
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
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
