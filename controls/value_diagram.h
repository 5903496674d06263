#pragma once
// Diagrams that show a value as five characters over a percent bar; a filler
// (Fill) decides the bar, the value, the text and the fonts each frame.
#include "ui/screen_element.h"

#include <QString>

class CGlyphFont;
class CRouteManager;

struct ValueDiagramFill {
    enum : int { DRAW_BAR = 0x1, HAS_VALUE = 0x2, DRAW_TEXT = 0x4 };
    int flags = DRAW_BAR;
    int percent = 0;
    int32_t value = 0;
    uint32_t restColour = 0;
    uint32_t fillColour = 0;
    CGlyphFont* mainFont = nullptr;
    CGlyphFont* secondFont = nullptr;
};

class CValueDiagram : public CScreenElement {
public:
    void Draw() override;
    // Hiding forgets the value shown, so the text is made afresh.
    void SetState(int state) override;

    QString GetText() const { return m_text; }

protected:
    virtual void Fill(ValueDiagramFill& fill) = 0;
    // The text of a duration in seconds, made again only when the value or
    // the language changed; the text fonts and the text flag.
    void FillDurationText(ValueDiagramFill& fill);

    QString m_text;
    int32_t m_lastValue = -1;
    int m_textLanguage = -1;
};

// Diagram 14005: the time left to the finish at the average speed, over the
// bar of the share of the route driven.
class CRemainingTimeDiagram : public CValueDiagram {
public:
    explicit CRemainingTimeDiagram(CRouteManager* routes);

    // Seconds to drive `metres` at `speedKmh`; -1 when the speed gives no time.
    static int32_t TravelSeconds(double metres, double speedKmh);

protected:
    void Fill(ValueDiagramFill& fill) override;

private:
    CRouteManager* m_routes;
};
