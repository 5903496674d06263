#include "controls/tree_menu.h"

#include "controls/command_registry.h"
#include "controls/map_popup_menu.h"
#include "drawlib/glyph_font.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "ui/element_drawing.h"

#include <algorithm>

namespace {

constexpr uint32_t kHotFill = 0xCD8152;
constexpr uint32_t kFill = 0x00BE00;
constexpr unsigned kFillAlpha = 200;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kBlack = 0x000000;
constexpr int kCheckImage = 548;
constexpr int kSubmenuImage = 762;
constexpr int kUpImage = 799;
constexpr int kDownImage = 800;

enum FrameStyle { FRAME_EDGE, FRAME_RAISED, FRAME_SUNKEN };

void DrawFrame(CDrawTool* tool, FrameStyle style, int x, int y, int w, int h)
{
    switch (style) {
    case FRAME_EDGE:
        DrawLineOn(tool, x, y + h, x, y, kWhite);
        DrawLineOn(tool, x + w - 1, y + h, x + w - 1, y, kGrey);
        DrawLineOn(tool, x + w, y + h, x + w, y, kBlack);
        break;
    case FRAME_RAISED:
        DrawLineOn(tool, x, y + h - 2, x, y, kWhite);
        DrawLineOn(tool, x, y, x + w - 2, y, kWhite);
        DrawLineOn(tool, x, y + h - 2, x + w - 1, y + h - 2, kGrey);
        DrawLineOn(tool, x + w - 1, y + h - 2, x + w - 1, y, kGrey);
        DrawLineOn(tool, x, y + h - 1, x + w, y + h - 1, kBlack);
        DrawLineOn(tool, x + w, y + h - 1, x + w, y, kBlack);
        break;
    case FRAME_SUNKEN:
        DrawLineOn(tool, x, y + h - 1, x, y, kGrey);
        DrawLineOn(tool, x, y, x + w - 1, y, kGrey);
        DrawLineOn(tool, x + 1, y + h - 1, x + 1, y + 1, kBlack);
        DrawLineOn(tool, x + 1, y + 1, x + w - 1, y + 1, kBlack);
        DrawLineOn(tool, x + 2, y + h - 2, x + w - 1, y + h - 2, kGrey);
        DrawLineOn(tool, x + w - 1, y + h - 2, x + w - 1, y + 2, kGrey);
        DrawLineOn(tool, x, y + h - 1, x + w, y + h - 1, kWhite);
        DrawLineOn(tool, x + w, y + h - 1, x + w, y, kWhite);
        break;
    }
}

// A hot row's washes are lighter.
int Wash(int alpha, bool hot) { return hot ? (alpha / 3) * 2 : alpha; }

} // namespace

int MeasureGlyphText(int fontId, const QString& text)
{
    CGlyphFont* font = GetToolFont(fontId);
    if (!font)
        return 0;
    const int fixed = FontFixedTextWidth(font, text);
    if (fixed >= 0)
        return fixed;
    // A proportional font: the glyphs' own widths from its edge table.
    const std::vector<int32_t>& edges = font->GetGlyphTable();
    int width = 0;
    for (const QChar c : text) {
        const int glyph = font->GlyphIndex(c.unicode());
        if (glyph >= 0 && static_cast<size_t>(glyph) + 1 < edges.size())
            width += edges[glyph + 1] - edges[glyph];
    }
    return width;
}

int CTreeMenuItem::Set(
    uint8_t newKind, const QString& newText, uint32_t newIcon, int32_t newValue, uint8_t newState)
{
    if (kind != 0)
        return 0;
    if (newKind & KIND_THIN) {
        kind = newKind & KIND_THIN;
        return 1;
    }
    state = newState;
    value = newValue;
    kind = newKind & KIND_CAPTION;
    if ((newKind & KIND_TEXT) && !newText.isEmpty()) {
        kind |= KIND_TEXT;
        text = newText;
    }
    if ((newKind & KIND_ICON) && newIcon != 0) {
        kind |= KIND_ICON;
        icon = newIcon;
    }
    if (newKind & KIND_SUBMENU) {
        kind |= KIND_SUBMENU;
        child = std::make_shared<CTreeMenu>();
    }
    if (kind == 0) {
        text.clear();
        value = 0;
        icon = 0;
        child.reset();
    }
    return kind != 0 ? 1 : 0;
}

