#include "platform/registry.h"

#include "platform/file_writer.h"
#include "platform/options.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <optional>

namespace platform {

namespace {

constexpr std::array<const char*, 3> kRootNames { "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",
    "HKEY_CLASSES_ROOT" };

QString RootName(RegRoot root) { return QString::fromLatin1(kRootNames[static_cast<size_t>(root)]); }

QString Fold(const QString& path) { return path.toCaseFolded(); }

// Components of a backslash-separated path; empty ones (a leading or doubled
// backslash) are dropped.
QStringList Components(const QString& path) { return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts); }

QString FullPath(RegRoot root, const QString& path)
{
    QString full = RootName(root);
    for (const QString& c : Components(path))
        full += QLatin1Char('\\') + c;
    return full;
}

QString Escape(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads one line of the file from `pos`; on failure says why.
class LineParser {
public:
    explicit LineParser(const QString& line)
        : m_line(line)
    {
    }

    bool AtEnd() const { return m_pos >= m_line.size(); }
    bool Skip(QLatin1String text)
    {
        if (!m_line.mid(m_pos).startsWith(text, Qt::CaseInsensitive))
            return false;
        m_pos += text.size();
        return true;
    }
    bool Peek(char c) const { return !AtEnd() && m_line[m_pos] == QLatin1Char(c); }

    std::optional<QString> Quoted()
    {
        if (!Skip(QLatin1String("\"")))
            return fail("a quotation mark expected");
        QString out;
        while (!AtEnd()) {
            const QChar c = m_line[m_pos++];
            if (c == QLatin1Char('"'))
                return out;
            if (c != QLatin1Char('\\')) {
                out += c;
                continue;
            }
            if (AtEnd())
                break;
            const QChar e = m_line[m_pos++];
            if (e == QLatin1Char('\\') || e == QLatin1Char('"'))
                out += e;
            else if (e == QLatin1Char('n'))
                out += QLatin1Char('\n');
            else if (e == QLatin1Char('r'))
                out += QLatin1Char('\r');
            else if (e == QLatin1Char('t'))
                out += QLatin1Char('\t');
            else if (e == QLatin1Char('x') && m_pos + 2 <= m_line.size() && HexDigit(m_line[m_pos]) >= 0
                && HexDigit(m_line[m_pos + 1]) >= 0) {
                out += QChar(char16_t(HexDigit(m_line[m_pos]) * 16 + HexDigit(m_line[m_pos + 1])));
                m_pos += 2;
            } else
                return fail("an unknown escape in a string");
        }
        return fail("a string without its closing quotation mark");
    }

    std::optional<RegValue> Value()
    {
        if (Peek('"')) {
            auto text = Quoted();
            if (!text)
                return std::nullopt;
            return RegValue::String(*text);
        }
        if (Skip(QLatin1String("dword:"))) {
            uint32_t v = 0;
            int digits = 0;
            for (; !AtEnd() && digits < 9; ++digits, ++m_pos) {
                const int d = HexDigit(m_line[m_pos]);
                if (d < 0)
                    break;
                v = (v << 4) | uint32_t(d);
            }
            if (digits == 0 || digits > 8)
                return failValue("a DWORD needs 1 to 8 hexadecimal digits");
            return RegValue::DWord(v);
        }
        if (Skip(QLatin1String("hex:"))) {
            QByteArray bytes;
            while (!AtEnd()) {
                if (!bytes.isEmpty() && !Skip(QLatin1String(",")))
                    return failValue("hexadecimal bytes are separated by commas");
                if (m_pos + 2 > m_line.size() || HexDigit(m_line[m_pos]) < 0
                    || HexDigit(m_line[m_pos + 1]) < 0)
                    return failValue("a byte needs two hexadecimal digits");
                bytes += char(HexDigit(m_line[m_pos]) * 16 + HexDigit(m_line[m_pos + 1]));
                m_pos += 2;
            }
            return RegValue::Binary(bytes);
        }
        return failValue("a value is \"text\", dword:hhhhhhhh or hex:hh,hh,...");
    }

    const QString& Why() const { return m_why; }

private:
    std::nullopt_t fail(const char* why)
    {
        m_why = QString::fromLatin1(why);
        return std::nullopt;
    }
    std::optional<RegValue> failValue(const char* why)
    {
        fail(why);
        return std::nullopt;
    }

    const QString& m_line;
    qsizetype m_pos = 0;
    QString m_why;
};

} // namespace

const char* ToString(RegResult result)
{
    switch (result) {
    case RegResult::Ok:
        return "ok";
    case RegResult::NotFound:
        return "not found";
    case RegResult::WrongType:
        return "wrong type";
    case RegResult::IoError:
        return "input/output error";
    case RegResult::Damaged:
        return "damaged file";
    case RegResult::InvalidArgument:
        return "invalid argument";
    }
    return "unknown";
}

bool RegValue::operator==(const RegValue& other) const
{
    if (type != other.type)
        return false;
    switch (type) {
    case RegType::DWord:
        return dword == other.dword;
    case RegType::String:
        return string == other.string;
    case RegType::Binary:
        return binary == other.binary;
    }
    return false;
}

// --- RegKey -----------------------------------------------------------------

RegResult RegKey::QueryValue(const QString& name, RegValue* value) const
{
    return m_registry ? m_registry->QueryValue(*this, name, value) : RegResult::InvalidArgument;
}

namespace {

// A query that answers only for a value of the wanted type.
template <typename T>
RegResult QueryTyped(const RegKey& key, const QString& name, RegType type, T RegValue::*field, T* out)
{
    RegValue v;
    const RegResult r = key.QueryValue(name, &v);
    if (r != RegResult::Ok)
        return r;
    if (v.type != type)
        return RegResult::WrongType;
    *out = v.*field;
    return r;
}

} // namespace

RegResult RegKey::QueryDword(const QString& name, uint32_t* value) const
{
    return QueryTyped(*this, name, RegType::DWord, &RegValue::dword, value);
}

RegResult RegKey::QueryString(const QString& name, QString* value) const
{
    return QueryTyped(*this, name, RegType::String, &RegValue::string, value);
}

RegResult RegKey::QueryBinary(const QString& name, QByteArray* value) const
{
    return QueryTyped(*this, name, RegType::Binary, &RegValue::binary, value);
}

RegResult RegKey::SetValue(const QString& name, const RegValue& value) const
{
    return m_registry ? m_registry->SetValue(*this, name, value) : RegResult::InvalidArgument;
}

RegResult RegKey::DeleteValue(const QString& name) const
{
    return m_registry ? m_registry->DeleteValue(*this, name) : RegResult::InvalidArgument;
}

RegResult RegKey::EnumKey(int index, QString* name) const
{
    return m_registry ? m_registry->EnumKey(*this, index, name) : RegResult::InvalidArgument;
}

// --- Registry ---------------------------------------------------------------

Registry::Registry(const QString& file) { Load(file); }

RegResult Registry::Load(const QString& file)
{
    std::lock_guard lock(m_mutex);
    m_file = file;
    m_keys.clear();
    for (RegRoot root : { RegRoot::HKLM, RegRoot::HKCU, RegRoot::HKCR })
        m_keys[Fold(RootName(root))] = Key { RootName(root), {} };
    m_readOnly = false;
    m_lastError.clear();
    m_loadResult = RegResult::Ok;

    QFile f(file);
    if (!f.exists())
        return m_loadResult;
    QByteArray contents;
    if (f.open(QIODevice::ReadOnly))
        contents = f.readAll();
    if (!f.isOpen() || f.error() != QFileDevice::NoError) {
        // Never replace a file we could not read: it may hold everything.
        m_readOnly = true;
        m_lastError = QStringLiteral("cannot read \"%1\": %2").arg(file, f.errorString());
        return m_loadResult = RegResult::IoError;
    }

    const QList<QByteArray> lines = contents.split('\n');
    Key* current = nullptr;
    int damagedLines = 0;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QByteArray bytes = lines[n];
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        if (n == 0 && bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = utf8(bytes);
        const QString trimmed = line.trimmed();
        QString why;
        if (utf8.hasError()) {
            why = QStringLiteral("not UTF-8 text");
        } else if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';'))
            || (n == 0 && trimmed == QLatin1String("REGEDIT4"))) {
            continue;
        } else if (trimmed.startsWith(QLatin1Char('['))) {
            const QStringList parts = Components(trimmed.mid(1, trimmed.size() - 2));
            qsizetype root = -1;
            for (size_t r = 0; r < kRootNames.size() && !parts.isEmpty(); ++r)
                if (parts[0].compare(QLatin1String(kRootNames[r]), Qt::CaseInsensitive) == 0)
                    root = qsizetype(r);
            if (!trimmed.endsWith(QLatin1Char(']')) || root < 0) {
                why = QStringLiteral("a key must be [HKEY_...\\path]");
                current = nullptr;
            } else {
                QString path = RootName(RegRoot(root));
                for (qsizetype i = 1; i < parts.size(); ++i) {
                    path += QLatin1Char('\\') + parts[i];
                    Key& key = m_keys[Fold(path)];
                    if (key.path.isEmpty())
                        key.path = path;
                }
                current = &m_keys[Fold(path)];
            }
        } else {
            LineParser p(trimmed);
            std::optional<QString> name;
            if (p.Skip(QLatin1String("@")))
                name = QString();
            else
                name = p.Quoted();
            std::optional<RegValue> value;
            if (name && !p.Skip(QLatin1String("=")))
                why = QStringLiteral("an equals sign expected after the value name");
            else if (name && (value = p.Value()) && !p.AtEnd())
                why = QStringLiteral("unexpected text after the value");
            else if (!name || !value)
                why = p.Why();
            else if (!current)
                why = QStringLiteral("a value outside any key");
            else {
                auto& values = current->values;
                auto it = std::find_if(values.begin(), values.end(),
                    [&](const Entry& e) { return e.name.compare(*name, Qt::CaseInsensitive) == 0; });
                if (it != values.end())
                    it->value = *value;
                else
                    values.push_back({ *name, *value });
                continue;
            }
        }
        if (!why.isEmpty()) {
            if (damagedLines++ == 0)
                m_lastError = QStringLiteral("\"%1\", line %2: %3: %4")
                                  .arg(file)
                                  .arg(n + 1)
                                  .arg(why, trimmed.left(80));
        }
    }
    if (damagedLines == 0)
        return m_loadResult;

    if (damagedLines > 1)
        m_lastError += QStringLiteral(" (and %1 more damaged line%2)")
                           .arg(damagedLines - 1)
                           .arg(damagedLines > 2 ? "s" : "");
    m_loadResult = RegResult::Damaged;
    if (SetAside(contents) == RegResult::Ok)
        Persist(m_keys);
    return m_loadResult;
}

