#include "settings/settings_file.h"

#include "app/device_config.h"
#include "controls/command_registry.h"
#include "foundation/resource_dll.h"
#include "gps/bluetooth_control.h"
#include "gps/gps_source.h"
#include "platform/paths.h"
#include "settings/settings_body.h"
#include "settings/settings_record.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

const char16_t kSignature[] = u"Orvantis Kestrin HhYR83724Jh485Jbfu48J93374jn9d9nr83Huihkenhmckjeliwnhijrsr";
// A header longer than the signature and a version of this many digits is no header.
constexpr qsizetype kMaxVersionDigits = 9;

const QString kObsoleteTag = QStringLiteral("cLs");
// The smallest entry of the "cLs" section: three integers, an empty string, an integer.
constexpr size_t kObsoleteEntryBytes = 4 + 4 + 4 + 1 + 4;
// Column layouts: more values than this are no list's.
constexpr int32_t kMaxColumnValues = 256;
constexpr uint32_t kColumnCountLimit = 1073741823;

void LeaveDrivingMode()
{
    if (g_CommandRegistry && g_CommandRegistry->IsChecked(CMD_DRIVING_MODE))
        g_CommandRegistry->Execute(CMD_DRIVING_MODE);
}

} // namespace

// --------------------------------------------------------------- header and records

QString SettingsFileSignature() { return QString::fromUtf16(kSignature); }

QString SettingsFileHeader(int32_t version) { return SettingsFileSignature() + QString::number(version); }

int32_t ParseSettingsFileHeader(const QString& header)
{
    const QString signature = SettingsFileSignature();
    if (header.size() > signature.size() + kMaxVersionDigits
        || !header.startsWith(signature, Qt::CaseSensitive))
        return 0;
    int64_t version = 0;
    for (qsizetype i = signature.size();
         i < header.size() && header[i].isDigit() && header[i].unicode() < 128; ++i)
        version = version * 10 + (header[i].unicode() - u'0');
    if (version < kOldestSettingsVersion || version > INT32_MAX)
        return 0;
    return static_cast<int32_t>(version);
}

bool IsSettingsFilePath(const QString& path)
{
    const QString name = QFileInfo(QString(path).replace(u'\\', u'/')).fileName();
    return name.size() > 4 && name.endsWith(QStringLiteral(".kns"), Qt::CaseInsensitive);
}

void WritePosition(platform::Archive& archive, const CGeoPos& position)
{
    // An invalid position is written as zeros, whatever its angles hold.
    const bool valid = position.IsValid();
    archive.WriteDouble(valid ? position.GetLongitude().GetRadians() : 0.0);
    archive.WriteDouble(valid ? position.GetLatitude().GetRadians() : 0.0);
    archive.WriteUInt8(valid ? 1 : 0);
}

CGeoPos ReadPosition(platform::Archive& archive, int32_t version)
{
    CGeoPos position;
    if (version < kFirstPositionRecordVersion) {
        const int32_t lonDegrees = archive.ReadInt32();
        const double lonMinutes = archive.ReadDouble();
        const char lonLetter = static_cast<char>(archive.ReadUInt8());
        const int32_t latDegrees = archive.ReadInt32();
        const double latMinutes = archive.ReadDouble();
        const char latLetter = static_cast<char>(archive.ReadUInt8());
        if (std::isfinite(lonMinutes) && std::isfinite(latMinutes))
            position.SetFromNmea(latDegrees, latMinutes, latLetter, lonDegrees, lonMinutes, lonLetter);
        return position;
    }
    const double longitude = archive.ReadDouble();
    const double latitude = archive.ReadDouble();
    if (archive.ReadUInt8() & 1)
        position.SetChecked(latitude, longitude, true);
    return position;
}

void WriteColumnLayout(platform::Archive& archive, const std::vector<int32_t>& layout)
{
    archive.WriteInt32(static_cast<int32_t>(layout.size()));
    for (const int32_t value : layout)
        archive.WriteInt32(value);
}

std::vector<int32_t> ReadColumnLayout(platform::Archive& archive)
{
    const uint32_t count = archive.ReadUInt32();
    // A count of 0, or one beyond what any writer wrote, empties the layout
    // and is all there is of it.
    if (count == 0 || count > kColumnCountLimit)
        return {};
    if (count > archive.Remaining() / 4)
        throw platform::ArchiveException("a column layout claims " + std::to_string(count) + " values");
    std::vector<int32_t> layout;
    for (uint32_t i = 0; i < count; ++i)
        layout.push_back(archive.ReadInt32());
    // No list has that many columns: the values are read past and forgotten.
    if (count > uint32_t(kMaxColumnValues))
        layout.clear();
    return layout;
}

