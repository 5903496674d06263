#pragma once
// A framed element whose content is a list of texts, each in its own
// rectangle relative to the element's position.
#include "ui/framed_element.h"

#include <QString>
#include <vector>

struct FramedTextItem {
    CGlyphFont* font = nullptr;
    CGlyphFont* digitFont = nullptr; // may be null
    QString text;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class CFramedTextList : public CFramedElement {
public:
    // Replaces the items, under the widget lock.
    virtual void SetTextItems(int count, const FramedTextItem* items);
    void DrawContent(const ElementPoint& position, const ElementSize& size) override;

    size_t ItemCount();

protected:
    std::vector<FramedTextItem> m_items;
};
