#pragma once
// Diagram 14003: the GPS speed in km/h as three digits with "km/h" beside them
// like a fraction, over a bar that 150 km/h fills.
#include "ui/framed_text_list.h"

class CSpeedDiagram : public CFramedTextList {
public:
    // Also lays out the three text items.
    int SetSurface(CDrawTool* surface) override;
    void GetFrameStyle(const ElementPoint& position, const ElementSize& size, int& style) override;

    // The number as drawn: three characters, leading zeros as spaces.
    QString GetNumberText();

    // km/h of a speed in knots, rounded; speeds above 255 km/h show 255.
    static int SpeedKmh(double knots);

private:
    int32_t m_lastSpeed = -1;
};