int CTreeMenuItem::Height() const { return ScaleByDpiY(Is(KIND_THIN) ? 11 : 22); }

CTreeMenu* CTreeMenu::AddEntry(
    uint8_t kind, uint8_t state, const QString& textEn, const QString& textRu, uint32_t icon, int32_t value)
{
    CTreeMenuItem item;
    item.Set(kind, Bilingual(textEn, textRu), icon, value, state);
    item.bottom = item.Height() + (m_items.empty() ? 0 : m_items.back().bottom);
    m_items.push_back(std::move(item));
    m_width = -1;
    return m_items.back().child.get();
}

namespace {

uint8_t TextKind(const QString& textEn, const QString& textRu, uint32_t icon)
{
    uint8_t kind = 0;
    if (!textEn.isEmpty() && !textRu.isEmpty())
        kind |= CTreeMenuItem::KIND_TEXT;
    if (icon != 0)
        kind |= CTreeMenuItem::KIND_ICON;
    return kind;
}

uint8_t StateOf(bool disabled, bool checked)
{
    return (disabled ? CTreeMenuItem::STATE_DISABLED : 0) | (checked ? CTreeMenuItem::STATE_CHECKED : 0);
}

} // namespace

CTreeMenu* CTreeMenu::AddSubmenu(
    const QString& textEn, const QString& textRu, bool disabled, bool checked, uint32_t icon)
{
    return AddEntry(CTreeMenuItem::KIND_SUBMENU | TextKind(textEn, textRu, icon), StateOf(disabled, checked),
        textEn, textRu, icon, 0);
}

void CTreeMenu::AddItem(
    const QString& textEn, const QString& textRu, uint32_t icon, int32_t value, bool disabled, bool checked)
{
    AddEntry(TextKind(textEn, textRu, icon), StateOf(disabled, checked), textEn, textRu, icon, value);
}

void CTreeMenu::AddCaption(const QString& textEn, const QString& textRu)
{
    AddEntry(CTreeMenuItem::KIND_CAPTION | TextKind(textEn, textRu, 0), 0, textEn, textRu, 0, 0);
}

void CTreeMenu::AddSeparator() { AddEntry(CTreeMenuItem::KIND_SEPARATOR, 0, {}, {}, 0, 0); }

void CTreeMenu::AddCommand(uint32_t id, bool disabled, bool checked)
{
    if (!g_CommandRegistry)
        return;
    const CCommandRegistry& registry = *g_CommandRegistry;
    uint32_t icon = 0;
    if (CCommandRegistry::IsAssignableCommand(id))
        icon = static_cast<uint32_t>(registry.GetImageId(id));
    else if (CCommandRegistry::IsDiagram(id))
        icon = id;
    else
        return;
    AddEntry(CTreeMenuItem::KIND_TEXT | CTreeMenuItem::KIND_ICON, StateOf(disabled, checked),
        registry.GetShortNameEn(id), registry.GetShortNameRu(id), icon, registry.GetMessageId(id));
}

int CTreeMenu::Attach(CDrawTool* surface, CMapPopupMenu* owner)
{
    if (!SetSurface(surface))
        return 0;
    m_owner = owner;
    return 1;
}

void CTreeMenu::Clear()
{
    m_items.clear();
    m_scroll.reset();
    m_hot = HOT_NONE;
    m_width = -1;
}

CTreeMenuItem* CTreeMenu::FindByValue(int32_t value)
{
    for (CTreeMenuItem& item : m_items) {
        if (item.value == value)
            return &item;
        if (item.child)
            if (CTreeMenuItem* found = item.child->FindByValue(value))
                return found;
    }
    return nullptr;
}

