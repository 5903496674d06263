#include "kernel/doc/object_record.h"

#include <cstring>

#include "kernel/doc/little_endian.h"

CZXS_ObjectRecord CZXS_ObjectRecord::UnpackOld(const uint8_t* p)
{
    const uint32_t packed = ZXS_Le32(p);
    const uint32_t link = ZXS_Le24(p + 4);
    CZXS_ObjectRecord r;
    r.SetRunLength(static_cast<uint16_t>(packed & 0x3fff));
    const uint32_t name = packed >> 14;
    r.SetNameId(name == 0x3ffff ? ZXS_NO_OBJECT : static_cast<int32_t>(name));
    const uint32_t link22 = link & 0x3fffff;
    r.SetLinkId(link22 == 0x3fffff ? ZXS_NO_OBJECT : static_cast<int32_t>(link22 & 0x1fffff));
    r.SetEndOfObject((p[6] & 0x40) != 0);
    r.SetClosed((p[9] & 0x01) != 0);
    r.SetForward(true);
    r.SetBox(0, 0, 255, 255);
    return r;
}

void CZXS_ObjectRecord::SetWord(uint32_t w) { ZXS_PutLe32(m_bytes.data() + 4, w); }

void CZXS_ObjectRecord::SetBit(int bit, bool on)
{
    const uint32_t mask = 1u << bit;
    SetWord(on ? (Word() | mask) : (Word() & ~mask));
}

int32_t CZXS_ObjectRecord::LinkId() const
{
    return static_cast<int32_t>(ZXS_Le16(m_bytes.data()) | ((Word() >> 27) << 16));
}

void CZXS_ObjectRecord::SetLinkId(int32_t id)
{
    const uint32_t v = static_cast<uint32_t>(id) & 0x1fffff;
    ZXS_PutLe16(m_bytes.data(), static_cast<uint16_t>(v));
    SetWord((Word() & 0x07ffffffu) | ((v >> 16) << 27));
}

void CZXS_ObjectRecord::SetRunLength(uint16_t length) { ZXS_PutLe16(m_bytes.data() + 2, length); }

void CZXS_ObjectRecord::SetNameId(int32_t id)
{
    SetWord((Word() & ~0x1fffffu) | (static_cast<uint32_t>(id) & 0x1fffff));
}

void CZXS_ObjectRecord::SetCoding(int scheme)
{
    SetWord((Word() & ~(3u << 25)) | ((static_cast<uint32_t>(scheme) & 3) << 25));
}

void CZXS_ObjectRecord::SetBox(uint8_t minX, uint8_t minY, uint8_t maxX, uint8_t maxY)
{
    m_bytes[8] = minX;
    m_bytes[9] = minY;
    m_bytes[10] = maxX;
    m_bytes[11] = maxY;
}
