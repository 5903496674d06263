#pragma once
// The pages of the Transparent buttons sheet: how bright the buttons' grid,
// icons and background are drawn over the map (taken on OK), and what each
// button of each folder does (taken at the pick).
#include "settings/list_sorter.h"
#include "ui/property_page.h"

#include <QString>
#include <memory>

class CImageList;
class QTreeWidget;
class QTreeWidgetItem;

enum : int {
    IDD_PAGE_BRIGHTNESS = 1009,
    IDC_BRIGHTNESS_GRID_GROUP = 1057,
    IDC_BRIGHTNESS_GRID_ON = 1046,
    IDC_BRIGHTNESS_GRID = 1042,
    IDC_BRIGHTNESS_GRID_PERCENT = 1044,
    IDC_BRIGHTNESS_ICONS_GROUP = 1058,
    IDC_BRIGHTNESS_ICONS_ON = 1047,
    IDC_BRIGHTNESS_ICONS = 1043,
    IDC_BRIGHTNESS_ICONS_PERCENT = 1045,
    IDC_BRIGHTNESS_BACKGROUND_GROUP = 1059,
    IDC_BRIGHTNESS_BACKGROUND_ON = 1050,
    IDC_BRIGHTNESS_BACKGROUND = 1048,
    IDC_BRIGHTNESS_BACKGROUND_PERCENT = 1049,
    IDC_BRIGHTNESS_NAMES = 1027,

    IDD_PAGE_BUTTON_VALUES = 1011,
    IDC_VALUES_LAYOUT = 1097,
    IDC_VALUES_LIST = 1049,
    IDC_VALUES_TREE = 1048,
};

// The values a folder button can carry besides commands and diagrams.
enum : int { VALUE_FOLDER = 13000, VALUE_LEVEL_UP = 13001, VALUE_ROOT = 10002 };

// A slider position 0..255 as the page shows it: "0%" .. "100%".
QString BrightnessPercent(int position);

class CPageBrightness : public CPropertyPage {
public:
    CPageBrightness();
    bool OnSetActive() override;
    void OnOK() override;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void ShowPercentages();
    void EnableSliders();
};

// The transparent buttons' folders as a tree, and the values a button can
// take as a list: a node picked and then a value puts the value on that
// button at once.
class CPageButtonValues : public CPropertyPage {
public:
    CPageButtonValues();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;

    QTreeWidget* Tree() const;
    QTreeWidget* Values() const;
    // The tree's node of button `button` of folder `folder`, or none.
    QTreeWidgetItem* FindButtonNode(int folder, int button) const;
    // What a tap on a value does.
    void OnClickValue(QTreeWidgetItem* row);

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void RebuildTree();
    void AddFolderNodes(QTreeWidgetItem* parent, int folder);
    QTreeWidgetItem* MakeButtonNode(int folder, int button) const;
    void OnNodeChanged();
    void SelectValue(int row);
    void Deselect(int row);
    int RowOfValue(int value) const;

    std::unique_ptr<CImageList> m_images;
    CListSorter m_sorter;
    int m_value = -1; // the highlighted value
    int m_item = -1; // the highlighted row
};
