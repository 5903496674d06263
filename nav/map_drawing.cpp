// The map controller's frames: the kernel view rendered and copied into the
// drawing surface, the scroll buffer during drags and zoom previews, and the
// overlays over the map.
#include "drawlib/draw_tool.h"
#include "kernel/api/view_interface.h"
#include "nav/map_controller.h"

int32_t CMapController::RenderNow()
{
    platform::CSLock lock(m_lock);
    CZXS_ViewHandle* view = GetView();
    int32_t result = ZXS_ViewCancelRender(view);
    if (result == 0)
        result = SetViewPosition();
    if (result == 0)
        result = ZXS_ViewClear(view);
    if (result == 0)
        result = ZXS_ViewRender(view, 1, nullptr);
    if (result == 0)
        m_redraw = 0;
    return result;
}
