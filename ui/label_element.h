#pragma once
// A text drawn with a glyph font into its rectangle: the message window's
// wrapped text and the captions of the on-map widgets.
#include "ui/screen_element.h"

#include <QString>

class CGlyphFont;

class CLabelElement : public CScreenElement {
public:
    // Sets font (the draw tool's font 196 when none), text, flags, position
    // and size, and shows the element.
    void Create(const QString& text, const ElementPoint& position, const ElementSize& size, CGlyphFont* font,
        int flags);
    void Draw() override;
    // Stores the surface and hides the element.
    int SetSurface(CDrawTool* surface) override;

    const QString& GetText() const { return m_text; }
    CGlyphFont* GetFont() const { return m_font; }
    int GetFlags() const { return m_flags; }

private:
    QString m_text;
    CGlyphFont* m_font = nullptr;
    int m_flags = 0;
};
