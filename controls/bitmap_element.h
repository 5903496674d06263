#pragma once
// The map's scale bar: the bar picture with the distance it stands for in a
// small label above it. It takes no pointer input.
#include "ui/button_hint.h"

class CMapController;

class CBitmapElement : public CScreenElement {
public:
    static constexpr uint32_t kBarImage = 207;

    // Takes the bar picture's size. 1.
    int Attach(CDrawTool* surface, CMapController* owner, const ElementPoint& position);
    void Draw() override;

    CButtonHint& GetLabel() { return m_label; }

private:
    CMapController* m_owner = nullptr;
    CButtonHint m_label;
    // What the label was made for.
    ElementPoint m_labelAt { -1, 0 };
    int32_t m_labelLength = 0;
    int m_labelLanguage = -1;
};