int CTreeMenu::RowWidth(const CTreeMenuItem& item) const
{
    if (item.Is(CTreeMenuItem::KIND_ARROW))
        return GetImageSize(GetSurface(), item.Is(CTreeMenuItem::KIND_SCROLL_UP) ? kUpImage : kDownImage).cx;
    if (item.Is(CTreeMenuItem::KIND_SEPARATOR))
        return 0;
    int width = 0;
    if (item.Is(CTreeMenuItem::KIND_ICON))
        width += GetImageSize(GetSurface(), static_cast<int>(item.icon)).cx + 3;
    if (item.Is(CTreeMenuItem::KIND_SUBMENU))
        width += ScaleByDpiX(10);
    if (item.Is(CTreeMenuItem::KIND_TEXT))
        width += MeasureGlyphText(kFontId, item.text) + 8;
    return width;
}

int CTreeMenu::GetWidth()
{
    if (m_width >= 0)
        return m_width;
    int width = 0;
    for (const CTreeMenuItem& item : m_items)
        width = std::max(width, RowWidth(item));
    if (width >= static_cast<int>(ComputeDpiScaleX() * kMaxWidth))
        width = ScaleByDpiX(kMaxWidth);
    m_width = width;
    return m_width;
}

int CTreeMenu::GetHeight() const
{
    if (m_scroll)
        return m_scroll->down.bottom;
    return m_items.empty() ? 0 : m_items.back().bottom;
}

int CTreeMenu::ShowAt(const ElementPoint& nearCorner, const ElementPoint& farCorner)
{
    if (m_items.empty())
        return 0;
    ClearHot();
    const int screenWidth = GetScreenWidth(), screenHeight = GetScreenHeight();
    const int width = GetWidth();
    int height = m_items.back().bottom;
    if (height >= screenHeight) {
        if (!m_scroll) {
            m_scroll = std::make_unique<Scroll>();
            m_scroll->up.Set(CTreeMenuItem::KIND_SCROLL_UP, {}, 0, 0, 0);
            m_scroll->down.Set(CTreeMenuItem::KIND_SCROLL_DOWN, {}, 0, 0, 0);
        }
        m_scroll->hold = -1;
        m_scroll->repeated = 0;
        m_scroll->up.bottom = m_scroll->up.Height();
        m_scroll->down.bottom = screenHeight;
        m_scroll->first = m_scroll->end = 0;
        FitEnd(VisibleHeight());
        RefreshArrows();
        height = screenHeight;
    }
    // Each axis: beyond the far corner when the level fits there, or when it
    // fits on neither side and that side has at least as much room; else
    // before the near corner. Never off the top or the left.
    const auto place = [](int nearPos, int farPos, int extent, int screen) {
        int pos;
        if (farPos + extent <= screen - 1 || (nearPos - extent < 0 && screen - nearPos >= farPos))
            pos = std::min(farPos, screen - extent - 1);
        else
            pos = nearPos - extent;
        return std::max(pos, 0);
    };
    SetPosition({ place(nearCorner.x, farCorner.x, width, screenWidth),
        place(nearCorner.y, farCorner.y, height, screenHeight) });
    return 1;
}

int CTreeMenu::VisibleHeight() const
{
    return m_scroll->down.bottom - m_scroll->down.Height() - m_scroll->up.Height();
}

void CTreeMenu::FitEnd(int limit)
{
    Scroll& s = *m_scroll;
    const int count = static_cast<int>(m_items.size());
    const int before = s.end;
    while (s.end < count && m_items[s.end].bottom <= limit)
        ++s.end;
    if (s.end == before)
        while (s.end > s.first && m_items[s.end - 1].bottom > limit)
            --s.end;
}

