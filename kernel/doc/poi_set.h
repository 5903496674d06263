#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "kernel/doc/collect.h"

// The points of interest of one map, read from its POI file (extension "zxp")
// or a memory block: a 520-byte header, then variable-length records.
//
// Header: title (80 bytes), magic 0x24d278ea at 80, version at 84 (306 and
// below read), box angles at 432-447, record-area size at 448, code page at 452.
// Record: length (2), category code (2), longitude and latitude angles (4 + 4),
// name length n (1), the name, then attributes up to the record's end.
// Angles are radians x 2^31 / pi.
class CZXS_PoiSet {
public:
    static constexpr uint32_t kHeaderSize = 520;
    static constexpr uint32_t kMagic = 0x24d278ea;
    static constexpr uint16_t kVersion = 306;
    static constexpr uint32_t kRecordFixedSize = 13;
    enum HeaderField : uint32_t { kMagicAt = 80, kVersionAt = 84, kAreaSizeAt = 448, kCodePageAt = 452 };

    CZXS_PoiSet();
    CZXS_PoiSet(const CZXS_PoiSet&) = delete;
    CZXS_PoiSet& operator=(const CZXS_PoiSet&) = delete;

    // Reads the set from `block` (when given) or from the file at `path`. True
    // when the header is sound and the record area was read; records from the
    // first malformed one on are left out.
    bool Load(const std::string& path, const uint8_t* block, uint32_t size);

    const std::string& Path() const { return m_path; }
    const std::array<uint8_t, kHeaderSize>& Header() const { return m_header; }
    uint8_t CodePage() const { return m_header[kCodePageAt]; }
    // The first record, the record after `record`, or null at the end.
    const uint8_t* FirstRecord() const;
    const uint8_t* NextRecord(const uint8_t* record) const;
    // Byte count of the well-formed records.
    uint32_t RecordBytes() const { return m_usable; }

    static uint16_t RecordLength(const uint8_t* record);
    static uint16_t Category(const uint8_t* record);
    static int32_t Longitude(const uint8_t* record);
    static int32_t Latitude(const uint8_t* record);
    static uint8_t NameLength(const uint8_t* record) { return record[12]; }
    static const uint8_t* Name(const uint8_t* record) { return record + kRecordFixedSize; }

    // Radians from an angle of the file, and back (rounded half away from zero;
    // +pi and beyond give 0x80000000, the value that reads as +pi).
    static double AngleToRadians(int32_t angle);
    static int32_t RadiansToAngle(double radians);

private:
    uint32_t WellFormedBytes() const;

    std::string m_path;
    CCollect m_records;
    uint32_t m_usable = 0;
    std::array<uint8_t, kHeaderSize> m_header {};
};
