#pragma once

#include <cstdint>

#include "kernel/doc/object.h"

class CZXS_DiskStream;

// Growable table of variable-length records, each led by its own unsigned 16-bit
// little-endian total length. The buffer may be borrowed from a mapped or memory
// source: such a buffer is read-only and is never freed or resized here; the first
// change copies it into a buffer of our own.
class CCollect : public CZXS_Object {
public:
    CCollect() = default;
    CCollect(const CCollect&) = delete;
    CCollect& operator=(const CCollect&) = delete;
    ~CCollect() override;

    const char16_t* ClassName() const override { return u"CCollect"; }

    // Forgets the buffer without freeing it.
    virtual void Reset();
    // 1 when a buffer was released (or a borrowed one let go), 0 when there was none.
    virtual int Free();
    // A zeroed buffer of `bytes`; the size is left as it was. 0 with error 7 on failure.
    virtual int Allocate(uint32_t bytes, uint32_t growth);
    virtual int SetSize(uint32_t bytes);
    virtual int EnsureSize(uint32_t bytes);
    virtual uint32_t Size() const { return m_size; }
    // Pointer at a byte offset inside the used part, or null.
    virtual const uint8_t* Item(uint32_t offset) const;
    // The record after `record`, or null at the end or at a malformed record.
    virtual const uint8_t* Next(const uint8_t* record) const;
    virtual int32_t NextOffset(int32_t offset) const;
    // Variable-length record operations; results are offsets, or -1 on failure.
    virtual int32_t Replace(const uint8_t* record, int32_t offset);
    virtual int32_t Append(const uint8_t* record);
    virtual int32_t Insert(const uint8_t* record, int32_t offset);
    virtual int Remove(int32_t offset);

    // Length of the well-formed record at `offset` (at least 2 and inside the used
    // part), else 0.
    uint16_t RecordLength(uint32_t offset) const;
    // Writable pointer at a byte offset; a borrowed buffer is copied first. Null
    // when the offset is outside the used part or the copy failed.
    uint8_t* MutableItem(uint32_t offset);
    const uint8_t* Data() const { return m_data; }
    uint32_t Capacity() const { return m_capacity; }
    uint32_t Growth() const { return m_growth; }
    bool IsBorrowed() const { return m_borrowed != 0; }

    // Takes `bytes` bytes from the stream: in place from a mapped or memory source,
    // else into an own buffer. 1 when all were obtained.
    int Load(CZXS_DiskStream& stream, uint32_t bytes);

protected:
    // Makes room for at least `needed` bytes (plus the growth step when the
    // buffer must grow). False with error 7 and nothing changed on failure.
    bool Reserve(uint64_t needed);
    // Copies a borrowed buffer into an own one before any change.
    bool MakeOwn();
    uint8_t* MutableData() { return m_data; }

private:
    uint32_t m_capacity = 0;
    uint32_t m_size = 0;
    uint32_t m_growth = 0;
    uint8_t* m_data = nullptr;
    uint16_t m_borrowed = 0;

    friend class CByteCollect;
};
