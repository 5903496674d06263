#include "kernel/doc/poi_set.h"

#include <cmath>
#include <memory>

#include "kernel/doc/disk_stream.h"
#include "kernel/doc/little_endian.h"
#include "kernel/doc/memory_stream.h"

CZXS_PoiSet::CZXS_PoiSet()
{
    // A fresh header: magic, current version and an empty box.
    ZXS_PutLe32(m_header.data() + kMagicAt, kMagic);
    ZXS_PutLe16(m_header.data() + kVersionAt, kVersion);
    for (uint32_t at = 432; at < 448; at += 8) {
        ZXS_PutLe32(m_header.data() + at, 0x7fffffff);
        ZXS_PutLe32(m_header.data() + at + 4, 0x80000000);
    }
}

bool CZXS_PoiSet::Load(const std::string& path, const uint8_t* block, uint32_t size)
{
    m_path = path;
    std::unique_ptr<CZXS_DiskStream> stream;
    if (block != nullptr) {
        if (size == 0)
            return false;
        auto memory = std::make_unique<CZXS_MemoryStream>();
        memory->Assign(block, size);
        stream = std::move(memory);
    } else {
        stream = std::make_unique<CZXS_DiskStream>();
        if (stream->Open(path, ZXS_OPEN_MAP, nullptr) == 0)
            return false;
    }
    std::array<uint8_t, kHeaderSize> header {};
    if (stream->ReadExact(header.data(), kHeaderSize) == 0 || ZXS_Le32(header.data() + kMagicAt) != kMagic
        || ZXS_Le16(header.data() + kVersionAt) > kVersion)
        return false;
    const uint32_t area = ZXS_Le32(header.data() + kAreaSizeAt);
    // The area must be there before memory is given to it.
    const uint32_t end = stream->Seek(0, 2);
    if (end == ZXS_SEEK_FAILED || end < kHeaderSize || area > end - kHeaderSize
        || stream->Seek(static_cast<int32_t>(kHeaderSize), 0) != kHeaderSize)
        return false;
    m_records.Free();
    if (area != 0 && m_records.Load(*stream, area) == 0) {
        m_records.Free();
        return false;
    }
    m_header = header;
    m_usable = WellFormedBytes();
    return true;
}

uint32_t CZXS_PoiSet::WellFormedBytes() const
{
    const uint32_t size = m_records.Size();
    uint32_t at = 0;
    while (size - at >= kRecordFixedSize) {
        const uint8_t* r = m_records.Data() + at;
        const uint16_t length = RecordLength(r);
        if (length < kRecordFixedSize || length > size - at || kRecordFixedSize + NameLength(r) > length)
            break;
        at += length;
    }
    return at;
}

const uint8_t* CZXS_PoiSet::FirstRecord() const { return m_usable != 0 ? m_records.Data() : nullptr; }

const uint8_t* CZXS_PoiSet::NextRecord(const uint8_t* record) const
{
    if (record == nullptr)
        return nullptr;
    const uint8_t* next = record + RecordLength(record);
    return next < m_records.Data() + m_usable ? next : nullptr;
}

uint16_t CZXS_PoiSet::RecordLength(const uint8_t* record) { return ZXS_Le16(record); }
uint16_t CZXS_PoiSet::Category(const uint8_t* record) { return ZXS_Le16(record + 2); }
int32_t CZXS_PoiSet::Longitude(const uint8_t* record) { return static_cast<int32_t>(ZXS_Le32(record + 4)); }
int32_t CZXS_PoiSet::Latitude(const uint8_t* record) { return static_cast<int32_t>(ZXS_Le32(record + 8)); }

double CZXS_PoiSet::AngleToRadians(int32_t angle)
{
    if (angle == INT32_MIN)
        return M_PI;
    return angle * M_PI / 2147483648.0;
}

int32_t CZXS_PoiSet::RadiansToAngle(double radians)
{
    const double v = std::round(radians * 2147483648.0 / M_PI);
    if (!(v < 2147483648.0))
        return INT32_MIN;
    if (v < -2147483647.0)
        return -2147483647;
    return static_cast<int32_t>(v);
}