void CTreeMenu::RefreshArrows()
{
    Scroll& s = *m_scroll;
    const auto enable = [](CTreeMenuItem& arrow, bool on) {
        if (on)
            arrow.state &= ~CTreeMenuItem::STATE_DISABLED;
        else
            arrow.state = (arrow.state | CTreeMenuItem::STATE_DISABLED) & ~CTreeMenuItem::STATE_HOT;
    };
    enable(s.up, s.first != 0);
    enable(s.down, s.end < static_cast<int>(m_items.size()));
}

void CTreeMenu::ScrollUp()
{
    if (!m_scroll || m_scroll->first == 0)
        return;
    Scroll& s = *m_scroll;
    --s.first;
    int limit = VisibleHeight();
    if (s.first != 0)
        limit += m_items[s.first].Top();
    FitEnd(limit);
    RefreshArrows();
}

void CTreeMenu::ScrollDown()
{
    if (!m_scroll || m_scroll->end >= static_cast<int>(m_items.size()))
        return;
    Scroll& s = *m_scroll;
    ++s.end;
    // The first row that, with everything down to the new last row, fits the
    // visible height.
    const int top = m_items[s.end - 1].bottom - VisibleHeight();
    int first = 0;
    while (first < s.end - 1 && m_items[first].Top() < top)
        ++first;
    s.first = first;
    FitEnd(VisibleHeight() + (s.first != 0 ? m_items[s.first].Top() : 0));
    RefreshArrows();
}

CTreeMenu::Hit CTreeMenu::HitTest(const ElementPoint& point) const
{
    ElementPoint at;
    GetPosition(at);
    if (m_items.empty() || point.x < at.x || point.y < at.y || point.x >= at.x + m_width)
        return {};
    int dy = point.y - at.y;
    int first = 0, end = static_cast<int>(m_items.size());
    if (m_scroll) {
        const Scroll& s = *m_scroll;
        if (dy < s.up.Height())
            return { -1, ZONE_UP };
        if (dy >= s.down.bottom)
            return {};
        if (dy >= s.down.bottom - s.down.Height())
            return { -1, ZONE_DOWN };
        dy = dy - s.up.Height() + m_items[s.first].Top();
        first = s.first;
        end = s.end;
        if (end <= first || dy >= m_items[end - 1].bottom)
            return { -1, ZONE_BELOW };
    } else if (dy >= m_items.back().bottom) {
        return {};
    }
    for (int row = first; row < end; ++row)
        if (m_items[row].bottom > dy)
            return { row, ZONE_ROW };
    return {};
}

CTreeMenuItem* CTreeMenu::HotItem()
{
    if (m_hot >= 0 && m_hot < static_cast<int>(m_items.size()))
        return &m_items[m_hot];
    if (m_scroll && m_hot == HOT_UP)
        return &m_scroll->up;
    if (m_scroll && m_hot == HOT_DOWN)
        return &m_scroll->down;
    return nullptr;
}

void CTreeMenu::SetHot(int hot)
{
    if (hot == m_hot)
        return; // a held arrow keeps counting
    if (CTreeMenuItem* old = HotItem()) {
        old->state &= ~CTreeMenuItem::STATE_HOT;
        if (old->Is(CTreeMenuItem::KIND_ARROW)) {
            m_scroll->hold = -1;
            m_scroll->repeated = 0;
        }
    }
    m_hot = hot;
    if (CTreeMenuItem* item = HotItem()) {
        item->state |= CTreeMenuItem::STATE_HOT;
        if (item->Is(CTreeMenuItem::KIND_ARROW) && !item->Has(CTreeMenuItem::STATE_DISABLED)
            && m_scroll->hold < 0)
            m_scroll->hold = 0;
    }
}

