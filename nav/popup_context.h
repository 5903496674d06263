#pragma once
// The request of one long press, copied by value to the popup menu: what was
// pressed, the element that armed it, and words whose meaning follows the kind.
#include <cstdint>

class CScreenElement;

enum PopupKind : int32_t {
    POPUP_TRANSPARENT_BUTTON = 0,
    POPUP_TOP_BAR = 1,
    POPUP_BOTTOM_BAR = 2,
    POPUP_MAP = 3,
};

struct PopupContext {
    int32_t kind = POPUP_MAP;
    CScreenElement* element = nullptr;
    // For the map: the press in map units, the map centre, the nearest road
    // element (-1 none), that road's passage flags (written when the map's menu
    // is built) and the press in screen pixels. For a bar button: the button
    // and its command in the first two; for a transparent button: the button,
    // what it holds and its folder in the first three.
    int32_t mapX = 0;
    int32_t mapY = 0;
    int32_t centreX = 0;
    int32_t centreY = 0;
    int32_t objectId = -1;
    int32_t spare = 0;
    int32_t screenX = 0;
    int32_t screenY = 0;
};
