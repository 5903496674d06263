#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The key of an enciphered map lies beside it in a key file ("<map>.key"): the
// key as hexadecimal digits on one line. Blanks and line ends are skipped.

// The key of a key file's text; empty unless it is 32, 48 or 64 hex digits.
std::vector<uint8_t> ZXS_ParseMapKeyText(std::string_view text);
// The key file's text of a key: lower-case digits and a line feed.
std::string ZXS_MapKeyFileText(const std::vector<uint8_t>& key);
