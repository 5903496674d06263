#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes the POI set beside a map (".zxp"): a 520-byte header, then one
// variable-length record per point of interest.
namespace mapwriter {

inline constexpr uint32_t kPoiMagic = 0x24D278EA;
inline constexpr uint16_t kPoiVersion = 306;
inline constexpr uint32_t kPoiHeaderSize = 520;

// Attribute types whose value is a text of up to 255 bytes.
enum PoiAttribute : uint16_t {
    kPoiPhone = 1,
    kPoiFax = 2,
    kPoiPhoneFax = 3,
    kPoiIndex = 5,
    kPoiAddress = 6,
    kPoiEmail = 7,
    kPoiUrl = 8,
    kPoiMemo = 9,
};

struct Poi {
    uint16_t category = 0; // group in the high byte, subgroup in the low byte
    double longitude = 0; // radians
    double latitude = 0;
    std::string name; // 8-bit, in the set's code page; at most 255 bytes
    std::vector<std::pair<uint16_t, std::string>> attributes;
};

struct PoiSetDescription {
    std::string title; // at most 79 bytes are kept
    uint8_t codePage = 0;
    std::vector<Poi> pois;
};

// The angle form of the file: radians x 2^31 / pi, half away from zero.
int32_t PoiAngle(double radians);

// The file's bytes. Texts longer than their length byte allows are cut;
// a record longer than 65 535 bytes is refused (std::invalid_argument).
std::vector<uint8_t> WriteZxp(const PoiSetDescription& set);

} // namespace mapwriter
