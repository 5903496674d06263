// The travenor program: the navigation program on the device screen.
#include "app/travenor_app.h"
#include "foundation/screen_metrics.h"
#include "platform/options.h"
#include "platform/termination_signals.h"

#include <QApplication>
#include <cstdio>
#include <optional>

namespace {

// Reads the program's own options: --help prints the usage (status 0), a bad
// option is named on stderr (status 2).
std::optional<platform::Options> ReadOptions(const QStringList& args, int* status)
{
    if (args.contains(QLatin1String("--help"))) {
        std::fputs(qPrintable(platform::OptionsHelp()), stdout);
        *status = 0;
        return std::nullopt;
    }
    QString error;
    auto options = platform::ParseOptions(args, &error);
    if (!options) {
        std::fprintf(stderr, "travenor: %s (travenor --help lists the options)\n", qPrintable(error));
        *status = 2;
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    // The options are read before the display is opened, so that --help and a
    // bad option are answered on a machine without one. Qt's own options (one
    // dash, such as -platform NAME) are taken out by QApplication first.
    QStringList args;
    bool qtOptions = false;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
        if (argv[i][0] == '-' && argv[i][1] != '-' && argv[i][1] != '\0')
            qtOptions = true;
    }
    int status = 0;
    std::optional<platform::Options> options;
    if (!qtOptions && !(options = ReadOptions(args, &status)))
        return status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Travenor Pro"));
    QApplication::setOrganizationName(QStringLiteral("Orvantis"));
    if (qtOptions) {
        args = QApplication::arguments();
        args.removeFirst();
        if (!(options = ReadOptions(args, &status)))
            return status;
    }
    if (options->dataDir.isEmpty())
        options->dataDir = QStringLiteral(TRAVENOR_DEFAULT_DATA_DIR);
    platform::setOptions(*options);
    InitScreenMetrics(); // before any thread reads them
    // A kill or Ctrl+C closes the program as its close button does: the
    // settings are saved and the receiver's port is given back.
    platform::WatchTerminationSignals([](int) {
        if (theApp)
            theApp->RequestClose();
    });
    return RunTravenorPro();
}
