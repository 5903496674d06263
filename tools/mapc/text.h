#pragma once

#include <string>
#include <string_view>

// Names as the map stores them: OpenStreetMap gives UTF-8, the map holds 8-bit
// text in its code page.
namespace mapc {

// UTF-8 to UTF-16; malformed bytes become U+FFFD.
std::u16string Utf16(std::string_view utf8);

// UTF-8 text in the map's code page: characters the code page lacks become
// '?', control characters a space, at most 255 bytes.
std::string EightBit(int codePage, std::string_view utf8);

bool HasCyrillic(std::string_view utf8);

} // namespace mapc
