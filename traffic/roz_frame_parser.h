#pragma once
// The serial traffic receiver's byte stream, taken apart one byte at a time so
// that a command may arrive in any number of reads. Control bytes: 1 private
// message, 2 information message (the jam packet is one), 3 control message,
// 4 end of text (two checksum characters follow), 5 status command (11 bytes
// in all), 6 reset. A message's checksum is the 8-bit sum of its bytes from
// the control byte through the end of text, written as two upper-case
// hexadecimal digits (bit 7 of each ignored). A control byte other than 4 ends
// the command being received: it is dropped, and the new command starts.
#include "traffic/jam_file.h"
#include "traffic/roz_status.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

// 02 B2 B0 C1 C4 B0 B0: the start of the jam packet.
inline constexpr std::array<uint8_t, 7> kRozJamSignature { 0x02, 0xB2, 0xB0, 0xC1, 0xC4, 0xB0, 0xB0 };
inline constexpr size_t kRozStatusSize = 11;
// The longest message kept: 2033 bytes up to the end of text, then it and the
// two checksum characters.
inline constexpr size_t kRozMaxMessage = 2033 + 3;

struct RozFrame {
    enum class Kind {
        Status, // a whole status command (11 bytes)
        Message, // a whole message whose checksum holds
        BadChecksum, // a whole message whose checksum does not hold
        StatusDropped, // a status command cut short by a control byte
        MessageDropped, // a message cut short by a control byte, or too long
    };
    Kind kind;
    std::vector<uint8_t> bytes; // as received, control byte first
    bool operator==(const RozFrame&) const = default;
};

class RozFrameParser {
public:
    using Handler = std::function<void(const RozFrame&)>;

    // Takes the bytes of one read; each command completed or dropped on the
    // way goes to the handler, in order.
    void Feed(std::span<const uint8_t> bytes, const Handler& handler);
    // Drops the command being received.
    void Reset();

    // Whether the bytes form a jam packet (they begin with the signature).
    static bool IsJamPacket(std::span<const uint8_t> message);

private:
    enum class State { Idle, Status, Body, Checksum1, Checksum2 };

    void Drop(const Handler& handler);
    void Start(uint8_t control);
    void Finish(const Handler& handler);

    State m_state = State::Idle;
    std::vector<uint8_t> m_bytes;
    uint8_t m_sum = 0;
    bool m_overflow = false;
};

// The value 0-15 of an upper-case hexadecimal digit once bit 7 is cleared, or -1.
int RozHexDigit(uint8_t byte);

// The 864 cells of a jam packet (the whole message as received): 540 data
// bytes after the signature, in 54 groups of ten, four hexadecimal digits and
// a skipped byte twice; each group gives 16 cells '0', '2' or '3'.
std::optional<JamCells> DecodeRozJamPacket(std::span<const uint8_t> message);

// A status command: buffer fill and battery as hexadecimal digits (in
// fifteenths), seven receiver bytes, the in-zone flag in bit 6 of the last
// byte; `time` becomes its time. Nothing when a digit is not one.
std::optional<RozStatus> ParseRozStatus(std::span<const uint8_t> command, uint64_t time);
