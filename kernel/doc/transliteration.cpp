#include "kernel/doc/transliteration.h"

#include <array>

namespace {

// Latin forms of the letters 0xC0..0xDF (upper case) and 0xE0..0xFF (lower case).
constexpr std::array<const char*, 32> kUpper
    = { "A", "B", "V", "G", "D", "E", "Zh", "Z", "I", "Y", "K", "L", "M", "N", "O", "P", "R", "S", "T", "U",
          "F", "Kh", "Ts", "Ch", "Sh", "Shch", "", "Y", "'", "E", "Yu", "Ya" };
constexpr std::array<const char*, 32> kLower
    = { "a", "b", "v", "g", "d", "e", "zh", "z", "i", "y", "k", "l", "m", "n", "o", "p", "r", "s", "t", "u",
          "f", "kh", "ts", "ch", "sh", "shch", "", "y", "'", "e", "yu", "ya" };

constexpr unsigned char kUpperYo = 0xA8;
constexpr unsigned char kLowerYo = 0xB8;

bool IsCapital(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || c == kUpperYo || (c >= 0xC0 && c <= 0xDF);
}

bool EndsWord(const std::string& text, size_t at)
{
    return at == text.size() || text[at] == ' ' || text[at] == ')';
}

} // namespace

void CZXS_Transliteration::UpperCase(std::string& text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
}

std::string CZXS_Transliteration::Transliterate(std::string_view source)
{
    std::string out;
    out.reserve(source.size() * 2);
    int capitals = 0;
    int separators = 0;
    for (const char ch : source) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0)
            break;
        if (IsCapital(c))
            ++capitals;
        else if (c == ' ' || c == '.')
            ++separators;
        if (c >= 0xE0)
            out += kLower[c - 0xE0];
        else if (c >= 0xC0)
            out += kUpper[c - 0xC0];
        else if (c == kUpperYo)
            out += "Yo";
        else if (c == kLowerYo)
            out += "yo";
        else
            out += ch;
    }
    if (separators + 1 < capitals)
        UpperCase(out);

    // "iy" and "yy" at a word's end become "y", from the third character on.
    for (size_t i = 2; i < out.size(); ++i) {
        const char prev = out[i - 1];
        const bool lower = out[i] == 'y' && (prev == 'i' || prev == 'y');
        const bool upper = out[i] == 'Y' && (prev == 'I' || prev == 'Y');
        if ((lower || upper) && EndsWord(out, i + 1)) {
            out.erase(i - 1, 1);
            --i;
        }
    }
    return out;
}
