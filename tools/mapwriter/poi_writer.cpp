#include "tools/mapwriter/poi_writer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace mapwriter {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v);
    Put16(out, v >> 16);
}

void Set32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

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
        Put16(records, 0); // length, set below
        Put16(records, p.category);
        Put32(records, static_cast<uint32_t>(lon));
        Put32(records, static_cast<uint32_t>(lat));
        records.push_back(static_cast<uint8_t>(name.size()));
        records.insert(records.end(), name.begin(), name.end());
        for (const auto& [type, value] : p.attributes) {
            const std::string text = value.substr(0, 255);
            Put16(records, type);
            records.push_back(static_cast<uint8_t>(text.size()));
            records.insert(records.end(), text.begin(), text.end());
        }
        const size_t length = records.size() - start;
        if (length > 0xFFFF)
            throw std::invalid_argument("POI record too long");
        records[start] = static_cast<uint8_t>(length);
        records[start + 1] = static_cast<uint8_t>(length >> 8);
    }
    if (set.pois.empty()) {
        // The box of an empty set is empty.
        minLat = minLon = INT32_MAX;
        maxLat = maxLon = INT32_MIN;
    }

    std::vector<uint8_t> file(kPoiHeaderSize, 0);
    const std::string title = set.title.substr(0, 79);
    std::copy(title.begin(), title.end(), file.begin());
    Set32(file, 80, kPoiMagic);
    file[84] = static_cast<uint8_t>(kPoiVersion);
    file[85] = static_cast<uint8_t>(kPoiVersion >> 8);
    Set32(file, 432, static_cast<uint32_t>(minLat));
    Set32(file, 436, static_cast<uint32_t>(maxLat));
    Set32(file, 440, static_cast<uint32_t>(minLon));
    Set32(file, 444, static_cast<uint32_t>(maxLon));
    Set32(file, 448, static_cast<uint32_t>(records.size()));
    file[452] = set.codePage;
    file.insert(file.end(), records.begin(), records.end());
    return file;
}

} // namespace mapwriter
