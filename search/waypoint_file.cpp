#include "search/waypoint_file.h"

#include "foundation/path_helpers.h"
#include "platform/archive.h"
#include "platform/file_writer.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <optional>

namespace kwp {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

// The bytes a text field may hold: the blank, the Cyrillic letters, the ASCII
// letters, digits and punctuation, and a few typographic signs.
const std::array<bool, 256>& FileTextBytes()
{
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t {};
        for (int b = 0x20; b < 0x7F; ++b)
            t[static_cast<size_t>(b)] = true;
        for (int b = 0xC0; b <= 0xFF; ++b)
            t[static_cast<size_t>(b)] = true;
        const std::string signs
            = platform::EncodeWindows1251(QString::fromUtf16(u"„…†‡‰‹‘’“”•–—™›¤¦§Ё©Є«®°±ё№»"));
        for (const char c : signs)
            t[static_cast<uint8_t>(c)] = true;
        return t;
    }();
    return table;
}

void Append(std::string& out, std::string_view text)
{
    out += text;
    out += kSeparator;
}

// printf-style numbers whatever the program's locale: the file always has a
// decimal point.
std::string Fixed(double value, int decimals)
{
    std::array<char, 64> buffer;
    const auto [end, error] = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(buffer.data(), end) : std::string("0");
}

std::string Padded(long long value, int width)
{
    std::array<char, 32> buffer;
    std::snprintf(buffer.data(), buffer.size(), "%0*lld", width, value);
    return buffer.data();
}

// Degrees, then minutes as "%06.3f".
std::string AngleField(const CGeoAngle& angle, int degreeDigits, char& hemisphere)
{
    int degrees = 0;
    double minutes = 0.0;
    angle.ToDegMin(degrees, minutes, hemisphere);
    std::string text = Padded(degrees, degreeDigits);
    const std::string m = Fixed(minutes, 3);
    text.append(m.size() < 6 ? 6 - m.size() : 0, '0');
    return text + m;
}

void AppendTime(std::string& out, int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local {};
    if (localtime_r(&t, &local) == nullptr)
        local = std::tm {};
    Append(out, Padded(local.tm_hour, 2) + Padded(local.tm_min, 2) + Padded(local.tm_sec, 2));
    Append(out, Padded(local.tm_mday, 2) + Padded(local.tm_mon + 1, 2) + Padded(local.tm_year + 1900, 4));
}

// ------------------------------------------------------------------ reading

// One record's fields, each up to its separator, none past the record's end.
class FieldReader {
public:
    explicit FieldReader(std::string_view record)
        : m_rest(record)
    {
    }
    // The next field; none when its separator is missing.
    std::optional<std::string_view> Next()
    {
        const size_t end = m_rest.find(kSeparator);
        if (end == std::string_view::npos)
            return std::nullopt;
        const std::string_view field = m_rest.substr(0, end);
        m_rest.remove_prefix(end + 1);
        return field;
    }

private:
    std::string_view m_rest;
};

// The leading digits of at most `width` characters; -1 when there are none.
int Digits(std::string_view text, size_t width)
{
    text = text.substr(0, width);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end != text.data() ? value : -1;
}

// A decimal number, with a point or a comma; none when the text is not one.
std::optional<double> Number(std::string_view text)
{
    std::string copy(text);
    std::replace(copy.begin(), copy.end(), ',', '.');
    double value = 0.0;
    const auto [end, error] = std::from_chars(copy.data(), copy.data() + copy.size(), value);
    if (error != std::errc() || end != copy.data() + copy.size())
        return std::nullopt;
    return value;
}

struct Angle {
    int degrees = 0;
    double minutes = 0.0;
    char hemisphere = 0;
    bool ok = false;
};

// Degrees of `degreeDigits` characters, then the minutes; an empty number is
// 0 degrees 0 minutes, so that the hemisphere letter alone decides.
Angle ParseAngle(std::string_view number, std::string_view hemisphere, size_t degreeDigits)
{
    Angle a;
    a.hemisphere = hemisphere.size() == 1 ? hemisphere[0] : 0;
    if (number.empty()) {
        a.ok = true;
        return a;
    }
    a.degrees = Digits(number, degreeDigits);
    const std::optional<double> minutes
        = number.size() > degreeDigits ? Number(number.substr(degreeDigits)) : std::optional<double>(0.0);
    a.ok = a.degrees >= 0 && minutes && *minutes >= 0.0 && *minutes <= 60.0;
    a.minutes = minutes.value_or(0.0);
    return a;
}