// Keeps the damaged file as "<file>.damaged" (".damaged.2" and on when that
// exists), so that writing what parsed loses nothing of it.
RegResult Registry::SetAside(const QByteArray& contents)
{
    for (int n = 1; n <= 1000; ++n) {
        const QString aside
            = m_file + QStringLiteral(".damaged") + (n > 1 ? QStringLiteral(".%1").arg(n) : QString());
        if (QFileInfo::exists(aside))
            continue;
        std::string error;
        if (WriteNewFile(QFile::encodeName(aside).toStdString(), contents.constData(),
                size_t(contents.size()), &error)) {
            m_lastError += QStringLiteral("; the file is kept as \"%1\"").arg(aside);
            return RegResult::Ok;
        }
        m_lastError += QStringLiteral("; it cannot be kept aside (%1), so it is not overwritten")
                           .arg(QString::fromLocal8Bit(error.c_str()));
        break;
    }
    m_readOnly = true;
    return RegResult::IoError;
}

RegResult Registry::LoadResult() const
{
    std::lock_guard lock(m_mutex);
    return m_loadResult;
}

QString Registry::LastError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

QString Registry::FilePath() const
{
    std::lock_guard lock(m_mutex);
    return m_file;
}

QByteArray Registry::Serialize(const Keys& keys) const
{
    QString out = QStringLiteral("REGEDIT4\n");
    for (const auto& [folded, key] : keys) {
        const bool isRoot = !key.path.contains(QLatin1Char('\\'));
        if (isRoot && key.values.empty())
            continue;
        out += QLatin1String("\n[") + key.path + QLatin1String("]\n");
        for (const Entry& e : key.values) {
            out += e.name.isEmpty() ? QStringLiteral("@=")
                                    : QLatin1Char('"') + Escape(e.name) + QLatin1String("\"=");
            switch (e.value.type) {
            case RegType::DWord:
                out += QStringLiteral("dword:%1").arg(e.value.dword, 8, 16, QLatin1Char('0'));
                break;
            case RegType::String:
                out += QLatin1Char('"') + Escape(e.value.string) + QLatin1Char('"');
                break;
            case RegType::Binary:
                out += QLatin1String("hex:") + QString::fromLatin1(e.value.binary.toHex(','));
                break;
            }
            out += QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

bool Registry::Persist(const Keys& keys)
{
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    const QByteArray bytes = Serialize(keys);
    std::string error;
    if (WriteFileAtomically(
            QFile::encodeName(m_file).toStdString(), bytes.constData(), size_t(bytes.size()), &error))
        return true;
    m_lastError = QString::fromLocal8Bit(error.c_str());
    return false;
}

template <typename Change> RegResult Registry::Modify(Change change)
{
    std::lock_guard lock(m_mutex);
    Keys before = m_keys;
    bool changed = false;
    const RegResult result = change(m_keys, &changed);
    if (result != RegResult::Ok || !changed)
        return result;
    if (m_readOnly) {
        m_keys = std::move(before);
        m_lastError
            = QStringLiteral("\"%1\" could not be read or kept aside, so it is not overwritten").arg(m_file);
        return RegResult::IoError;
    }
    if (!Persist(m_keys)) {
        m_keys = std::move(before);
        return RegResult::IoError;
    }
    return RegResult::Ok;
}

RegResult Registry::Open(RegRoot root, const QString& path, RegKey* key)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_keys.find(Fold(FullPath(root, path)));
    if (it == m_keys.end())
        return RegResult::NotFound;
    if (key) {
        key->m_registry = this;
        key->m_root = root;
        key->m_path = it->second.path.section(QLatin1Char('\\'), 1);
    }
    return RegResult::Ok;
}

RegResult Registry::Create(RegRoot root, const QString& path, RegKey* key)
{
    const RegResult result = Modify([&](Keys& keys, bool* changed) {
        QString full = RootName(root);
        for (const QString& c : Components(path)) {
            full += QLatin1Char('\\') + c;
            Key& k = keys[Fold(full)];
            if (k.path.isEmpty()) {
                k.path = full;
                *changed = true;
            }
        }
        return RegResult::Ok;
    });
    if (result != RegResult::Ok)
        return result;
    return key ? Open(root, path, key) : result;
}

RegResult Registry::DeleteKey(RegRoot root, const QString& path)
{
    if (Components(path).isEmpty())
        return RegResult::InvalidArgument; // a root stays
    return Modify([&](Keys& keys, bool* changed) {
        const QString folded = Fold(FullPath(root, path));
        if (!keys.erase(folded))
            return RegResult::NotFound;
        const QString prefix = folded + QLatin1Char('\\');
        for (auto it = keys.lower_bound(prefix); it != keys.end() && it->first.startsWith(prefix);)
            it = keys.erase(it);
        *changed = true;
        return RegResult::Ok;
    });
}

RegResult Registry::QueryValue(const RegKey& key, const QString& name, RegValue* value)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_keys.find(Fold(FullPath(key.m_root, key.m_path)));
    if (it == m_keys.end())
        return RegResult::NotFound;
    for (const Entry& e : it->second.values)
        if (e.name.compare(name, Qt::CaseInsensitive) == 0) {
            if (value)
                *value = e.value;
            return RegResult::Ok;
        }
    return RegResult::NotFound;
}

RegResult Registry::SetValue(const RegKey& key, const QString& name, const RegValue& value)
{
    return Modify([&](Keys& keys, bool* changed) {
        const auto it = keys.find(Fold(FullPath(key.m_root, key.m_path)));
        if (it == keys.end())
            return RegResult::NotFound;
        *changed = true;
        for (Entry& e : it->second.values)
            if (e.name.compare(name, Qt::CaseInsensitive) == 0) {
                *changed = !(e.value == value);
                e.value = value;
                return RegResult::Ok;
            }
        it->second.values.push_back({ name, value });
        return RegResult::Ok;
    });
}

RegResult Registry::DeleteValue(const RegKey& key, const QString& name)
{
    return Modify([&](Keys& keys, bool* changed) {
        const auto it = keys.find(Fold(FullPath(key.m_root, key.m_path)));
        if (it == keys.end())
            return RegResult::NotFound;
        auto& values = it->second.values;
        const auto found = std::find_if(values.begin(), values.end(),
            [&](const Entry& e) { return e.name.compare(name, Qt::CaseInsensitive) == 0; });
        if (found == values.end())
            return RegResult::NotFound;
        values.erase(found);
        *changed = true;
        return RegResult::Ok;
    });
}

RegResult Registry::EnumKey(const RegKey& key, int index, QString* name)
{
    std::lock_guard lock(m_mutex);
    const QString folded = Fold(FullPath(key.m_root, key.m_path));
    if (!m_keys.count(folded))
        return RegResult::NotFound;
    const QString prefix = folded + QLatin1Char('\\');
    int i = 0;
    for (auto it = m_keys.lower_bound(prefix); it != m_keys.end() && it->first.startsWith(prefix); ++it) {
        if (it->first.indexOf(QLatin1Char('\\'), prefix.size()) >= 0)
            continue; // a deeper descendant
        if (i++ == index) {
            if (name)
                *name = it->second.path.section(QLatin1Char('\\'), -1);
            return RegResult::Ok;
        }
    }
    return RegResult::NotFound;
}

QString DefaultRegistryFile()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/Orvantis/Travenor Pro.ini");
}

Registry& registry()
{
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    const QString file = options().configFile.isEmpty() ? DefaultRegistryFile() : options().configFile;
    static Registry instance(file);
    if (instance.FilePath() != file)
        instance.Load(file);
    return instance;
}

} // namespace platform
