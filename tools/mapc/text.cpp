#include "tools/mapc/text.h"

#include <cstdint>

#include "kernel/doc/code_page.h"

namespace mapc {

std::u16string Utf16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<uint8_t>(s[i]);
        uint32_t cp = 0xFFFD;
        size_t n = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            n = 2;
        } else if ((b & 0xF0) == 0xE0) {
            n = 3;
        } else if ((b & 0xF8) == 0xF0) {
            n = 4;
        }
        if (n > 1) {
            if (i + n > s.size()) {
                n = 1;
            } else {
                cp = b & (0x7F >> n);
                for (size_t k = 1; k < n; ++k) {
                    const auto c = static_cast<uint8_t>(s[i + k]);
                    if ((c & 0xC0) != 0x80) {
                        cp = 0xFFFD;
                        n = k;
                        break;
                    }
                    cp = (cp << 6) | (c & 0x3F);
                }
            }
        }
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp > 0xFFFF ? 0xFFFD : cp));
        }
        i += n;
    }
    return out;
}

std::string EightBit(int codePage, std::string_view utf8)
{
    std::u16string wide = Utf16(utf8);
    // Byte 1 introduces a dictionary word in a stored name; control
    // characters have no place in a name at all.
    for (char16_t& c : wide) {
        if (c < 0x20)
            c = u' ';
    }
    return CZXS_CodePage::FromWide(codePage, wide, '?', 255);
}

bool HasCyrillic(std::string_view utf8)
{
    for (char16_t c : Utf16(utf8)) {
        if (c >= 0x400 && c <= 0x4FF)
            return true;
    }
    return false;
}

} // namespace mapc
