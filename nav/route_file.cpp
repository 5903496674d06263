#include "nav/route_file.h"

#include "foundation/resource_dll.h"
#include "kernel/api/map_geo.h"
#include "kernel/api/result_codes.h"
#include "nav/map_controller.h"
#include "nav/route.h"
#include "platform/archive.h"
#include "platform/file_writer.h"
#include "platform/paths.h"

#include <QFile>

namespace {

// Route files larger than this are not route files.
constexpr qint64 kLargestRouteFile = 1 << 16;

// The number the header's version characters spell: their leading digits, 0 when there are none.
int VersionOf(const QString& text)
{
    int version = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9' || version > 100000000)
            break;
        version = version * 10 + (c.unicode() - u'0');
    }
    return version;
}

} // namespace

QString RouteFileSignature()
{
    return QStringLiteral("Orvantis Kestrin JYHguYGuyGUHgkUy769_ifBLKU(rrJHItYHGHTRrdHJfgdRDjgf76tRIAo");
}

std::vector<uint8_t> WriteRouteFile(const RouteFileContents& contents)
{
    platform::Archive out;
    out.WriteUInt32(kRouteFileMagic);
    out.WriteString(RouteFileSignature() + QString::number(GetProgramVersionNumber()));
    out.WriteUInt32(contents.state);
    out.WriteUInt32(static_cast<uint32_t>(contents.points.size()));
    for (const RouteFilePoint& p : contents.points) {
        out.WriteDouble(p.longitude);
        out.WriteDouble(p.latitude);
    }
    return out.Data();
}

bool ReadRouteFile(std::span<const uint8_t> bytes, int maxPoints, RouteFileContents& contents)
{
    try {
        platform::Archive in(bytes);
        if (in.ReadUInt32() != kRouteFileMagic)
            return false;
        const QString header = in.ReadString();
        const QString signature = RouteFileSignature();
        const int version = header.size() > signature.size() ? VersionOf(header.mid(signature.size())) : 0;
        if (version < kRouteFileOldestVersion || !header.startsWith(signature))
            return false;
        RouteFileContents read;
        read.state = in.ReadUInt32();
        const uint32_t count = in.ReadUInt32();
        if (count == 0 || count > static_cast<uint32_t>(maxPoints))
            return false;
        read.points.resize(count);
        for (RouteFilePoint& p : read.points) {
            p.longitude = in.ReadDouble();
            p.latitude = in.ReadDouble();
        }
        contents = std::move(read);
        return true;
    } catch (const platform::ArchiveException&) {
        return false;
    }
}

bool IsRouteFilePath(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < path.lastIndexOf(u'\\') || dot < path.lastIndexOf(u'/'))
        return false;
    return path.mid(dot + 1) == QStringLiteral("rt");
}

int CRoute::SaveToFile(const QString& path)
{
    if (!IsRouteFilePath(path))
        return 0;
    CZXS_MapHandle* map = g_MapController->GetMapSet().ActiveMap();
    RouteFileContents contents;
    contents.state = static_cast<uint32_t>(m_state.load());
    // Every point is converted before the file is touched, so a point the map
    // cannot convert leaves the old file as it was.
    for (const RoutePoint& p : GetPoints()) {
        RouteFilePoint record;
        if (p.HasCoordinates() && ZXS_MapToGeo(map, p.x, p.y, &record.longitude, &record.latitude) != ZXS_OK)
            return 0;
        contents.points.push_back(record);
    }
    const std::vector<uint8_t> bytes = WriteRouteFile(contents);
    if (!platform::WriteFileAtomically(
            platform::DevicePathToLocal(path).toStdString(), bytes.data(), bytes.size()))
        return 0;
    platform::CSLock table(m_tableLock);
    m_table.name = path;
    m_table.savedName = path;
    return 1;
}

int CRoute::LoadFromFile(const QString& path)
{
    if (!IsRouteFilePath(path))
        return -1;
    QFile file(platform::DevicePathToLocal(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestRouteFile)
        return -1;
    const QByteArray data = file.readAll();
    RouteFileContents contents;
    if (!ReadRouteFile(std::span(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size())),
            PointCount(), contents))
        return -1;
    if (contents.state == 0)
        return 0;
    CZXS_MapHandle* map = g_MapController->GetMapSet().ActiveMap();
    const ZXS_Rect bounds = g_MapController->GetMapBounds();
    std::vector<MapPoint> points(static_cast<size_t>(PointCount()), { kUnsetCoordinate, kUnsetCoordinate });
    const size_t n = contents.points.size();
    for (size_t i = 0; i < n; ++i) {
        // The last record is the finish, whatever the count.
        const size_t slot = i + 1 == n ? points.size() - 1 : i;
        const RouteFilePoint& record = contents.points[i];
        if (record.IsUnset())
            continue;
        ZXS_Point converted;
        if (ZXS_GeoToMap(map, record.longitude, record.latitude, &converted) != ZXS_OK
            || converted.x == kUnsetCoordinate || converted.y == kUnsetCoordinate || converted.x < bounds.left
            || converted.x > bounds.right || converted.y < bounds.top || converted.y > bounds.bottom)
            return -2;
        points[slot] = { converted.x, converted.y };
    }
    return g_MapController->PostBuildRoute(
               points.data(), static_cast<int>(points.size()), 1, SLOT_START, &path, true, 0)
        ? 0
        : -1;
}
