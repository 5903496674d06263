#include "platform/keys.h"

#include <Qt>

namespace platform {

int VirtualKeyFromQt(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Tab:
        return VK_TAB;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_F1:
        return VK_APP1;
    case Qt::Key_F2:
        return VK_APP2;
    case Qt::Key_F3:
        return VK_APP3;
    case Qt::Key_F4:
        return VK_APP4;
    case Qt::Key_F5:
        return VK_RECORD;
    case Qt::Key_F6:
        return VK_START;
    default:
        return 0;
    }
}

} // namespace platform
