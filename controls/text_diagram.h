#pragma once
// A diagram showing one text in its box (the clock derives from it). The
// diagram panel of the on-map widgets is the framed element of the interface:
// its frame-style query says whether to draw the white framed box and the
// content, under the widget lock the draw thread holds while it draws.
#include "ui/framed_text.h"

using CDiagramPanel = CFramedElement;

class CTextDiagram : public CFramedText {
public:
    CTextDiagram();

    // Box and text once there is a text and a font, else the box alone.
    void GetFrameStyle(const ElementPoint& position, const ElementSize& size, int& style) override;
};
