#pragma once
// The serial receiver's last reported status, kept as its 20-byte record:
// bytes 0-6 the receiver's own bytes (not interpreted), 7 zero, 8 in-zone flag,
// 9 buffer fill in percent, 10 battery in percent, 11 zero, 12-19 the local
// file time at which the status arrived.
#include <array>
#include <cstdint>
#include <span>

struct RozStatus {
    static constexpr size_t kSize = 20;

    std::array<uint8_t, 7> receiverBytes {};
    uint8_t inZone = 0;
    uint8_t fillPercent = 0;
    uint8_t batteryPercent = 0;
    uint64_t time = 0;

    std::array<uint8_t, kSize> Bytes() const;
    static RozStatus FromBytes(std::span<const uint8_t, kSize> bytes);
    bool operator==(const RozStatus&) const = default;
};
