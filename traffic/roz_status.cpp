#include "traffic/roz_status.h"

#include <algorithm>

std::array<uint8_t, RozStatus::kSize> RozStatus::Bytes() const
{
    std::array<uint8_t, kSize> b {};
    std::copy(receiverBytes.begin(), receiverBytes.end(), b.begin());
    b[8] = inZone;
    b[9] = fillPercent;
    b[10] = batteryPercent;
    for (int i = 0; i < 8; ++i)
        b[12 + i] = static_cast<uint8_t>(time >> (8 * i));
    return b;
}

RozStatus RozStatus::FromBytes(std::span<const uint8_t, kSize> b)
{
    RozStatus s;
    std::copy_n(b.begin(), s.receiverBytes.size(), s.receiverBytes.begin());
    s.inZone = b[8];
    s.fillPercent = b[9];
    s.batteryPercent = b[10];
    for (int i = 0; i < 8; ++i)
        s.time |= uint64_t { b[12 + i] } << (8 * i);
    return s;
}
