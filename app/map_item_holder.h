#pragma once
// The owner of the map controller's kernel view: the view dies with it.
#include "kernel/api/view_handle.h"

class CMapItemHolder {
public:
    CMapItemHolder() = default;
    virtual ~CMapItemHolder();
    CMapItemHolder(const CMapItemHolder&) = delete;
    CMapItemHolder& operator=(const CMapItemHolder&) = delete;

    CZXS_ViewHandle* GetView() { return &m_view; }
    const CZXS_ViewHandle* GetView() const { return &m_view; }

private:
    CZXS_ViewHandle m_view;
};
