#pragma once

class CZXS_PoiQuery;

// Caller-owned handle of a POI query; independent of map handles.
struct CZXS_PoiHandle {
    CZXS_PoiQuery* pQuery = nullptr;
    const void* pAttribute = nullptr; // current attribute of the current POI

    bool IsOpen() const { return pQuery != nullptr; }
};
