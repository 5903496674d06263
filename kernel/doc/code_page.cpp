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
