#pragma once
// Diagram 14002: the local time as "HH:MM" on a pale yellow ground. The text
// is rebuilt only when the minute changes.
#include "controls/text_diagram.h"

class CClockDiagram : public CTextDiagram {
public:
    // The text "  :  " in the number font until the first draw.
    int SetSurface(CDrawTool* surface) override;
    void GetFrameStyle(const ElementPoint& position, const ElementSize& size, int& style) override;

    QString GetText();

private:
    int32_t m_lastMinute = -1;
};
