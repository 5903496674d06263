// The travenor program: the device screen with the navigation program on it.
#include "platform/display.h"
#include "platform/options.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Travenor Pro"));
    QApplication::setOrganizationName(QStringLiteral("Orvantis"));

    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (args.contains(QLatin1String("--help"))) {
        std::fputs(qPrintable(platform::OptionsHelp()), stdout);
        return 0;
    }
    QString error;
    auto options = platform::ParseOptions(args, &error);
    if (!options) {
        std::fprintf(stderr, "travenor: %s\n%s", qPrintable(error), qPrintable(platform::OptionsHelp()));
        return 2;
    }
    if (options->dataDir.isEmpty())
        options->dataDir = QStringLiteral(TRAVENOR_DEFAULT_DATA_DIR);
    platform::setOptions(*options);

    platform::Display display(options->screen, options->dpi);
    platform::DeviceScreen screen(display);
    if (options->fullscreen)
        screen.showFullScreen();
    else
        screen.show();
    if (options->quitAfterMs > 0)
        QTimer::singleShot(options->quitAfterMs, &app, &QApplication::quit);
    return QApplication::exec();
}
