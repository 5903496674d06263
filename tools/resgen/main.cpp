// travenor_resgen: makes the program's pictures and voice prompts from the
// resource table, for both screen classes, into the data directory.
#include "tools/resgen/bmp_writer.h"
#include "tools/resgen/contact_sheet.h"
#include "tools/resgen/picture_painter.h"
#include "tools/resgen/resource_table.h"
#include "tools/resgen/wave_file.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

using namespace resgen;

namespace {

struct Folder {
    QString name; // "qvga", "vga", or "program": the program's own resources
    bool vgaSize; // pictures take the table's 192-dpi size
    int pixelsPerMetre;
};

const Folder kQvga { QStringLiteral("qvga"), false, 3780 };
const Folder kVga { QStringLiteral("vga"), true, 7559 };
const Folder kProgram { QStringLiteral("program"), false, 3780 };

int Fail(const QString& message)
{
    std::fprintf(stderr, "travenor_resgen: %s\n", qPrintable(message));
    return 1;
}

// Writes only when the contents change, so an unchanged picture keeps its
// time stamp and the build stays quiet.
bool WriteIfChanged(const QString& path, const QByteArray& bytes)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return true;
    existing.close();
    return WriteFileAtomically(path, bytes);
}

std::optional<std::map<QString, char32_t>> ReadIconCodes(const QString& path)
{
    const auto text = ReadTextFile(path);
    if (!text)
        return std::nullopt;
    std::map<QString, char32_t> codes;
    static const QRegularExpression entry(QStringLiteral("\"([a-z0-9_]+)\":\\s*([0-9a-fA-F]+)"));
    for (auto it = entry.globalMatch(*text); it.hasNext();) {
        const auto m = it.next();
        codes[m.captured(1)] = char32_t(m.captured(2).toUInt(nullptr, 16));
    }
    if (codes.empty())
        return std::nullopt;
    return codes;
}

