#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The three code pages of map names: 0 = Windows 1251 (Cyrillic), 1 = 1252
// (Western European), 2 = 1250 (Central European). Any other index reads as 0.
class CZXS_CodePage {
public:
    static constexpr int kCount = 3;

    static char16_t ToWide(int codePage, uint8_t byte);
    // Each byte through the code page, at most `limit` characters.
    static std::u16string ToWide(int codePage, std::string_view text, size_t limit = std::u16string::npos);
    // The UTF-8 bytes of one character (at most U+10FFFF) appended to `out`.
    static void AppendUtf8(char32_t c, std::string& out);
    // A text of the code page as UTF-8.
    static std::string ToUtf8(int codePage, std::string_view text);
    // Characters below 128 stay; others become the first byte of the code page
    // with that value, or `defaultByte`. At most `limit` bytes.
    static std::string FromWide(
        int codePage, std::u16string_view text, char defaultByte = '?', size_t limit = std::string::npos);
    // Upper-case letters of the code page to their lower-case letters.
    static uint8_t Fold(int codePage, uint8_t byte);
    static void Fold(std::string& text, int codePage);
};
