#pragma once

#include <string>
#include <string_view>

// Latin form of Cyrillic names stored in code page 1251.
class CZXS_Transliteration {
public:
    // Cyrillic letters become Latin ones and every other byte stays; a name
    // written mostly in capitals is upper-cased whole, and the endings "iy" and
    // "yy" become "y". The source ends at its first zero byte.
    static std::string Transliterate(std::string_view source);
    // a..z to A..Z in place.
    static void UpperCase(std::string& text);
};
