#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kernel/doc/collect.h"
#include "kernel/doc/little_endian.h"

// Little-endian bytes of hand-made kernel tables.
class TableBuilder {
public:
    TableBuilder& U8(uint32_t v)
    {
        m_bytes.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    TableBuilder& U16(uint32_t v)
    {
        uint8_t b[2];
        ZXS_PutLe16(b, static_cast<uint16_t>(v));
        m_bytes.insert(m_bytes.end(), b, b + 2);
        return *this;
    }
    TableBuilder& U32(uint32_t v)
    {
        uint8_t b[4];
        ZXS_PutLe32(b, v);
        m_bytes.insert(m_bytes.end(), b, b + 4);
        return *this;
    }
    TableBuilder& Text(const std::string& s)
    {
        m_bytes.insert(m_bytes.end(), s.begin(), s.end());
        return *this;
    }
    // A variable-length record: its 16-bit total length, then `body`.
    TableBuilder& Record(const std::vector<uint8_t>& body)
    {
        U16(static_cast<uint32_t>(body.size() + 2));
        m_bytes.insert(m_bytes.end(), body.begin(), body.end());
        return *this;
    }
    uint32_t Size() const { return static_cast<uint32_t>(m_bytes.size()); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

    // Copies the bytes into a collection as its used part.
    void Into(CCollect& table) const
    {
        table.CCollect::SetSize(Size());
        for (uint32_t i = 0; i < Size(); ++i)
            *table.MutableItem(i) = m_bytes[i];
    }

private:
    std::vector<uint8_t> m_bytes;
};

inline std::vector<uint8_t> Body(std::initializer_list<uint8_t> head, const std::string& text = "",
    std::initializer_list<uint8_t> tail = {})
{
    std::vector<uint8_t> b(head);
    b.insert(b.end(), text.begin(), text.end());
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}