QString LoadFontFamily(const QString& path)
{
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

std::optional<PcmSound> Speak(const QString& espeak, const VoicePrompt& prompt, QString* error)
{
    QProcess process;
    const QString voice = prompt.language == u"ru" ? QStringLiteral("ru") : QStringLiteral("en-gb");
    process.start(espeak,
        { QStringLiteral("-v"), voice, QStringLiteral("-s"), QStringLiteral("150"),
            QStringLiteral("--stdout"), prompt.text });
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        *error = QStringLiteral("%1 failed for prompt %2: %3")
                     .arg(espeak)
                     .arg(prompt.id)
                     .arg(QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
        return std::nullopt;
    }
    auto sound = ParseWave(process.readAllStandardOutput());
    if (!sound || sound->samples.empty()) {
        *error = QStringLiteral("%1 gave no 16-bit mono sound for prompt %2").arg(espeak).arg(prompt.id);
        return std::nullopt;
    }
    TrimSilence(&*sound, 300, sound->sampleRate / 20);
    return sound;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Makes the program's pictures (both screen classes) and voice prompts from the resource table."));
    parser.addHelpOption();
    const QCommandLineOption tableOpt(
        QStringLiteral("table"), QStringLiteral("resource table (tsv)"), "file");
    const QCommandLineOption voicesOpt(
        QStringLiteral("voices"), QStringLiteral("voice-prompt texts (tsv)"), "file");
    const QCommandLineOption outOpt(QStringLiteral("out"), QStringLiteral("data directory to fill"), "dir");
    const QCommandLineOption iconFontOpt(
        QStringLiteral("icon-font"), QStringLiteral("Material icon font"), "ttf");
    const QCommandLineOption iconCodesOpt(
        QStringLiteral("icon-codes"), QStringLiteral("icon name map (scss)"), "file");
    const QCommandLineOption textFontOpt(
        QStringLiteral("text-font"), QStringLiteral("font for letters"), "ttf");
    const QCommandLineOption espeakOpt(QStringLiteral("espeak"), QStringLiteral("espeak-ng program"),
        "program", QStringLiteral("espeak-ng"));
    const QCommandLineOption versionOpt(
        QStringLiteral("version"), QStringLiteral("resource version"), "text");
    const QCommandLineOption stampOpt(
        QStringLiteral("stamp"), QStringLiteral("file touched when done"), "file");
    const QCommandLineOption sheetOpt(QStringLiteral("contact-sheet"),
        QStringLiteral("also write OUT-qvga.png, OUT-vga.png and OUT-program.png"), "out.png");
    const QCommandLineOption noSoundOpt(QStringLiteral("no-sound"), QStringLiteral("skip the voice prompts"));
    parser.addOptions({ tableOpt, voicesOpt, outOpt, iconFontOpt, iconCodesOpt, textFontOpt, espeakOpt,
        versionOpt, stampOpt, sheetOpt, noSoundOpt });
    parser.process(app);
    for (const auto& required : { tableOpt, iconFontOpt, iconCodesOpt, textFontOpt }) {
        if (!parser.isSet(required))
            return Fail(QStringLiteral("--%1 is required (see --help)").arg(required.names().first()));
    }
    const bool sound = !parser.isSet(noSoundOpt);
    const QString outDir = parser.value(outOpt);
    if (outDir.isEmpty() && !parser.isSet(sheetOpt))
        return Fail(QStringLiteral("nothing to do: give --out and/or --contact-sheet"));
    if (!outDir.isEmpty() && parser.value(versionOpt).isEmpty())
        return Fail(QStringLiteral("--version is required with --out"));
    if (sound && !outDir.isEmpty() && !parser.isSet(voicesOpt))
        return Fail(QStringLiteral("--voices is required unless --no-sound"));

    QString error;
    const auto tableText = ReadTextFile(parser.value(tableOpt));
    if (!tableText)
        return Fail(QStringLiteral("cannot read %1").arg(parser.value(tableOpt)));
    const auto table = ParseResourceTable(*tableText, &error);
    if (!table)
        return Fail(parser.value(tableOpt) + QStringLiteral(": ") + error);
    std::map<int, VoicePrompt> prompts;
    if (sound && parser.isSet(voicesOpt)) {
        const auto voicesText = ReadTextFile(parser.value(voicesOpt));
        if (!voicesText)
            return Fail(QStringLiteral("cannot read %1").arg(parser.value(voicesOpt)));
        auto parsed = ParseVoicePrompts(*voicesText, &error);
        if (!parsed)
            return Fail(parser.value(voicesOpt) + QStringLiteral(": ") + error);
        prompts = std::move(*parsed);
    }

    PainterFonts fonts;
    fonts.iconFamily = LoadFontFamily(parser.value(iconFontOpt));
    fonts.textFamily = LoadFontFamily(parser.value(textFontOpt));
    if (fonts.iconFamily.isEmpty() || fonts.textFamily.isEmpty())
        return Fail(QStringLiteral("cannot load the fonts"));
    auto codes = ReadIconCodes(parser.value(iconCodesOpt));
    if (!codes)
        return Fail(QStringLiteral("cannot read icon names from %1").arg(parser.value(iconCodesOpt)));
    fonts.iconCodes = std::move(*codes);
    const PicturePainter painter(fonts);

    // Every symbol named by a recipe must exist before anything is written.
    static const QRegularExpression symbol(QStringLiteral("\\bmi:[a-z0-9_]+"));
    for (const ResourceEntry& e : *table) {
        for (auto it = symbol.globalMatch(e.recipe); it.hasNext();) {
            const QString name = it.next().captured(0);
            if (!painter.CanDrawSymbol(name))
                return Fail(QStringLiteral("id %1: the icon font has no symbol %2").arg(e.id).arg(name));
        }
    }

    std::map<QString, std::vector<SheetItem>> sheets;
    // The program's own resources lie in the "resources" folder itself, the
    // libraries of the two screen classes in its subfolders.
    const auto folderPath = [&](const Folder& f) {
        return outDir + QStringLiteral("/resources") + (f.name == kProgram.name ? QString() : u'/' + f.name);
    };
    if (!outDir.isEmpty()) {
        for (const Folder& f : { kQvga, kVga, kProgram }) {
            if (!QDir().mkpath(folderPath(f)))
                return Fail(QStringLiteral("cannot make %1").arg(folderPath(f)));
            if (!WriteIfChanged(
                    folderPath(f) + QStringLiteral("/version"), parser.value(versionOpt).toUtf8()))
                return Fail(QStringLiteral("cannot write the version file in %1").arg(folderPath(f)));
        }
    }

    for (const ResourceEntry& e : *table) {
        if (e.kind != Kind::Bitmap)
            continue;
        const std::vector<Folder> folders = e.module == Module::Program ? std::vector<Folder> { kProgram }
                                                                        : std::vector<Folder> { kQvga, kVga };
        for (const Folder& f : folders) {
            const QSize size = f.vgaSize ? e.vga : e.qvga;
            int step = 0;
            for (int id : e.ids()) {
                const auto picture = painter.Paint(e, step++, size, &error);
                if (!picture)
                    return Fail(error);
                const QByteArray bytes = EncodeBmp24(*picture, e.keyed, f.pixelsPerMetre);
                if (!outDir.isEmpty()
                    && !WriteIfChanged(folderPath(f) + QStringLiteral("/%1.bmp").arg(id), bytes))
                    return Fail(QStringLiteral("cannot write picture %1 in %2").arg(id).arg(folderPath(f)));
                if (parser.isSet(sheetOpt))
                    sheets[f.name].push_back({ id, QImage::fromData(bytes, "BMP") });
            }
        }
    }

    if (sound && !outDir.isEmpty()) {
        for (const ResourceEntry& e : *table) {
            if (e.kind != Kind::Wave)
                continue;
            std::optional<PcmSound> pcm;
            if (e.recipe == u"chime") {
                pcm = MakeChime(22050);
            } else {
                const auto prompt = prompts.find(e.id);
                if (prompt == prompts.end())
                    return Fail(QStringLiteral("wave %1 has no text in the voice table").arg(e.id));
                pcm = Speak(parser.value(espeakOpt), prompt->second, &error);
                if (!pcm)
                    return Fail(error);
            }
            if (!WriteIfChanged(folderPath(kProgram) + QStringLiteral("/%1.wav").arg(e.id), EncodeWave(*pcm)))
                return Fail(QStringLiteral("cannot write wave %1").arg(e.id));
        }
    }

    if (parser.isSet(sheetOpt)) {
        QString base = parser.value(sheetOpt);
        if (base.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
            base.chop(4);
        for (const auto& [name, items] : sheets) {
            const QString path = base + u'-' + name + QStringLiteral(".png");
            const int width = name == u"vga" ? 1800 : 1100;
            const QImage sheet = MakeContactSheet(
                QStringLiteral("Travenor Pro pictures: %1 (%2)").arg(name).arg(items.size()), items, width,
                fonts.textFamily);
            if (!sheet.save(path, "PNG"))
                return Fail(QStringLiteral("cannot write %1").arg(path));
        }
    }

    if (parser.isSet(stampOpt) && !WriteFileAtomically(parser.value(stampOpt), QByteArray("done\n")))
        return Fail(QStringLiteral("cannot write %1").arg(parser.value(stampOpt)));
    return 0;
}
