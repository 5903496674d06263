#include "traffic/roz_status.h"

#include "platform/little_endian.h"

#include <algorithm>

std::array<uint8_t, RozStatus::kSize> RozStatus::Bytes() const
{
    std::array<uint8_t, kSize> b {};
    std::copy(receiverBytes.begin(), receiverBytes.end(), b.begin());
    b[8] = inZone;
    b[9] = fillPercent;
    b[10] = batteryPercent;
    platform::PutLe64(b.data() + 12, time);
    return b;
}

RozStatus RozStatus::FromBytes(std::span<const uint8_t, kSize> b)
{
    RozStatus s;
    std::copy_n(b.begin(), s.receiverBytes.size(), s.receiverBytes.begin());
    s.inZone = b[8];
    s.fillPercent = b[9];
    s.batteryPercent = b[10];
    s.time = platform::Le64(b.data() + 12);
    return s;
}
