#pragma once
// Diagram 14001: the battery's charge as a bar with the percentage. The
// battery is read again every 181st frame; the text blinks while the charge is
// low (19 % or less) or unknown.
#include "ui/screen_element.h"

#include <QString>

class CBlinker;
class CBlinkerList;

class CPowerDiagram : public CScreenElement {
public:
    // The blink follows the list's blinker of no element (the GPS marker's).
    explicit CPowerDiagram(CBlinkerList* blinkers = nullptr);

    int SetSurface(CDrawTool* surface) override;
    void Draw() override;

    QString GetText() const { return m_text; }
    // The percentage the last draw showed; 255 unknown.
    int GetShownPercent() const { return m_shown; }

    static constexpr int kUnknown = 255;
    static constexpr int kReadEvery = 181;
    // The percentage of a battery reading: its own when known, else by its flags.
    static int PercentFromFlags(int flags);

private:
    int ReadPercent();

    CBlinkerList* m_blinkers;
    const CBlinker* m_blinker = nullptr;
    int m_cached = kUnknown;
    int m_lastRead = kUnknown;
    int m_drawsSinceRead = 0;
    int m_shown = kUnknown;
    QString m_text = QStringLiteral("  ?%");
};
