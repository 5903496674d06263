#pragma once
// The base of the on-map button panels: whether their buttons show their names.
#include "ui/screen_element.h"

class CButtonPanel : public CScreenElement {
public:
    explicit CButtonPanel(int showCaptions = 0)
        : m_showCaptions(showCaptions)
    {
    }
    void SetShowCaptions(int show) { m_showCaptions = show; }
    int GetShowCaptions() const { return m_showCaptions; }

private:
    int32_t m_showCaptions;
};
