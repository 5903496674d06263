#pragma once
// The hardware buttons page: the device's ten buttons with their commands,
// and the commands a button can carry. Picking a button shows its command;
// picking a command then gives it to the button at once.
#include "foundation/page_image_list.h"
#include "settings/list_sorter.h"
#include "ui/property_page.h"

#include <memory>

class QTreeWidget;
class QTreeWidgetItem;

enum : int {
    IDD_PAGE_HARDWARE_BUTTONS = 1007,
    IDC_HARD_KEYS = 1036,
    IDC_HARD_KEY_COMMANDS = 1037,
};

class CPageHardwareButtons : public CPropertyPage {
public:
    CPageHardwareButtons();
    bool OnInitDialog() override;
    void OnOK() override;

    QTreeWidget* Keys() const;
    QTreeWidget* Commands() const;
    // What a tap on a row of either list does.
    void OnClickKey(QTreeWidgetItem* row);
    void OnClickCommand(QTreeWidgetItem* row);

protected:
    void CreateControls() override;

private:
    void FillKeys();
    void ShowKeyRow(QTreeWidgetItem* row);
    void HighlightCommand(int command);

    std::unique_ptr<CImageList> m_images;
    CListSorter m_keySorter;
    CListSorter m_commandSorter;
    int m_command = -1; // the highlighted command
    int m_slot = -1; // the picked button
};
