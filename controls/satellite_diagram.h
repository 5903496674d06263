#pragma once
// Diagram 14000: the satellites of the fix as one bar of twelve: red for those
// used, blue for those in view but not used, pale yellow for the rest.
#include "ui/screen_element.h"

class CSatelliteDiagram : public CScreenElement {
public:
    void Draw() override;
};
