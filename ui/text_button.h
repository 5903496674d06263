#pragma once
// A captioned button: caption, optional icon, optional image or 3-D framed
// background, optional press animation. Held by value in arrays; a copy
// copies every field, the caption included.
#include "ui/image_button.h"

#include <QString>

class CGlyphFont;

enum TextButtonStyle : uint32_t {
    TEXT_BUTTON_CAPTION = 0x01,
    TEXT_BUTTON_ICON = 0x02,
    TEXT_BUTTON_BACKGROUND = 0x04,
    TEXT_BUTTON_IMAGE_BACKGROUND = 0x08,
    TEXT_BUTTON_PRESS_ANIMATION = 0x10,
    TEXT_BUTTON_ICON_FOLLOWS_STEP = 0x20,
};

class CTextButton : public CImageButton {
public:
    // Every field but the id; the owner lends its alpha. The margin is 2 for a
    // filled background and 0 without a background, whatever is passed.
    int Setup(CDrawTool* surface, const ElementPoint& position, CScreenElement* owner, const QString& caption,
        const ElementSize& size, uint32_t style, uint32_t background, int margin, CGlyphFont* font,
        uint32_t textFlags);
    void DrawImage(int highlight) override;

    const QString& GetCaption() const { return m_caption; }
    CGlyphFont* GetFont() const { return m_font; }
    uint32_t GetTextFlags() const { return m_textFlags; }
    uint32_t GetStyle() const { return m_style; }
    uint32_t GetBackground() const { return m_background; }
    int GetMargin() const { return m_margin; }

private:
    void DrawFilledBackground(int alpha);

    QString m_caption;
    CGlyphFont* m_font = nullptr;
    uint32_t m_textFlags = 0;
    uint32_t m_style = TEXT_BUTTON_CAPTION | TEXT_BUTTON_ICON;
    uint32_t m_background = 0;
    int32_t m_margin = 0;
};
