#pragma once

class CZXS_Doc;

// Caller-owned handle holding one use of a shared map document. A view refers to
// it by address, so it must stay where it is while a view of it exists.
struct CZXS_MapHandle {
    CZXS_Doc* pDoc = nullptr;
    const void* pOwner = nullptr; // any non-null cookie of the caller

    bool IsOpen() const { return pDoc != nullptr; }
};
