#pragma once
// A framed element whose content is one text drawn into its area.
#include "ui/framed_element.h"

#include <QString>

class CFramedText : public CFramedElement {
public:
    void SetText(CGlyphFont* font, const QString& text, int textFlags);
    void DrawContent(const ElementPoint& position, const ElementSize& size) override;

protected:
    CGlyphFont* m_font = nullptr;
    QString m_text;
    int16_t m_textFlags = 0;
};
