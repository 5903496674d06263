#pragma once
// The waypoint page: the user's waypoints in a sortable list, with adding,
// editing and deleting, opening and saving waypoint files, the proximity
// alerts' switch and radius, and showing a waypoint on the map. In list mode
// it is a tab of the search sheet (it also makes a waypoint a route point);
// in select mode it is the page of the waypoint-editor wizard, whose Finish
// shows the chosen waypoint.
#include "foundation/page_image_list.h"
#include "ui/color_property_page.h"

#include <QString>

class CWaypoint;
class QTreeWidget;
class QTreeWidgetItem;

enum : int {
    IDD_PAGE_WP = 724,
    IDD_PAGE_WP_SELECT = 848,
    IDC_WP_RADIUS = 1008,
    IDC_WP_SOUND = 1027,
    IDC_WP_LIST = 1052,
    IDC_WP_ADD = 1053,
    IDC_WP_EDIT = 1054,
    IDC_WP_OPEN = 1064,
    IDC_WP_SAVE_AS = 1065,
    IDC_WP_MY_DOCUMENTS = 1066,
    IDC_WP_DELETE = 1067,
    IDC_WP_DELETE_ALL = 1068,
    IDC_WP_RADIUS_LABEL = 1069,
    IDC_WP_RADIUS_UNIT = 1070,
    IDC_WP_SHOW = 1161,
    IDC_WP_ROUTE_POINT = 1172,
    IDC_WP_MEMORY = 1205,
    IDC_WP_BACK = 1302,
    IDC_WP_FINISH = 1303,
    IDC_WP_TITLE = 1306,
    IDC_WP_NOTE = 1307,
    IDC_WP_STATION = 1329,
    IDC_WP_CLOSE = 1335,
};

// The list's columns.
enum : int {
    WP_COLUMN_NAME,
    WP_COLUMN_TYPE,
    WP_COLUMN_ADDRESS,
    WP_COLUMN_FILE,
    WP_COLUMN_TIME,
    WP_COLUMN_DATE,
    WP_COLUMN_SOUND,
    WP_COLUMN_LAST,
    WP_COLUMN_COUNT
};

class CPageWP : public CColorPropertyPage {
public:
    explicit CPageWP(bool selectMode = false);
    ~CPageWP() override;

    bool IsSelectMode() const { return m_selectMode; }
    QTreeWidget* GetList() const;
    // The waypoint index a row stands for.
    static int GetItemData(const QTreeWidgetItem* row);

    // Lists g_waypoints afresh.
    void FillList();

    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    QTreeWidgetItem* InsertRow(int index);
    void SetRowTexts(QTreeWidgetItem* row, const CWaypoint& waypoint);
    void MoveRowToSortedPlace(QTreeWidgetItem* row);
    int CompareRows(int a, int b) const;
    void OnColumnClick(int column);
    void ShowSortImages();
    void UpdateButtons();
    std::vector<QTreeWidgetItem*> SelectedRows() const;
    void SetSelectionMark(QTreeWidgetItem* row);

    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnDeleteAll();
    void OnOpen();
    void OnSaveAs();
    void OnMyDocuments();
    void OnSound();
    void OnRadius();
    void OnShowObject();
    void OnRoutePoint();
    void OnClose();
    void SetSheetFullScreen(bool on);

    const bool m_selectMode;
    CImageList m_rowImages { 16 };
    CPageImageList m_sortImages;
    int m_sortBase = -1;
};
