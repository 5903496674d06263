#include "tools/resgen/resource_table.h"

#include <QFile>
#include <QStringList>
#include <set>
#include <utility>

namespace resgen {

std::vector<int> ResourceEntry::ids() const
{
    std::vector<int> result;
    for (int step = 0; step < stepCount; ++step)
        result.push_back(id + step * stepSize);
    return result;
}

namespace {

// The data lines of a tab-separated table: comments and the header skipped,
// each with its 1-based line number for messages.
std::vector<std::pair<int, QStringList>> DataLines(const QString& text, const QString& headerStart)
{
    std::vector<std::pair<int, QStringList>> lines;
    const QStringList all = text.split(u'\n');
    for (int n = 0; n < all.size(); ++n) {
        QString line = all[n];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(headerStart))
            continue;
        lines.emplace_back(n + 1, line.split(u'\t'));
    }
    return lines;
}

std::optional<int> ParseInt(const QString& s, int min, int max)
{
    bool ok = false;
    const int v = s.toInt(&ok);
    if (!ok || v < min || v > max)
        return std::nullopt;
    return v;
}

// "WxH" with both sides 1..4096, or "-" (no size) when allowed.
std::optional<QSize> ParseSize(const QString& s)
{
    if (s == u"-")
        return QSize();
    const QStringList parts = s.split(u'x');
    if (parts.size() != 2)
        return std::nullopt;
    const auto w = ParseInt(parts[0], 1, 4096);
    const auto h = ParseInt(parts[1], 1, 4096);
    if (!w || !h)
        return std::nullopt;
    return QSize(*w, *h);
}

bool Fail(QString* error, int line, const QString& why)
{
    if (error)
        *error = QStringLiteral("line %1: %2").arg(line).arg(why);
    return false;
}

bool ParseEntry(int line, const QStringList& f, ResourceEntry* e, QString* error)
{
    if (f.size() != 10)
        return Fail(error, line, QStringLiteral("expected 10 fields, found %1").arg(f.size()));
    const auto id = ParseInt(f[0], 0, 65535);
    if (!id)
        return Fail(error, line, QStringLiteral("bad id \"%1\"").arg(f[0]));
    e->id = *id;
    if (f[1] == u"bmp")
        e->kind = Kind::Bitmap;
    else if (f[1] == u"wav")
        e->kind = Kind::Wave;
    else if (f[1] == u"strip")
        e->kind = Kind::GlyphStrip;
    else
        return Fail(error, line, QStringLiteral("unknown kind \"%1\"").arg(f[1]));
    if (f[2] == u"lib")
        e->module = Module::Library;
    else if (f[2] == u"program")
        e->module = Module::Program;
    else
        return Fail(error, line, QStringLiteral("unknown module \"%1\"").arg(f[2]));
    if (f[3] != u"-") {
        const QStringList steps = f[3].split(u'x');
        const auto count = steps.size() == 2 ? ParseInt(steps[0], 1, 8) : std::nullopt;
        const auto size = steps.size() == 2 ? ParseInt(steps[1], 1, 10000) : std::nullopt;
        if (!count || !size)
            return Fail(error, line, QStringLiteral("bad steps \"%1\"").arg(f[3]));
        e->stepCount = *count;
        e->stepSize = *size;
    }
    const auto qvga = ParseSize(f[4]);
    const auto vga = ParseSize(f[5]);
    if (!qvga || !vga)
        return Fail(error, line, QStringLiteral("bad size"));
    e->qvga = *qvga;
    e->vga = *vga;
    if (e->kind == Kind::Bitmap && (e->qvga.isEmpty() || e->vga.isEmpty()))
        return Fail(error, line, QStringLiteral("a bitmap needs a size in both classes"));
    if (f[6] != u"-") {
        const auto depth = ParseInt(f[6], 1, 32);
        if (!depth)
            return Fail(error, line, QStringLiteral("bad depth \"%1\"").arg(f[6]));
        e->depth = *depth;
    }
    if (e->kind == Kind::Bitmap && e->depth != 24)
        return Fail(error, line, QStringLiteral("bitmaps are written with 24 bits per pixel"));
    if (e->kind == Kind::Wave && e->depth != 16)
        return Fail(error, line, QStringLiteral("waves are written with 16-bit samples"));
    e->keyed = f[7] == u"magenta";
    e->meaning = f[8];
    e->recipe = f[9];
    return true;
}

} // namespace

std::optional<std::vector<ResourceEntry>> ParseResourceTable(const QString& text, QString* error)
{
    std::vector<ResourceEntry> entries;
    // A bitmap and a wave may share an id (they are different resource
    // types); within one type every id, press steps included, is unique.
    std::set<std::pair<bool, int>> seen;
    for (const auto& [line, fields] : DataLines(text, QStringLiteral("id\t"))) {
        ResourceEntry e;
        if (!ParseEntry(line, fields, &e, error))
            return std::nullopt;
        for (int id : e.ids()) {
            if (!seen.insert({ e.kind == Kind::Wave, id }).second) {
                Fail(error, line, QStringLiteral("id %1 listed twice").arg(id));
                return std::nullopt;
            }
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

std::optional<std::map<int, VoicePrompt>> ParseVoicePrompts(const QString& text, QString* error)
{
    std::map<int, VoicePrompt> prompts;
    for (const auto& [line, f] : DataLines(text, QStringLiteral("id\t"))) {
        if (f.size() != 4) {
            Fail(error, line, QStringLiteral("expected 4 fields, found %1").arg(f.size()));
            return std::nullopt;
        }
        const auto id = ParseInt(f[0], 0, 65535);
        if (!id || (f[1] != u"en" && f[1] != u"ru") || f[2].trimmed().isEmpty()) {
            Fail(error, line, QStringLiteral("bad prompt"));
            return std::nullopt;
        }
        if (!prompts.emplace(*id, VoicePrompt { *id, f[1], f[2] }).second) {
            Fail(error, line, QStringLiteral("id %1 listed twice").arg(*id));
            return std::nullopt;
        }
    }
    return prompts;
}

std::optional<QString> ReadTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

} // namespace resgen
