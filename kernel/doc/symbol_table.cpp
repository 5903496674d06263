#include "kernel/doc/symbol_table.h"

namespace {

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

constexpr uint32_t kNone = 0xFFFFFFFF;

} // namespace

int CZXS_SymbolTable::Free()
{
    for (auto& offsets : m_offsets)
        offsets.clear();
    return CCollect::Free();
}

void CZXS_SymbolTable::BuildIndex()
{
    for (auto& offsets : m_offsets)
        offsets.clear();
    for (int32_t offset = RecordLength(0) != 0 ? 0 : -1; offset >= 0; offset = NextOffset(offset)) {
        const uint16_t length = RecordLength(static_cast<uint32_t>(offset));
        if (length < kHeaderBytes)
            continue;
        const uint8_t* record = Item(static_cast<uint32_t>(offset));
        const uint32_t width = U16(record + 2);
        const uint32_t height = U16(record + 4);
        const uint32_t number = U16(record + 6);
        const uint32_t symbolClass = record[8] >> 5;
        // A bitmap longer than its record would be read past the table.
        if (symbolClass > 1 || kHeaderBytes + (width + 7) / 8 * height > length)
            continue;
        auto& offsets = m_offsets[symbolClass];
        if (offsets.size() <= number)
            offsets.resize(number + 1, kNone);
        offsets[number] = static_cast<uint32_t>(offset);
    }
}

uint32_t CZXS_SymbolTable::ClassCount(int symbolClass) const
{
    return symbolClass == 0 || symbolClass == 1 ? static_cast<uint32_t>(m_offsets[symbolClass].size()) : 0;
}

const uint8_t* CZXS_SymbolTable::Symbol(int number) const
{
    if (number < 0 || static_cast<uint32_t>(number) >= m_offsets[1].size() || m_offsets[1][number] == kNone)
        return nullptr;
    return Item(m_offsets[1][number]);
}

void CZXS_SymbolTable::SymbolSize(int number, int& width, int& height) const
{
    const uint8_t* record = Symbol(number);
    width = record != nullptr ? U16(record + 2) : 0;
    height = record != nullptr ? U16(record + 4) : 0;
}