// A time field and its date field into local seconds; none leaves the time as it is.
std::optional<int64_t> ParseTime(std::string_view time, std::string_view date)
{
    if (time.empty() || date.empty())
        return std::nullopt;
    auto ranged = [](int value, int least, int most, int otherwise) {
        return value < least || value > most ? otherwise : value;
    };
    std::tm local {};
    local.tm_hour = ranged(Digits(time, 2), 0, 23, 4);
    local.tm_min = ranged(Digits(time.substr(std::min<size_t>(2, time.size())), 2), 0, 59, 0);
    local.tm_sec = ranged(Digits(time.substr(std::min<size_t>(4, time.size())), 2), 0, 59, 0);
    local.tm_mday = ranged(Digits(date, 2), 1, 31, 1);
    local.tm_mon = ranged(Digits(date.substr(std::min<size_t>(2, date.size())), 2), 1, 12, 1) - 1;
    local.tm_year = ranged(Digits(date.substr(std::min<size_t>(4, date.size())), 4), 1970, 2038, 1970) - 1900;
    local.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&local));
}

CWaypoint ParseRecord(std::string_view record)
{
    CWaypoint w;
    FieldReader fields(record);
    const auto latitude = fields.Next();
    const auto north = fields.Next();
    const auto longitude = fields.Next();
    const auto east = fields.Next();
    if (!east)
        return w;
    const Angle lat = ParseAngle(*latitude, *north, 2);
    const Angle lon = ParseAngle(*longitude, *east, 3);
    if (lat.ok && lon.ok)
        w.m_position.SetFromNmea(
            lat.degrees, lat.minutes, lat.hemisphere, lon.degrees, lon.minutes, lon.hemisphere);

    auto text = [](std::string_view field) {
        const QString t = FromFileText(field);
        return t.isEmpty() ? QStringLiteral(" ") : t;
    };
    const auto name = fields.Next();
    if (!name)
        return w;
    w.m_name = text(*name);
    const auto type = fields.Next();
    if (!type)
        return w;
    w.m_type = text(*type);
    for (int64_t* time : { &w.m_firstTime, &w.m_secondTime }) {
        const auto clock = fields.Next();
        const auto date = clock ? fields.Next() : std::nullopt;
        if (!date)
            return w;
        if (const auto seconds = ParseTime(*clock, *date))
            *time = *seconds;
    }
    const auto altitude = fields.Next();
    if (!altitude)
        return w;
    w.m_altitude = Number(*altitude).value_or(0.0);
    // Only an absolute path: a backslash on the device, a slash here.
    const auto sound = fields.Next();
    if (sound && !sound->empty() && ((*sound)[0] == '\\' || (*sound)[0] == '/'))
        w.m_soundPath = FromFileText(*sound);
    return w;
}

} // namespace

std::string ToFileText(const QString& text)
{
    std::string bytes = platform::EncodeWindows1251(text);
    for (char& c : bytes) {
        if (c == kSeparator || static_cast<uint8_t>(c) < 0x20)
            c = ' ';
    }
    return bytes;
}

QString FromFileText(std::string_view text)
{
    const std::array<bool, 256>& allowed = FileTextBytes();
    std::vector<uint8_t> kept;
    kept.reserve(text.size());
    for (const char c : text) {
        if (allowed[static_cast<uint8_t>(c)])
            kept.push_back(static_cast<uint8_t>(c));
    }
    return platform::DecodeWindows1251(kept);
}

std::string FormatRecord(const CWaypoint& waypoint)
{
    std::string out { kCR, kLF };
    if (waypoint.m_position.IsValid()) {
        char north = 'N';
        char east = 'E';
        Append(out, AngleField(waypoint.m_position.GetLatitude(), 2, north));
        Append(out, std::string_view(&north, 1));
        Append(out, AngleField(waypoint.m_position.GetLongitude(), 3, east));
        Append(out, std::string_view(&east, 1));
    } else {
        out.append(4, kSeparator);
    }
    Append(out, ToFileText(waypoint.m_name));
    Append(out, ToFileText(waypoint.m_type));
    AppendTime(out, waypoint.m_firstTime);
    AppendTime(out, waypoint.m_secondTime);
    Append(out, Fixed(waypoint.m_altitude, 1));
    if (waypoint.m_soundPath.size() <= kMaxSoundPath)
        Append(out, ToFileText(waypoint.m_soundPath));
    return out;
}

