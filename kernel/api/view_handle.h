#pragma once

#include "kernel/api/map_handle.h"

class CZXS_View;

// Caller-owned handle of a view of one map handle.
struct CZXS_ViewHandle {
    CZXS_View* pView = nullptr;
    CZXS_MapHandle* pMap = nullptr;
};

// A view handle is usable for drawing and conversion only while its map handle
// is still open with its owner cookie.
inline bool ZXS_IsViewHandleValid(const CZXS_ViewHandle* handle)
{
    return handle != nullptr && handle->pView != nullptr && handle->pMap != nullptr
        && handle->pMap->pDoc != nullptr && handle->pMap->pOwner != nullptr;
}
