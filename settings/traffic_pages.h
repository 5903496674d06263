#pragma once
// The pages of the Traffic sheet: where the jams come from and how often
// (every change applied at once), and the user's disabled-road files.
#include "settings/list_sorter.h"
#include "ui/property_page.h"

#include <cstdint>

class QTreeWidget;

enum : int {
    IDD_PAGE_JAMS = 998,
    IDC_JAMS_GROUP = 1273,
    IDC_JAMS_PROVIDER_LABEL = 1274,
    IDC_JAMS_PROVIDER = 1008,
    IDC_JAMS_OPTIONS = 1280,
    IDC_JAMS_CONNECTIONS = 1292,
    IDC_JAMS_DOWNLOAD_NOW = 1275,
    IDC_JAMS_DELETE = 1001,
    IDC_JAMS_REGULAR_GROUP = 1276,
    IDC_JAMS_REGULAR = 1130,
    IDC_JAMS_PERIOD = 1278,
    IDC_JAMS_MINUTES = 1279,
    IDC_JAMS_INFO = 1341,

    IDD_PAGE_BLOCKS = 999,
    IDC_BLOCKS_ENABLE = 1293,
    IDC_BLOCKS_ATTACH = 1295,
    IDC_BLOCKS_DETACH = 1299,
    IDC_BLOCKS_SAVE = 1296,
    IDC_BLOCKS_SAVE_ALL = 1297,
    IDC_BLOCKS_LIST = 1298,
};

class CPageJams : public CPropertyPage {
public:
    // The periods offered, in minutes.
    static constexpr int32_t kPeriods[] = { 5, 6, 7, 8, 9, 10, 12, 14, 16, 18, 20, 25, 30, 35, 40, 50, 60 };

    CPageJams();
    bool OnInitDialog() override;
    bool OnSetActive() override;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void OnRegularChanged();
    void OnProviderChanged();
    void OnSourceSettings();
    void OnPeriodChanged();
    void OnDeleteJams();
};

// The disabled-road files of the map controller's store. Each action goes to
// the store at once; OK restarts its worker when something changed.
class CPageBlocks : public CPropertyPage {
public:
    CPageBlocks();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;

    QTreeWidget* List() const;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void FillList();
    void UpdateButtons();
    void OnEnableClicked();
    void OnAttach();
    void OnDetach();
    void OnSave();
    void OnSaveAll();

    CListSorter m_sorter;
    bool m_changed = false;
};
