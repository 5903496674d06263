#pragma once
// A white caption box with one text, kept on the screen: g_buttonHint shows a
// command's name while its button is held, g_infoLabel the compass and scale
// texts. The user-interface thread changes it and the draw thread draws it;
// every operation takes the box's own lock.
#include "platform/process_object.h"
#include "platform/sync.h"
#include "ui/element_drawing.h"

#include <QString>

class CButtonHint : public CScreenElement {
public:
    CButtonHint();

    int Init(CDrawTool* surface, int fullWidth);
    // Lays the box out at `anchor` and shows it; the anchor receives the corner
    // that was moved to keep the box on the screen.
    void ShowText(const QString& text, ElementPoint& anchor, CGlyphFont* font);
    void MoveTo(ElementPoint& anchor);
    void Hide();
    CGlyphFont* GetFont();
    void Draw() override;
    void SetState(int state) override;

    QString GetText();
    // The anchor last asked for (before keeping the box on the screen).
    ElementPoint GetAnchor();
    ElementRect GetBox();
    ElementRect GetTextRect();

private:
    void BringOnScreen(ElementPoint& anchor);

    ElementPoint m_anchor { -1, -1 };
    CGlyphFont* m_font = nullptr;
    QString m_text;
    ElementRect m_textRect;
    ElementRect m_box;
    platform::CriticalSection m_lock;
    int32_t m_fullWidth = 0;
};

// Built by the application's start-up list.
inline platform::ProcessObject<CButtonHint> g_buttonHint;
inline platform::ProcessObject<CButtonHint> g_infoLabel;