int CTreeMenu::Track(const ElementPoint& point)
{
    const Hit hit = HitTest(point);
    const CTreeMenuItem* hot = HotItem();
    const bool hotIsArrow = hot && hot->Is(CTreeMenuItem::KIND_ARROW);
    const bool separator = hit.zone == ZONE_ROW && m_items[hit.row].Is(CTreeMenuItem::KIND_SEPARATOR);
    if ((hit.zone == ZONE_BELOW || separator) && !hotIsArrow)
        return 1;
    switch (hit.zone) {
    case ZONE_UP:
        SetHot(HOT_UP);
        break;
    case ZONE_DOWN:
        SetHot(HOT_DOWN);
        break;
    case ZONE_ROW:
        SetHot(hit.row);
        break;
    default:
        ClearHot();
        break;
    }
    return hit.zone != ZONE_NONE ? 1 : 0;
}

int CTreeMenu::OnPointerDown(const ElementPoint& point) { return Track(point); }

int CTreeMenu::OnPointerMove(const ElementPoint& point) { return Track(point); }

int CTreeMenu::OnPointerUp(const ElementPoint& point)
{
    if (Track(point) == 0)
        return UP_NOT_HERE;
    CTreeMenuItem* hot = HotItem();
    if (!hot)
        return UP_HANDLED;
    if (hot->Has(CTreeMenuItem::STATE_DISABLED)
        || hot->Is(CTreeMenuItem::KIND_CAPTION | CTreeMenuItem::KIND_SEPARATOR))
        return UP_HANDLED;
    if (hot->Is(CTreeMenuItem::KIND_ARROW)) {
        const bool up = hot->Is(CTreeMenuItem::KIND_SCROLL_UP);
        // A hold that already scrolled does not scroll once more on release.
        if (!m_scroll->repeated) {
            if (up)
                ScrollUp();
            else
                ScrollDown();
        }
        ClearHot();
        return UP_HANDLED;
    }
    if (hot->Is(CTreeMenuItem::KIND_SUBMENU)) {
        OpenSubmenu(m_hot);
        return UP_HANDLED;
    }
    if (hot->value != 0) {
        const int32_t value = hot->value;
        ClearHot();
        if (m_owner)
            m_owner->PostChoice(value);
        return UP_POSTED;
    }
    return UP_HANDLED;
}

void CTreeMenu::OnTick(int elapsedMs)
{
    if (!m_scroll || m_scroll->hold < 0)
        return;
    const CTreeMenuItem* hot = HotItem();
    if (!hot || !hot->Is(CTreeMenuItem::KIND_ARROW) || hot->Has(CTreeMenuItem::STATE_DISABLED))
        return;
    m_scroll->hold = static_cast<int16_t>(std::min(m_scroll->hold + elapsedMs, 30000));
    if (m_scroll->hold < kRepeatMs)
        return;
    m_scroll->hold = 0;
    m_scroll->repeated = 1;
    if (hot->Is(CTreeMenuItem::KIND_SCROLL_UP))
        ScrollUp();
    else
        ScrollDown();
}

void CTreeMenu::OpenSubmenu(int row)
{
    const CTreeMenuItem& item = m_items[row];
    if (!item.child)
        return;
    ElementPoint at;
    GetPosition(at);
    const int width = GetWidth();
    int top = item.Top(), bottom = item.bottom;
    if (m_scroll) {
        const int offset = m_scroll->up.Height() - m_items[m_scroll->first].Top();
        top += offset;
        bottom += offset;
    }
    const ElementPoint nearCorner { at.x + ScaleByDpiX(3), at.y + top + ScaleByDpiY(10) };
    const ElementPoint farCorner { at.x + width - ScaleByDpiX(3), at.y + bottom - ScaleByDpiY(10) };
    CTreeMenu* child = item.child.get();
    child->Attach(GetSurface(), m_owner);
    if (child->ShowAt(nearCorner, farCorner) && m_owner)
        m_owner->PushLevel(child);
}

