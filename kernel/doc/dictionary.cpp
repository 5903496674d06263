#include "kernel/doc/dictionary.h"

#include <cstring>

CZXS_Dictionary::CZXS_Dictionary()
{
    for (auto& variant : m_index)
        variant.fill(kNone);
}

void CZXS_Dictionary::BuildIndex()
{
    for (auto& variant : m_index)
        variant.fill(kNone);
    for (int32_t offset = Size() > 0 && RecordLength(0) != 0 ? 0 : -1; offset >= 0;
         offset = NextOffset(offset)) {
        const uint16_t length = RecordLength(static_cast<uint32_t>(offset));
        if (length < 4)
            continue;
        const uint8_t* record = Item(static_cast<uint32_t>(offset));
        const uint8_t number = record[2];
        const uint8_t variant = record[3];
        if (variant < kVariants)
            m_index[variant][number] = static_cast<uint32_t>(offset);
    }
}

const char* CZXS_Dictionary::WordPointer(int number, int variant, size_t* length) const
{
    if (variant < 0 || variant >= kVariants || number < 0 || number > 255)
        return nullptr;
    const uint32_t offset = m_index[variant][number];
    if (offset == kNone)
        return nullptr;
    const uint16_t recordLength = RecordLength(offset);
    if (recordLength < 4)
        return nullptr;
    const char* text = reinterpret_cast<const char*>(Item(offset)) + 4;
    if (length != nullptr) {
        const void* end = std::memchr(text, 0, recordLength - 4u);
        *length
            = end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - text) : recordLength - 4u;
    }
    return text;
}

std::string_view CZXS_Dictionary::WordView(int number, int variant) const
{
    size_t length = 0;
    const char* text = WordPointer(number, variant, &length);
    return text != nullptr ? std::string_view(text, length) : std::string_view();
}

bool CZXS_Dictionary::Word(std::string& output, int number, int variant) const
{
    if (variant < 0 || variant >= kVariants)
        return false;
    output.assign(WordView(number, variant));
    return true;
}
