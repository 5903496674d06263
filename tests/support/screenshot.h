#pragma once
// Pictures of what a test opened, for a person to look at: PNG files under the
// build's "screenshots" folder. Header-only.
#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QWidget>

namespace testing_support {

// Writes the window as <build>/screenshots/<name>.png and returns the path.
inline QString SaveScreenshot(QWidget& window, const QString& name)
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    // The test program lives in <build>/tests.
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    window.grab().save(path);
    return path;
}

} // namespace testing_support