void CTreeMenu::Draw()
{
    if (m_items.empty())
        return;
    ElementPoint at;
    GetPosition(at);
    const int width = GetWidth();
    int y = at.y;
    if (!m_scroll) {
        for (const CTreeMenuItem& item : m_items) {
            DrawRow(item, at.x, y, width, item.Height());
            y += item.Height();
        }
        return;
    }
    const Scroll& s = *m_scroll;
    DrawRow(s.up, at.x, y, width, s.up.Height());
    y += s.up.Height();
    for (int row = s.first; row < s.end; ++row) {
        DrawRow(m_items[row], at.x, y, width, m_items[row].Height());
        y += m_items[row].Height();
    }
    const int downTop = at.y + s.down.bottom - s.down.Height();
    if (downTop - y > 0) {
        FillRectAlpha(GetSurface(), at.x, y, width, downTop - y, kFill, kFillAlpha);
        DrawFrame(GetSurface(), FRAME_EDGE, at.x, y, width, downTop - y);
    }
    DrawRow(s.down, at.x, downTop, width, s.down.Height());
}

void CTreeMenu::DrawRow(const CTreeMenuItem& item, int x, int y, int w, int h)
{
    CDrawTool* tool = GetSurface();
    const bool hot = item.Has(CTreeMenuItem::STATE_HOT);
    const bool caption = item.Is(CTreeMenuItem::KIND_CAPTION);
    const bool separator = item.Is(CTreeMenuItem::KIND_SEPARATOR);
    const bool disabled = item.Has(CTreeMenuItem::STATE_DISABLED);
    FillRectAlpha(tool, x, y, w, h, hot ? kHotFill : kFill, kFillAlpha);
    DrawFrame(tool, separator || caption ? FRAME_EDGE : hot ? FRAME_SUNKEN : FRAME_RAISED, x, y, w, h);
    if (separator)
        return;
    const int o = hot && !caption && !disabled ? 2 : 0;
    if (item.Is(CTreeMenuItem::KIND_ARROW)) {
        const int image = item.Is(CTreeMenuItem::KIND_SCROLL_UP) ? kUpImage : kDownImage;
        const ElementSize size = GetImageSize(tool, image);
        const int ix = x + o / 2 + (size.cx < w ? (w - size.cx) / 2 : 0);
        const int iy = y + o / 2 + (size.cy < h ? (h - size.cy) / 2 : 0);
        DrawKeyedImage(tool, image, ix, iy, 255);
        return;
    }
    int iconPart = 0, submenuPart = 0;
    if (item.Is(CTreeMenuItem::KIND_ICON)) {
        DrawKeyedImage(tool, static_cast<int>(item.icon), x + o + 3, y + o + 2, 255);
        iconPart = GetImageSize(tool, static_cast<int>(item.icon)).cx + 3;
    }
    if (item.Is(CTreeMenuItem::KIND_SUBMENU)) {
        DrawKeyedImage(tool, kSubmenuImage, x + w + o - ScaleByDpiX(10), y + ScaleByDpiY(6) + o, 255);
        submenuPart = ScaleByDpiX(10);
    }
    const int firstWash = caption ? 160 : disabled ? 100 : 0;
    if (firstWash)
        FillRectAlpha(tool, x, y, w, h, kWhite, Wash(firstWash, hot));
    if (item.Is(CTreeMenuItem::KIND_TEXT)) {
        const ElementRect rect { o + x + 4 + iconPart, y + ScaleByDpiY(2) + o, o + x + w - 4 - submenuPart,
            y + h + ScaleByDpiY(2) + o };
        FontDrawTextInRect(GetToolFont(kFontId), item.text, rect, 3);
    }
    const int secondWash = caption ? 60 : disabled ? 120 : 0;
    if (secondWash)
        FillRectAlpha(tool, x, y, w, h, kWhite, Wash(secondWash, hot));
    if (item.Has(CTreeMenuItem::STATE_CHECKED)) {
        const ElementSize size = GetImageSize(tool, kCheckImage);
        DrawKeyedImage(tool, kCheckImage, x + w + o - 2 - size.cx, y + h + o - 3 - size.cy, 255);
    }
}
