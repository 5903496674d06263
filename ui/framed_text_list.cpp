#include "ui/framed_text_list.h"

namespace {
constexpr int kItemTextFlags = 2;
}

void CFramedTextList::SetTextItems(int count, const FramedTextItem* items)
{
    platform::CSLock lock(g_widgetLock);
    m_items.clear();
    if (count > 0 && items)
        m_items.assign(items, items + count);
}

size_t CFramedTextList::ItemCount()
{
    platform::CSLock lock(g_widgetLock);
    return m_items.size();
}

void CFramedTextList::DrawContent(const ElementPoint& position, const ElementSize& size)
{
    for (const FramedTextItem& item : m_items) {
        if (item.left >= size.cx || item.top >= size.cy)
            continue;
        FontDrawTextBox(item.font, item.text,
            { position.x + item.left, position.y + item.top, position.x + item.right,
                position.y + item.bottom },
            kItemTextFlags, item.digitFont);
    }
}
