#pragma once
// The title strip of the message window: picture 214 with the caption on it.
#include "ui/screen_element.h"

#include <QString>

class CGlyphFont;

class CMessageTitle : public CScreenElement {
public:
    void SetFont(CGlyphFont* font) { m_font = font; }
    CGlyphFont* GetFont() const { return m_font; }
    void SetCaption(const QString& caption) { m_caption = caption; }
    const QString& GetCaption() const { return m_caption; }
    // Takes the size of the title picture.
    void UpdateSize();
    void Draw() override;

private:
    CGlyphFont* m_font = nullptr;
    QString m_caption;
};