void Encode(std::string& bytes, int mode)
{
    if (mode != kEncodedMode)
        return;
    for (char& c : bytes)
        c = static_cast<char>(static_cast<uint8_t>(c) - kShift);
}

void Decode(std::span<uint8_t> bytes, int mode)
{
    if (mode != kEncodedMode)
        return;
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(b + kShift);
}

std::vector<CWaypoint> ParseRecords(std::span<const uint8_t> decoded, const QString& filePath)
{
    const std::string_view text(reinterpret_cast<const char*>(decoded.data()), decoded.size());
    std::vector<CWaypoint> records;
    for (size_t cr = text.find(kCR); cr != std::string_view::npos;) {
        // The record runs from two bytes after its CR to the next CR: a damaged
        // record never takes fields from the one after it.
        const size_t start = std::min(cr + 2, text.size());
        const size_t next = text.find(kCR, start);
        CWaypoint w = ParseRecord(text.substr(start, next == std::string_view::npos ? next : next - start));
        w.m_filePath = filePath;
        records.push_back(std::move(w));
        cr = next;
    }
    return records;
}

std::string FormatFile(std::vector<CWaypoint>& waypoints, const QString& filePath, int mode)
{
    std::string file;
    for (CWaypoint& w : waypoints) {
        w.m_filePath = filePath;
        std::string record = FormatRecord(w);
        Encode(record, mode);
        file += record;
    }
    return file;
}

} // namespace kwp

int CWaypointList::SaveFile(const QString& path, int mode)
{
    const std::string bytes = kwp::FormatFile(m_waypoints, path, mode);
    return platform::WriteFileAtomically(
               platform::DevicePathToLocal(path).toStdString(), bytes.data(), bytes.size())
        ? 1
        : 0;
}

int CWaypointList::LoadFile(const QString& path, int mode)
{
    QFile file(platform::DevicePathToLocal(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kwp::kMaxFileSize)
        return 0;
    QByteArray bytes = file.readAll();
    if (bytes.isEmpty() || file.error() != QFileDevice::NoError)
        return 0;
    std::span<uint8_t> decoded(reinterpret_cast<uint8_t*>(bytes.data()), static_cast<size_t>(bytes.size()));
    kwp::Decode(decoded, mode);
    if (decoded[0] != '\r')
        return 0;
    for (CWaypoint& w : kwp::ParseRecords(decoded, path)) {
        // A waypoint the current map cannot place is kept all the same, shown
        // as beyond the map, so that the next save does not lose it.
        if (Add(w) < 0) {
            w.m_address.clear();
            Append(w);
        }
    }
    return 1;
}

int CWaypointList::LoadFolder(const QString& folder, const QString& mask, int mode)
{
    const QDir dir(platform::DevicePathToLocal(folder));
    const bool separated = folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/'));
    const QString prefix = separated ? folder : folder + QLatin1Char('/');
    for (const QString& name : dir.entryList({ mask }, QDir::Files, QDir::Unsorted)) {
        if (LoadFile(prefix + name, mode) == 0)
            return 0;
    }
    return 1;
}

QString GetDefaultWaypointFilePath() { return GetProgramFolder() + QStringLiteral("waypoints.kwp"); }

void LoadDefaultWaypoints(CWaypointList& list)
{
    const QString path = GetDefaultWaypointFilePath();
    list.SetDefaultFileUnread(false);
    if (!FileOrFolderExists(path, QStringLiteral("kwp")))
        return;
    list.RemoveAll();
    if (list.LoadFile(path, kwp::kEncodedMode) == 0) {
        list.RemoveAll();
        list.SetDefaultFileUnread(QFileInfo(path).size() > 0);
    }
}

int SaveDefaultWaypoints(CWaypointList& list)
{
    QString path = GetDefaultWaypointFilePath();
    const QString local = platform::DevicePathToLocal(path);
    if (list.IsDefaultFileUnread() && QFileInfo::exists(local)) {
        if (list.GetWaypointCount() == 0)
            return 1;
        // What could not be read at start-up may still be worth something.
        QString aside = local;
        MakeNumberedFileName(aside);
        if (!QFile::rename(local, aside))
            return 0;
        list.SetDefaultFileUnread(false);
    }
    if (list.GetWaypointCount() == 0) {
        QFile::remove(local);
        return 1;
    }
    return list.SaveFile(path, kwp::kEncodedMode);
}
