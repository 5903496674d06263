#include "tools/mapwriter/poi_writer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "tools/mapwriter/byte_appender.h"

namespace mapwriter {

int32_t PoiAngle(double radians)
{
    const double v = std::round(radians * 2147483648.0 / std::numbers::pi);
    // +pi itself is stored as 0x80000000, which reads back as +pi.
    if (v >= 2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(std::max(v, -2147483648.0));
}

std::vector<uint8_t> WriteZxp(const PoiSetDescription& set)
{
    std::vector<uint8_t> records;
    int32_t minLat = INT32_MAX, maxLat = INT32_MIN, minLon = INT32_MAX, maxLon = INT32_MIN;
    for (const Poi& p : set.pois) {
        const size_t start = records.size();
        const std::string name = p.name.substr(0, 255);
        const int32_t lon = PoiAngle(p.longitude);
        const int32_t lat = PoiAngle(p.latitude);
        minLat = std::min(minLat, lat);
        maxLat = std::max(maxLat, lat);
        minLon = std::min(minLon, lon);
        maxLon = std::max(maxLon, lon);
        Append16(records, 0); // length, set below
        Append16(records, p.category);
        Append32(records, static_cast<uint32_t>(lon));
        Append32(records, static_cast<uint32_t>(lat));
        records.push_back(static_cast<uint8_t>(name.size()));
        records.insert(records.end(), name.begin(), name.end());
        for (const auto& [type, value] : p.attributes) {
            const std::string text = value.substr(0, 255);
            Append16(records, type);
            records.push_back(static_cast<uint8_t>(text.size()));
            records.insert(records.end(), text.begin(), text.end());
        }
        const size_t length = records.size() - start;
        if (length > 0xFFFF)
            throw std::invalid_argument("POI record too long");
        ZXS_PutLe16(records.data() + start, static_cast<uint16_t>(length));
    }
    if (set.pois.empty()) {
        // The box of an empty set is empty.
        minLat = minLon = INT32_MAX;
        maxLat = maxLon = INT32_MIN;
    }

    std::vector<uint8_t> file(kPoiHeaderSize, 0);
    const std::string title = set.title.substr(0, 79);
    std::copy(title.begin(), title.end(), file.begin());
    ZXS_PutLe32(file.data() + 80, kPoiMagic);
    ZXS_PutLe16(file.data() + 84, kPoiVersion);
    ZXS_PutLe32(file.data() + 432, static_cast<uint32_t>(minLat));
    ZXS_PutLe32(file.data() + 436, static_cast<uint32_t>(maxLat));
    ZXS_PutLe32(file.data() + 440, static_cast<uint32_t>(minLon));
    ZXS_PutLe32(file.data() + 444, static_cast<uint32_t>(maxLon));
    ZXS_PutLe32(file.data() + 448, static_cast<uint32_t>(records.size()));
    file[452] = set.codePage;
    file.insert(file.end(), records.begin(), records.end());
    return file;
}

} // namespace mapwriter
