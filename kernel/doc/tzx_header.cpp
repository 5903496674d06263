#include "kernel/doc/tzx_header.h"

#include <cstring>

const std::array<uint8_t, CZXS_TzxHeader::kMagicLength + 1>& CZXS_TzxHeader::Magic()
{
    static const std::array<uint8_t, kMagicLength + 1> magic = [] {
        std::array<uint8_t, kMagicLength + 1> m{};
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

uint16_t CZXS_TzxHeader::U16(uint32_t at) const
{
    return static_cast<uint16_t>(m_bytes[at] | (m_bytes[at + 1] << 8));
}

uint32_t CZXS_TzxHeader::U32(uint32_t at) const
{
    return m_bytes[at] | (m_bytes[at + 1] << 8) | (m_bytes[at + 2] << 16) | (uint32_t{m_bytes[at + 3]} << 24);
}

void CZXS_TzxHeader::SetU16(uint32_t at, uint16_t v)
{
    m_bytes[at] = static_cast<uint8_t>(v);
    m_bytes[at + 1] = static_cast<uint8_t>(v >> 8);
}

void CZXS_TzxHeader::SetU32(uint32_t at, uint32_t v)
{
    for (uint32_t i = 0; i < 4; ++i)
        m_bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
