#pragma once

#include "kernel/doc/byte_collect.h"

// Table of records of one fixed size (default 1). Reset and Free set the record
// size back to 1, so a table used again after Free must be given its size again.
class CFixedCollect : public CByteCollect {
public:
    explicit CFixedCollect(uint16_t recordSize = 1)
        : m_recordSize(recordSize == 0 ? 1 : recordSize)
    {
    }

    void Reset() override;
    int Free() override;

    uint16_t RecordSize() const override { return m_recordSize; }
    // As the byte table's, without its calls through the table of slots: a
    // frame reads index blocks and records this way many thousand times.
    const uint8_t* Item(uint32_t index) const final
    {
        const uint64_t offset = uint64_t { index } * m_recordSize;
        return offset + m_recordSize > CCollect::Size() ? nullptr : Data() + offset;
    }
    void SetRecordSize(uint16_t size) { m_recordSize = size == 0 ? 1 : size; }
    const char16_t* CollectClassName() const override { return u"CFixedCollect"; }

private:
    uint16_t m_recordSize;
};
