#pragma once
// The serial traffic receiver's side of its protocol, for tests: the frames it
// sends, built from the protocol's description independently of the
// program's parser. Data bytes carry bit 7; checksums are the 8-bit sum from
// the control byte through the end of text in two upper-case hexadecimal digits.
#include <QByteArray>
#include <initializer_list>
#include <string>
#include <utility>

namespace testing_support {

// 864 cells of '0' but those given as (cell, value).
std::string JamCellsWith(std::initializer_list<std::pair<int, char>> set);

// `body` (control byte first, up to but without the end of text) with the end
// of text and its checksum.
QByteArray RozChecksummed(const QByteArray& body);
// The 550-byte jam packet for 864 cells of '0', '2' and '3'.
QByteArray RozJamPacket(const std::string& cells);
// A status command: fill and battery digits ('0'-'F'), seven receiver bytes,
// the in-zone flag (bit 6 of the last byte).
QByteArray RozStatus(char fill, char battery, const QByteArray& seven, bool inZone);

} // namespace testing_support
