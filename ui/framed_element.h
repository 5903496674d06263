#pragma once
// Elements that draw a white box with a frame (or with those of its edges
// that are on the screen) and then their content. All of them, and their item
// lists, share one lock with the draw thread, g_widgetLock, which is never
// held while another lock is taken.
#include "platform/sync.h"
#include "ui/element_drawing.h"

#include <cassert>

extern platform::CriticalSection g_widgetLock;

// Holds a lock of an element that draws on its own (the message window, the
// button hint). Such a lock comes before the widget lock in every lock order:
// taking it while the widget lock is held would reverse that order, which a
// debug build stops at once.
class CLockOrderGuard {
public:
    explicit CLockOrderGuard(platform::CriticalSection& cs)
        : m_guard((CheckOrder(), cs))
    {
    }

private:
    static void CheckOrder() { assert(!g_widgetLock.IsOwnedByCurrentThread()); }
    platform::CSLock m_guard;
};

enum FrameStyle : int {
    FRAME_BOXED = 0x1, // white box at the element's alpha with a black frame
    FRAME_CONTENT = 0x2, // draw the content afterwards
    FRAME_CLIPPED = 0x4, // box clipped to the screen, with only its visible edges
};

class CFramedElement : public CScreenElement {
public:
    // Fills `style` with FrameStyle bits for the given area.
    virtual void GetFrameStyle(const ElementPoint& position, const ElementSize& size, int& style) = 0;
    virtual void DrawContent(const ElementPoint& position, const ElementSize& size) = 0;
    void Draw() override;
};
