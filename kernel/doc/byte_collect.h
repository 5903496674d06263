#pragma once

#include "kernel/doc/collect.h"

// Table of fixed-size elements: one byte each here, `RecordSize()` bytes in
// `CFixedCollect`. The element operations count in elements; Size() stays in bytes.
class CByteCollect : public CCollect {
public:
    int Allocate(uint32_t count, uint32_t growth) override;
    int SetSize(uint32_t count) override;
    int EnsureSize(uint32_t count) override;
    const uint8_t* Item(uint32_t index) const override;
    const uint8_t* Next(const uint8_t* element) const override;
    int32_t Append(const uint8_t* element) override;
    int32_t Insert(const uint8_t* element, int32_t index) override;

    uint32_t Count() const { return Size() / RecordSize(); }
    uint32_t SizeInBytes() const { return Size(); }
    // Results 1 / index, or 0 / -1 when the range is outside the table or memory fails.
    int RemoveAt(uint32_t index, uint32_t count);
    int32_t InsertAt(uint32_t index, const uint8_t* source, uint32_t count);
    int32_t Append(const uint8_t* source, uint32_t count);
    int Truncate(uint32_t count);
    const uint8_t* Last() const;
    const uint8_t* Previous(const uint8_t* element) const;
    uint64_t ElementsToBytes(uint64_t count) const { return count * RecordSize(); }
    uint32_t BytesToElements(uint32_t bytes) const { return bytes / RecordSize(); }
    uint32_t EndOfNext(uint32_t offset) const { return offset + RecordSize(); }
    // Writable element; a borrowed buffer is copied first.
    uint8_t* MutableElement(uint32_t index);

    virtual uint16_t RecordSize() const { return 1; }
    virtual const char16_t* CollectClassName() const { return u"CByteCollect"; }

private:
    bool ElementBytes(uint64_t count, uint32_t& bytes);
};
