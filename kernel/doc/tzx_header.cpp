#include "kernel/doc/tzx_header.h"
#include "kernel/doc/little_endian.h"

#include <cstring>

const std::array<uint8_t, CZXS_TzxHeader::kMagicLength + 1>& CZXS_TzxHeader::Magic()
{
    static const std::array<uint8_t, kMagicLength + 1> magic = [] {
        std::array<uint8_t, kMagicLength + 1> m {};
        const char text[] = "Quelvane data file v.3.5.\r\n\x1a###%^*&$";
        static_assert(sizeof(text) == kMagicLength + 1);
        std::memcpy(m.data(), text, sizeof(text));
        return m;
    }();
    return magic;
}

void CZXS_TzxHeader::MakeFresh(uint32_t createdAt)
{
    m_bytes.fill(0);
    std::memcpy(m_bytes.data(), Magic().data(), Magic().size());
    SetU16(kVersion, kVersionCurrent);
    SetU32(kCreated, createdAt);
    SetU32(kLeft, 0x7FFFFFFF);
    SetU32(kRight, 0xFFFFFFFF);
    SetU32(kTop, 0x7FFFFFFF);
    SetU32(kBottom, 0xFFFFFFFF);
    for (uint32_t at = kGrey; at < kGrey + 4; ++at)
        m_bytes[at] = 192;
    SetU16(kFirstRoadLayer, 0xFFFF);
}

bool CZXS_TzxHeader::HasMagic() const
{
    return std::memcmp(m_bytes.data(), Magic().data(), Magic().size()) == 0;
}

uint16_t CZXS_TzxHeader::U16(uint32_t at) const { return ZXS_Le16(m_bytes.data() + at); }
uint32_t CZXS_TzxHeader::U32(uint32_t at) const { return ZXS_Le32(m_bytes.data() + at); }
void CZXS_TzxHeader::SetU16(uint32_t at, uint16_t v) { ZXS_PutLe16(m_bytes.data() + at, v); }
void CZXS_TzxHeader::SetU32(uint32_t at, uint32_t v) { ZXS_PutLe32(m_bytes.data() + at, v); }
