#include "traffic/roz_frame_parser.h"

#include <algorithm>

int RozHexDigit(uint8_t byte)
{
    const uint8_t c = byte & 0x7F;
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool RozFrameParser::IsJamPacket(std::span<const uint8_t> message)
{
    return message.size() > kRozJamSignature.size()
        && std::equal(kRozJamSignature.begin(), kRozJamSignature.end(), message.begin());
}

void RozFrameParser::Reset()
{
    m_state = State::Idle;
    m_bytes.clear();
    m_sum = 0;
    m_overflow = false;
}

void RozFrameParser::Drop(const Handler& handler)
{
    if (m_state != State::Idle)
        handler({ m_state == State::Status ? RozFrame::Kind::StatusDropped : RozFrame::Kind::MessageDropped,
            m_bytes });
    Reset();
}

void RozFrameParser::Start(uint8_t control)
{
    m_state = control == 5 ? State::Status : State::Body;
    m_bytes.push_back(control);
    m_sum = control;
}

void RozFrameParser::Finish(const Handler& handler)
{
    const int hi = RozHexDigit(m_bytes[m_bytes.size() - 2]);
    const int lo = RozHexDigit(m_bytes.back());
    const bool good = hi >= 0 && lo >= 0 && hi * 16 + lo == m_sum;
    handler({ good ? RozFrame::Kind::Message : RozFrame::Kind::BadChecksum, m_bytes });
    Reset();
}

void RozFrameParser::Feed(std::span<const uint8_t> bytes, const Handler& handler)
{
    for (const uint8_t b : bytes) {
        if (b == 1 || b == 2 || b == 3 || b == 5 || b == 6) {
            Drop(handler);
            if (b != 6)
                Start(b);
            continue;
        }
        switch (m_state) {
        case State::Idle:
            break; // noise between commands
        case State::Status:
            m_bytes.push_back(b);
            if (m_bytes.size() == kRozStatusSize) {
                handler({ RozFrame::Kind::Status, m_bytes });
                Reset();
            }
            break;
        case State::Body:
            m_sum = static_cast<uint8_t>(m_sum + b);
            if (m_bytes.size() < kRozMaxMessage - 2)
                m_bytes.push_back(b);
            else
                m_overflow = true;
            if (b == 4) {
                if (m_overflow) {
                    Drop(handler); // it cannot be what it claims; the rest is noise
                    break;
                }
                m_state = State::Checksum1;
            }
            break;
        case State::Checksum1:
            m_bytes.push_back(b);
            m_state = State::Checksum2;
            break;
        case State::Checksum2:
            m_bytes.push_back(b);
            Finish(handler);
            break;
        }
    }
}

std::optional<JamCells> DecodeRozJamPacket(std::span<const uint8_t> message)
{
    constexpr size_t kGroups = kJamCellCount / 16;
    constexpr size_t kData = kGroups * 10;
    if (!RozFrameParser::IsJamPacket(message) || message.size() < kRozJamSignature.size() + kData + 3)
        return std::nullopt;
    const auto data = message.subspan(kRozJamSignature.size(), kData);
    JamCells cells;
    for (size_t g = 0; g < kGroups; ++g) {
        // d[0..3] from bytes 0-3 of the group, d[5..8] from bytes 5-8.
        int d[9] = {};
        for (const size_t i : { 0, 1, 2, 3, 5, 6, 7, 8 }) {
            d[i] = RozHexDigit(data[g * 10 + i]);
            if (d[i] < 0)
                return std::nullopt;
        }
        const auto cell = [](int a, int b, int bit) {
            if (!(a >> bit & 1))
                return '0';
            return b >> bit & 1 ? '3' : '2';
        };
        char* out = cells.data() + g * 16;
        for (int k = 0; k < 4; ++k) {
            const int bit = 3 - k;
            out[2 * k] = cell(d[6], d[8], bit);
            out[2 * k + 1] = cell(d[1], d[3], bit);
            out[8 + 2 * k] = cell(d[5], d[7], bit);
            out[9 + 2 * k] = cell(d[0], d[2], bit);
        }
    }
    return cells;
}

std::optional<RozStatus> ParseRozStatus(std::span<const uint8_t> command, uint64_t time)
{
    if (command.size() < kRozStatusSize)
        return std::nullopt;
    const int fill = RozHexDigit(command[1]);
    const int battery = RozHexDigit(command[2]);
    if (fill < 0 || battery < 0)
        return std::nullopt;
    RozStatus status;
    status.fillPercent = static_cast<uint8_t>(fill * 100 / 15);
    status.batteryPercent = static_cast<uint8_t>(battery * 100 / 15);
    for (size_t i = 0; i < status.receiverBytes.size(); ++i)
        status.receiverBytes[i] = command[3 + i] & 0x7F;
    status.inZone = (command[10] & 0x40) ? 1 : 0;
    status.time = time;
    return status;
}
