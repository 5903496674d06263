#include "platform/options.h"

#include <array>

namespace platform {

namespace {
Options g_options;

constexpr std::array<QSize, 6> kScreens { QSize(240, 320), QSize(320, 240), QSize(240, 240), QSize(480, 640),
    QSize(640, 480), QSize(480, 234) };
}

bool IsSupportedScreenSize(QSize size)
{
    for (const QSize& s : kScreens)
        if (s == size)
            return true;
    return false;
}

QString OptionsHelp()
{
    return QStringLiteral(
        "Usage: travenor [options] [settings.kns]\n"
        "  --screen WxH       device screen in pixels: 240x320 (default), 320x240, 240x240,\n"
        "                     480x640, 640x480, 480x234\n"
        "  --dpi 96|192       logical-pixel density of the screen in dots per inch (default 96)\n"
        "  --fullscreen       fill the real screen (on a device)\n"
        "  --data DIR         program folder: maps, resources, fonts\n"
        "  --documents DIR    the documents folder (\"\\My Documents\")\n"
        "  --config FILE      the registry file\n"
        "  --quit-after MS    close by itself after MS milliseconds\n"
        "  --driving-mode     switch Driving mode on once started, as its button does\n"
        "  --help             print this and exit\n");
}

std::optional<Options> ParseOptions(const QStringList& args, QString* error)
{
    Options o;
    auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return std::optional<Options>();
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString* out) {
            if (i + 1 >= args.size())
                return false;
            *out = args[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--fullscreen")) {
            o.fullscreen = true;
        } else if (a == QLatin1String("--screen")) {
            if (!value(&v))
                return fail(QStringLiteral("--screen needs a size such as 240x320"));
            const QStringList wh = v.toLower().split(QLatin1Char('x'));
            bool okW = false, okH = false;
            const QSize size = wh.size() == 2 ? QSize(wh[0].toInt(&okW), wh[1].toInt(&okH)) : QSize();
            if (!okW || !okH || !IsSupportedScreenSize(size))
                return fail(QStringLiteral("--screen: unsupported screen size \"%1\"").arg(v));
            o.screen = size;
        } else if (a == QLatin1String("--dpi")) {
            if (!value(&v) || (v != QLatin1String("96") && v != QLatin1String("192")))
                return fail(QStringLiteral("--dpi must be 96 or 192"));
            o.dpi = v.toInt();
        } else if (a == QLatin1String("--data")) {
            if (!value(&o.dataDir))
                return fail(QStringLiteral("--data needs a folder"));
        } else if (a == QLatin1String("--documents")) {
            if (!value(&o.documentsDir))
                return fail(QStringLiteral("--documents needs a folder"));
        } else if (a == QLatin1String("--config")) {
            if (!value(&o.configFile))
                return fail(QStringLiteral("--config needs a file"));
        } else if (a == QLatin1String("--quit-after")) {
            bool ok = false;
            if (!value(&v) || (o.quitAfterMs = v.toInt(&ok), !ok) || o.quitAfterMs < 0)
                return fail(QStringLiteral("--quit-after needs milliseconds"));
        } else if (a == QLatin1String("--driving-mode")) {
            o.drivingMode = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return fail(QStringLiteral("unknown option \"%1\"").arg(a));
        } else if (o.settingsFile.isEmpty()) {
            o.settingsFile = a;
        } else {
            return fail(QStringLiteral("more than one settings file: \"%1\"").arg(a));
        }
    }
    return o;
}

const Options& options() { return g_options; }

void setOptions(const Options& options) { g_options = options; }

} // namespace platform
