#pragma once

#include <cstdint>

// One POI category: a 16-bit code (group in the high byte, subgroup in the low
// byte), the symbol drawn for it on the map, its Russian and English names.
struct ZXS_PoiCategory {
    uint16_t code;
    uint16_t symbol;
    const char16_t* name;
    const char* englishName;
};

inline constexpr int kPoiCategoryCount = 134;
// In ascending code order; row 0 serves every code not in the table.
extern const ZXS_PoiCategory g_poiCategoryTable[kPoiCategoryCount];

// POI attribute types: kind 7 is a text with an 8-bit length, kind 8 bytes with
// a 16-bit length; any other kind ends the attributes of its record.
struct ZXS_PoiAttributeType {
    uint16_t type;
    uint8_t kind;
    const char16_t* name;
    const char16_t* label;
    const char* englishName;
};

inline constexpr int kPoiAttributeTypeCount = 10;
extern const ZXS_PoiAttributeType g_poiAttributeTypes[kPoiAttributeTypeCount];
