// Every receiver log of the shared data set read by the program's NMEA reader,
// compared with what the reference daemon decoded from the same log (the
// .chk beside it): the fix of the last cycle the daemon reported.
#include "gps/nmea_reader.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

namespace {

const QString kLogFolder = QStringLiteral(TRAVENOR_SHARED_DATA_DIR "/nmea");

// What the daemon reported last: its final TPV and the sky view before it.
struct Reference {
    QJsonObject tpv;
    int used = -1;
};

Reference ReadReference(const QString& path)
{
    QFile file(path);
    Reference ref;
    if (!file.open(QIODevice::ReadOnly))
        return ref;
    int used = -1;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (!line.startsWith('{'))
            continue;
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object["class"] == QLatin1String("SKY") && object.contains("satellites")) {
            used = 0;
            for (const QJsonValue satellite : object["satellites"].toArray())
                used += satellite.toObject()["used"].toBool() ? 1 : 0;
        } else if (object["class"] == QLatin1String("TPV")) {
            ref.tpv = object;
            ref.used = used;
        }
    }
    return ref;
}

int SecondOfDay(const GpsCalendarTime& t) { return t.hour * 3600 + t.minute * 60 + t.second; }

// The differences a log is known to have, field by field, with the reason.
struct Known {
    const char* log;
    std::set<std::string> fields;
    const char* reason;
};

// clang-format off
const Known kKnown[] = {
    { "beidou-bd.log", { "used" }, "GGA says 7 in use (its GPS and BeiDou GSA sentences list 4 + 3); the daemon marks 5 used" },
    { "garmin17n.log", { "used" }, "GGA and GSA say 10 in use; the daemon marks 6 used" },
    { "geos-1m.log", { "used" }, "GGA and GSA say 5 in use; the daemon marks none used" },
    { "haicom-305N.log", { "used" }, "GGA says 6 in use, the GSA of the same cycle lists 8" },
    { "navika-100-fix.log", { "used" }, "GGA and GSA say 5 in use; the daemon marks 4 used" },
    { "nl2008u.log", { "used" }, "GGA caps the count at 12; the GPS and GLONASS GSA sentences list 8 + 8" },
    { "neo-m8n.log", { "used" }, "GGA caps the count at 12; the GPS and GLONASS GSA sentences list 9 + 4" },
    { "ublox-8.log", { "used" }, "GGA caps the count at 12; the GPS and GLONASS GSA sentences list 8 + 5" },
    { "ublox-zed-f9p-nmea.log", { "used" }, "GGA caps the count at 12; the daemon marks 17 used from the GSA of four systems" },
    { "sirfstarv-nmea.log", { "used" }, "its GGA comes from the GLONASS talker and says 6; the GSA sentences list 10 + 6" },
    { "skytraq-fix.log", { "used" }, "its GGA sentences run to 87 characters, past the 82 the standard allows, and are refused; only they carry the count" },
    { "tn204.log", { "used", "speed" }, "GGA says 2 in use, GSA lists 4; the last report comes from a GGA between RMCs two seconds apart, so the daemon derives a speed from positions where the receiver's last RMC says 0" },
    { "bt451.log", { "position", "speed" }, "a 2 Hz receiver: the fix keeps whole seconds, so 14:33:08 ends with the half-second RMC that the daemon has not reported yet" },
    { "hemi.log", { "speed" }, "no RMC: VTG says 0.03 knots, the daemon derives its speed from successive positions" },
    { "mr-350p.log", { "speed" }, "no RMC or VTG: the receiver sends no speed; the daemon derives one from successive positions" },
    { "rst39.log", { "speed" }, "the last cycle has GGA but no RMC: the daemon derives its speed from positions, the fix keeps the last RMC's" },
    { "tr737A+.log", { "speed" }, "the last cycle has GGA but no RMC: the daemon derives its speed from positions, the fix keeps the last RMC's" },
};
// clang-format on

// The fields in which the reader's fix differs from the daemon's last report.
std::set<std::string> Differences(const QString& name)
{
    const Reference ref = ReadReference(kLogFolder + "/" + name + ".chk");
    QFile file(kLogFolder + "/" + name);
    if (ref.tpv.isEmpty() || !file.open(QIODevice::ReadOnly))
        return { "unreadable" };
    const QByteArray bytes = file.readAll();

    // Line by line, keeping the fix as it stood at the end of each second:
    // the daemon reports a cycle only when the next one begins, so its last
    // report may be a second behind the end of the log.
    CNmeaReader reader;
    CGpsFix fix;
    fix.m_sentenceInterval = 1;
    ResetGpsFix(fix);
    std::map<int, CGpsFix> bySecond;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        reader.Feed(std::string_view(bytes.constData() + start, static_cast<size_t>(end - start)), fix);
        bySecond[SecondOfDay(fix.GetUtcTime())] = fix;
        start = end;
    }

    // A report without a time (no fix) stands for the end of the log.
    const QString time = ref.tpv["time"].toString();
    if (time.size() >= 19) {
        const auto at = bySecond.find(
            time.mid(11, 2).toInt() * 3600 + time.mid(14, 2).toInt() * 60 + time.mid(17, 2).toInt());
        if (at == bySecond.end())
            return { "time" };
        fix = at->second;
    }
    std::set<std::string> differ;
    constexpr double kDegrees = 180.0 / 3.141592653589793;
    if ((fix.m_status == 'A') != (ref.tpv["mode"].toInt() >= 2))
        differ.insert("status");
    if (ref.tpv.contains("lat")
        && (std::abs(fix.GetLatitude().GetRadians() * kDegrees - ref.tpv["lat"].toDouble()) > 1e-8
            || std::abs(fix.GetLongitude().GetRadians() * kDegrees - ref.tpv["lon"].toDouble()) > 1e-8))
        differ.insert("position");
    // The daemon gives metres per second to three decimals.
    if (ref.tpv.contains("speed")
        && std::abs(fix.m_speedKnots * 0.514444 - ref.tpv["speed"].toDouble()) > 0.001)
        differ.insert("speed");
    if (ref.tpv.contains("track") && std::abs(fix.m_course - ref.tpv["track"].toDouble()) > 1e-4)
        differ.insert("track");
    if (ref.used >= 0 && fix.m_satellitesUsed != ref.used)
        differ.insert("used");
    return differ;
}

TEST(NmeaLogs, FinalFixesMatchTheReferenceDecodes)
{
    const QStringList logs = QDir(kLogFolder).entryList({ QStringLiteral("*.log") }, QDir::Files, QDir::Name);
    ASSERT_GE(logs.size(), 54) << "the shared NMEA logs are missing from " << kLogFolder.toStdString();
    std::map<std::string, const Known*> known;
    for (const Known& k : kKnown)
        known[k.log] = &k;
    for (const QString& name : logs) {
        SCOPED_TRACE(name.toStdString());
        const std::set<std::string> differ = Differences(name);
        const auto k = known.find(name.toStdString());
        const std::set<std::string> expected = k == known.end() ? std::set<std::string>() : k->second->fields;
        std::string listed;
        for (const std::string& field : differ)
            listed += field + " ";
        EXPECT_EQ(differ, expected) << "fields that differ: " << listed
                                    << (k == known.end() ? "" : std::string("; known: ") + k->second->reason);
    }
}

} // namespace
