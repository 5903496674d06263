#pragma once
// The pages of the Toolbars sheet: one per on-map button bar (how the bar
// shows and the command on each of its six buttons) and the other on-map
// display switches.
#include "settings/list_sorter.h"
#include "ui/property_page.h"

#include <cstdint>
#include <memory>

class CButtonBar;
class CImageList;
class QTreeWidget;
class QTreeWidgetItem;

enum : int {
    IDD_PAGE_TOOLBARS = 1018,
    IDC_TOOLBAR_APPEARANCE_GROUP = 1059,
    IDC_TOOLBAR_APPEARANCE = 1003,
    IDC_TOOLBAR_BUTTON_GROUP = 1060,
    IDC_TOOLBAR_BUTTON = 1004,
    IDC_TOOLBAR_COMMANDS = 1038,

    IDD_PAGE_OTHER = 1017,
    IDC_OTHER_CENTRE_MARKER = 1028,
    IDC_OTHER_SCALE_BRACKET = 1131,
    IDC_OTHER_DIAGRAM = 1252,
    IDC_OTHER_TOOLTIPS = 1027,
};

class CPageToolbars : public CPropertyPage {
public:
    enum : int32_t { KIND_TOP = 1, KIND_BOTTOM = 0 };

    CPageToolbars();
    void SetBarKind(int32_t kind) { m_barKind = kind; }
    bool OnInitDialog() override;
    void OnOK() override;

    QTreeWidget* Commands() const;
    // What a tap on a command does.
    void OnClickCommand(QTreeWidgetItem* row);

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    CButtonBar& Bar() const;
    void OnSelChangeButton();
    void ApplyToBar();
    void Highlight();

    std::unique_ptr<CImageList> m_images;
    CListSorter m_sorter;
    int m_command = -1; // the highlighted command
    int32_t m_barKind = KIND_TOP;
};

class CPageOther : public CPropertyPage {
public:
    CPageOther();
    bool OnInitDialog() override;
    void OnOK() override;

protected:
    void CreateControls() override;
    bool DoDataExchange(bool save) override;

private:
    int32_t m_centreMarker;
    int32_t m_scaleBracket;
    int32_t m_diagram;
    int32_t m_tooltips;
};
