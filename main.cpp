// The travenor program: the navigation program on the device screen.
#include "app/travenor_app.h"
#include "foundation/screen_metrics.h"
#include "platform/options.h"

#include <QApplication>
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
    InitScreenMetrics(); // before any thread reads them
    return RunTravenorPro();
}
