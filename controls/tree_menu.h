#pragma once
// One level of the menu that a long press opens over the map: a column of
// rows (commands, entries, captions, separators and rows that open a child
// level) drawn onto the map surface by the draw thread. A level taller than
// the screen scrolls between two arrow rows. A level knows nothing of what a
// row means: activating a row hands the row's value to the popup menu, which
// posts it to its command window.
//
// Every call runs on the user-interface thread except Draw; the popup menu
// holds its lock around each of them.
#include "ui/screen_element.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class CMapPopupMenu;
class CTreeMenu;

// One row of a level.
struct CTreeMenuItem {
    enum Kind : uint8_t {
        KIND_TEXT = 0x01,
        KIND_ICON = 0x02,
        KIND_CAPTION = 0x04,
        KIND_SEPARATOR = 0x08,
        KIND_SUBMENU = 0x10,
        KIND_SCROLL_UP = 0x20,
        KIND_SCROLL_DOWN = 0x40,
        KIND_ARROW = KIND_SCROLL_UP | KIND_SCROLL_DOWN,
        KIND_THIN = KIND_SEPARATOR | KIND_ARROW,
    };
    enum State : uint8_t { STATE_CHECKED = 0x01, STATE_DISABLED = 0x02, STATE_HOT = 0x04 };

    // Gives the row its kind, text, icon, value and state; 0 (nothing
    // changes) for a row that has a kind already. Separators and arrows keep
    // no text, icon, value or state; a submenu row gets an empty child level.
    int Set(uint8_t kind, const QString& text, uint32_t icon, int32_t value, uint8_t state);
    // Pixels: thin rows (separators, arrows) are half as high as the others.
    int Height() const;
    int Top() const { return bottom - Height(); }
    bool Is(uint8_t bits) const { return (kind & bits) != 0; }
    bool Has(uint8_t bits) const { return (state & bits) != 0; }

    std::shared_ptr<CTreeMenu> child; // the level a submenu row opens
    int32_t value = 0; // posted when the row is activated; 0 none
    QString text;
    uint32_t icon = 0;
    uint8_t state = 0;
    uint8_t kind = 0;
    // Lower edge of the row from the level's top. 32 bits: a long list of
    // addresses must not wrap it.
    int32_t bottom = 0;
};

class CTreeMenu : public CScreenElement {
public:
    // Answers of OnPointerUp.
    enum : int { UP_POSTED = 2, UP_NOT_HERE = 3, UP_HANDLED = 4 };
    // Hit zones.
    enum Zone : int { ZONE_NONE = 0, ZONE_UP = 1, ZONE_DOWN = 2, ZONE_ROW = 3, ZONE_BELOW = 4 };
    // The hot row besides a row index.
    enum : int { HOT_NONE = -1, HOT_UP = -2, HOT_DOWN = -3 };
    // The arrows' repeat period while held, milliseconds.
    static constexpr int kRepeatMs = 250;
    // Widths at or above this many 96-dpi pixels are cut to it.
    static constexpr int kMaxWidth = 215;
    static constexpr int kFontId = 761;

    CTreeMenu() = default;
    ~CTreeMenu() override = default;

    // Building; each returns the new row's child level for a submenu row.
    // The text is that of the interface language.
    CTreeMenu* AddEntry(uint8_t kind, uint8_t state, const QString& textEn, const QString& textRu,
        uint32_t icon, int32_t value);
    CTreeMenu* AddSubmenu(
        const QString& textEn, const QString& textRu, bool disabled, bool checked, uint32_t icon);
    void AddItem(const QString& textEn, const QString& textRu, uint32_t icon, int32_t value, bool disabled,
        bool checked);
    void AddCaption(const QString& textEn, const QString& textRu);
    void AddSeparator();
    // A command 10000..10046 or a diagram 14000..14006 with its short names,
    // image and popup message; any other id adds nothing.
    void AddCommand(uint32_t id, bool disabled, bool checked);

    // SetSurface and the owner; 0 when the surface is refused.
    int Attach(CDrawTool* surface, CMapPopupMenu* owner);
    void Clear();
    // Depth first in display order.
    CTreeMenuItem* FindByValue(int32_t value);
    int GetWidth();
    // Places the level beside the near and far corners; 0 for a level without rows.
    int ShowAt(const ElementPoint& nearCorner, const ElementPoint& farCorner);

    int OnPointerDown(const ElementPoint& point) override;
    int OnPointerMove(const ElementPoint& point) override;
    int OnPointerUp(const ElementPoint& point) override;
    void OnTick(int elapsedMs);
    // A level keeps every key.
    int OnKeyDown(int) { return 1; }
    int OnKeyUp(int) { return 1; }
    void Draw() override;

    // What tests and the popup menu read.
    const std::vector<CTreeMenuItem>& Items() const { return m_items; }
    bool IsScrolling() const { return m_scroll != nullptr; }
    // The visible rows [first, end) while scrolling; all rows otherwise.
    int FirstVisible() const { return m_scroll ? m_scroll->first : 0; }
    int EndVisible() const { return m_scroll ? m_scroll->end : static_cast<int>(m_items.size()); }
    bool IsUpEnabled() const { return m_scroll && !m_scroll->up.Has(CTreeMenuItem::STATE_DISABLED); }
    bool IsDownEnabled() const { return m_scroll && !m_scroll->down.Has(CTreeMenuItem::STATE_DISABLED); }
    int HotRow() const { return m_hot; }
    // The level's height on the screen.
    int GetHeight() const;
    struct Hit {
        int row = -1;
        Zone zone = ZONE_NONE;
    };
    Hit HitTest(const ElementPoint& point) const;
    void ScrollUp();
    void ScrollDown();

private:
    struct Scroll {
        CTreeMenuItem up;
        CTreeMenuItem down;
        int first = 0;
        int end = 0;
        int16_t hold = -1;
        uint8_t repeated = 0;
    };

    int RowWidth(const CTreeMenuItem& item) const;
    CTreeMenuItem* HotItem();
    void SetHot(int hot);
    void ClearHot() { SetHot(HOT_NONE); }
    int Track(const ElementPoint& point);
    void OpenSubmenu(int row);
    void FitEnd(int limit);
    void RefreshArrows();
    int VisibleHeight() const;
    void DrawRow(const CTreeMenuItem& item, int x, int y, int w, int h);

    std::vector<CTreeMenuItem> m_items;
    CMapPopupMenu* m_owner = nullptr;
    int m_width = -1;
    int m_hot = HOT_NONE;
    std::unique_ptr<Scroll> m_scroll;
};

// The width of a text in a glyph font, proportional or fixed; 0 without a font.
int MeasureGlyphText(int fontId, const QString& text);
