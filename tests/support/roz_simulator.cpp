#include "tests/support/roz_simulator.h"

#include <cstdio>
#include <stdexcept>

namespace testing_support {

namespace {

char HexUpper(unsigned value) { return "0123456789ABCDEF"[value & 15]; }

// A data byte: the character with bit 7 set.
char Data(char c) { return static_cast<char>(static_cast<unsigned char>(c) | 0x80); }

} // namespace

std::string JamCellsWith(std::initializer_list<std::pair<int, char>> set)
{
    std::string cells(864, '0');
    for (const auto& [cell, value] : set)
        cells.at(static_cast<size_t>(cell)) = value;
    return cells;
}

QByteArray RozChecksummed(const QByteArray& body)
{
    QByteArray frame = body + '\x04';
    unsigned sum = 0;
    for (const char c : frame)
        sum += static_cast<unsigned char>(c);
    frame += HexUpper((sum & 0xFF) >> 4);
    frame += HexUpper(sum & 15);
    return frame;
}

QByteArray RozJamPacket(const std::string& cells)
{
    if (cells.size() != 864)
        throw std::invalid_argument("864 cells");
    QByteArray body("\x02\xB2\xB0\xC1\xC4\xB0\xB0", 7);
    for (size_t group = 0; group < 54; ++group) {
        // Digits d0-d3 and d5-d8; in each, bit 3 - k belongs to the k-th cell pair.
        unsigned d[9] = {};
        for (unsigned k = 0; k < 4; ++k) {
            const unsigned bit = 1u << (3 - k);
            const auto put = [&](char cell, int a, int b) {
                if (cell == '2' || cell == '3')
                    d[a] |= bit;
                if (cell == '3')
                    d[b] |= bit;
            };
            const char* c = cells.data() + group * 16;
            put(c[2 * k], 6, 8); // cells 1, 3, 5, 7
            put(c[2 * k + 1], 1, 3); // cells 2, 4, 6, 8
            put(c[8 + 2 * k], 5, 7); // cells 9, 11, 13, 15
            put(c[9 + 2 * k], 0, 2); // cells 10, 12, 14, 16
        }
        for (int i = 0; i < 10; ++i)
            body += (i == 4 || i == 9) ? Data(' ') : Data(HexUpper(d[i]));
    }
    return RozChecksummed(body);
}

QByteArray RozStatus(char fill, char battery, const QByteArray& seven, bool inZone)
{
    if (seven.size() != 7)
        throw std::invalid_argument("seven receiver bytes");
    return QByteArray("\x05") + fill + battery + seven + (inZone ? '\x40' : '\x20');
}

} // namespace testing_support
