#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "kernel/doc/fixed_collect.h"

// List of kernel objects a document serves (its views), kept as pointers in a
// fixed-record table created on demand.
class CZXS_OwnerList {
public:
    // 1, or 0 when memory fails.
    int Create();
    void Release();
    // 1 added; 0 with the reason stored in the object (the table's error, or 18
    // without a table).
    int Add(CZXS_Object* object);
    // 1 removed; 0 with error 16 (not a member) or 18 (no table) stored in the object.
    int Remove(CZXS_Object* object);
    // Calls `notify` for each member in order; it returns false for a member that
    // can no longer be notified (its document is gone), which stops the walk with
    // result 1. 0 when every member was notified.
    int Notify(const std::function<bool(CZXS_Object*)>& notify) const;

    uint16_t Count() const { return m_count; }
    CZXS_Object* At(uint32_t index) const;

private:
    std::unique_ptr<CFixedCollect> m_members;
    uint16_t m_count = 0;
};
