#include "app/map_item_holder.h"

#include "kernel/api/view_interface.h"

CMapItemHolder::~CMapItemHolder() { ZXS_ViewDestroy(&m_view); }