void WriteListState(platform::Archive& archive, const SortState& state)
{
    archive.WriteInt32(state.column);
    archive.WriteUInt8(static_cast<uint8_t>(state.state));
}

SortState ReadListState(platform::Archive& archive)
{
    SortState state;
    const int32_t column = archive.ReadInt32();
    const uint8_t order = archive.ReadUInt8();
    state.column = column >= -1 ? column : -1;
    state.state = order <= 2 ? order : 0;
    return state;
}

void WriteObsoleteSection(platform::Archive& archive)
{
    archive.WriteString(kObsoleteTag);
    archive.WriteInt32(0);
    archive.WriteInt32(0);
    archive.WriteInt32(0);
}

void SkipObsoleteSection(platform::Archive& archive)
{
    if (archive.ReadString() != kObsoleteTag)
        return;
    archive.ReadInt32();
    archive.ReadInt32();
    const int32_t count = archive.ReadInt32();
    if (count < 0 || size_t(count) > archive.Remaining() / kObsoleteEntryBytes)
        throw platform::ArchiveException("the \"cLs\" section claims " + std::to_string(count) + " entries");
    for (int32_t i = 0; i < count; ++i) {
        archive.ReadInt32();
        archive.ReadInt32();
        archive.ReadInt32();
        archive.ReadString();
        archive.ReadInt32();
    }
}

double EncodeMainRoutePointsLevel(double level) { return level * 65.0 - 15.0; }

double EncodeMainRoutePointsLevelOld(double level) { return (level - 1.0) * 90.0; }

double DecodeMainRoutePointsLevel(double stored) { return std::clamp(stored + 15.0, 0.0, 65.0) / 65.0; }

// --------------------------------------------------------------- reading and writing

int CSettingsFile::WriteBody(platform::Archive& archive)
{
    StoreSettingsBody(archive, CaptureSettings());
    return 1;
}

bool CSettingsFile::Write(const QString& path)
{
    LeaveDrivingMode();
    if (!IsSettingsFilePath(path))
        return false;
    platform::Archive archive;
    archive.WriteString(SettingsFileHeader(GetProgramVersionNumber()));
    WriteBody(archive);
    if (!archive.SaveToFile(platform::DevicePathToLocal(path).toStdString()))
        return false;
    m_path = path;
    if (m_unreadPath == path)
        m_unreadPath.clear();
    return true;
}

int CSettingsFile::ReadBody(platform::Archive& archive, int32_t version)
{
    SettingsBody body = CaptureSettings();
    SetPreReadValues(body);
    try {
        LoadSettingsBody(archive, version, body);
    } catch (const platform::ArchiveException&) {
        return 0;
    }
    ApplySettings(body);
    return 1;
}

int CSettingsFile::ReadFile(const QString& path, bool* accepted)
{
    *accepted = false;
    if (!IsSettingsFilePath(path))
        return 0;
    QFile file(platform::DevicePathToLocal(path));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly) || file.size() == 0
        || file.size() > kLargestSettingsFile)
        return 0;
    // The size was checked: a file that grows meanwhile is read no further.
    const QByteArray bytes = file.read(file.size());
    if (bytes.isEmpty())
        return 0;
    platform::Archive archive(
        std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())));
    QString header;
    try {
        header = archive.ReadString();
    } catch (const platform::ArchiveException&) {
        return 0;
    }
    const int32_t version = ParseSettingsFileHeader(header);
    if (version == 0)
        return 0;
    *accepted = true;
    const int whole = ReadBody(archive, version);
    if (whole) {
        m_path = path;
        if (m_unreadPath == path)
            m_unreadPath.clear();
    }
    FinishRead();
    return whole;
}

int CSettingsFile::Read(const QString& path)
{
    bool accepted = false;
    return ReadFile(path, &accepted);
}

int CSettingsFile::Open(const QString& path)
{
    LeaveDrivingMode();
    return Read(path);
}

void CSettingsFile::FinishRead()
{
    SetActiveSyncAutoConnect(g_activeSyncOff ? 0 : 1);
    LoadAutoBtSetting();
    g_bluetoothControl.Destroy();
    g_bluetoothControl.Create(m_autoBluetooth.load() == 1);
    if (g_gpsSource)
        g_gpsSource->OpenPort(g_gpsSourceNumber, g_gpsBaudRate);
}
