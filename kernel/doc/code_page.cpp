#include "kernel/doc/code_page.h"

#include "kernel/doc/code_page_tables.h"

namespace {

int Index(int codePage) { return codePage >= 0 && codePage < CZXS_CodePage::kCount ? codePage : 0; }

} // namespace

char16_t CZXS_CodePage::ToWide(int codePage, uint8_t byte) { return kZxsCodePageWide[Index(codePage)][byte]; }

std::u16string CZXS_CodePage::ToWide(int codePage, std::string_view text, size_t limit)
{
    std::u16string out;
    for (size_t i = 0; i < text.size() && out.size() < limit; ++i)
        out += ToWide(codePage, static_cast<uint8_t>(text[i]));
    return out;
}

void CZXS_CodePage::AppendUtf8(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string CZXS_CodePage::ToUtf8(int codePage, std::string_view text)
{
    std::string out;
    for (const char byte : text)
        AppendUtf8(ToWide(codePage, static_cast<uint8_t>(byte)), out);
    return out;
}

std::string CZXS_CodePage::FromWide(int codePage, std::u16string_view text, char defaultByte, size_t limit)
{
    const char16_t* table = kZxsCodePageWide[Index(codePage)];
    std::string out;
    for (size_t i = 0; i < text.size() && out.size() < limit; ++i) {
        const char16_t c = text[i];
        if (c < 128) {
            out += static_cast<char>(c);
            continue;
        }
        char byte = defaultByte;
        for (int b = 128; b < 256; ++b) {
            if (table[b] == c) {
                byte = static_cast<char>(b);
                break;
            }
        }
        out += byte;
    }
    return out;
}

uint8_t CZXS_CodePage::Fold(int codePage, uint8_t byte) { return kZxsCodePageFold[Index(codePage)][byte]; }

void CZXS_CodePage::Fold(std::string& text, int codePage)
{
    for (char& c : text)
        c = static_cast<char>(Fold(codePage, static_cast<uint8_t>(c)));
}
