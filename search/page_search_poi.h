#pragma once
// The POI page of the search sheet: where to search (the screen centre, the
// current position, the whole screen, a point pointed on the map, along the
// route, the route ahead, or a waypoint), how large the area is and what kind
// of point of interest. The map controller's POI query searches on its worker;
// its results stream into a sortable list, and a found POI is shown on the map
// or made a route point. The place, the size and the sort stay for the next time.
#include "foundation/page_image_list.h"
#include "settings/list_sorter.h"
#include "ui/color_property_page.h"

#include <QString>
#include <cstdint>

class CPoiQuery;
class QComboBox;
class QTreeWidget;

enum : int {
    IDD_PAGE_SEARCH_POI = 210,
    IDC_POI_ROUTE_POINT = 1001,
    IDC_POI_PLACE = 1008,
    IDC_POI_SIZE = 1146,
    IDC_POI_CENTRE_LABEL = 1147,
    IDC_POI_SIDE_LABEL = 1148,
    IDC_POI_UNIT_LABEL = 1149,
    IDC_POI_TYPE = 1150,
    IDC_POI_TYPE_LABEL = 1151,
    IDC_POI_SEARCH = 1152,
    IDC_POI_SHOW = 1153,
    IDC_POI_LIST = 1154,
    IDC_POI_STOP = 1155,
    IDC_POI_WHERE = 1157,
    IDC_POI_COUNT = 1158,
    IDC_POI_WHAT = 1160,
    IDC_POI_MEMORY = 1205,
    IDC_POI_STATION = 1329,
};

// The message a running search sends its page: wParam 0 and lParam the index
// of a new result, or wParam 1 and lParam the search's result at its end.
constexpr uint32_t WM_POI_NOTICE = platform::WM_APP + 1;

// The sorted column and direction of the POI page's list, for the whole run.
inline SortState g_poiSort;

// The size list of a place: square sides of 10 to 2400 m, or corridor widths
// of 40 to 2400 m, each with its value as item data; the first value not
// below `wanted` is selected, else the last.
void FillPoiSizeCombo(QComboBox* combo, bool corridor, int32_t wanted);
bool IsCorridorKind(int32_t kind);
// Inserts result `index` of the query where the list's sort puts it: appended
// when unsorted, else after the last row that does not sort after it.
void InsertPoiResultSorted(const CPoiQuery& query, QTreeWidget* list, const SortState& sort, int index);
// The query's comparison of two results by a column, for a list sorter.
CListSorter::Compare PoiResultComparison();

class CPageSearchPOI : public CColorPropertyPage {
public:
    // Search states.
    enum : int32_t { STATE_INACTIVE = 0, STATE_IDLE = 1, STATE_RUNNING = 2, STATE_PAUSED = 3 };

    CPageSearchPOI();
    ~CPageSearchPOI() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnOK() override;
    void OnCancel() override;
    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override;

    QTreeWidget* GetList() const;
    int32_t GetSearchState() const { return m_state; }
    int32_t GetChosenResult() const { return m_chosen; }

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void SetSearchState(int32_t state);
    void SetTexts();
    void SetSideLabel(int32_t kind);
    int32_t SelectedKind() const;
    void OnSearch();
    void OnStopOrNext();
    void OnPlaceChanged();
    void OnNotice(platform::WPARAM kind, platform::LPARAM value);
    void OnItemChanged();
    void StoreRequest();
    void OnShowObject();
    void OnRoutePoint();
    void EnableResultButtons(bool enable);
    // The sheet's OK: every page keeps what it has, and the sheet closes.
    void Close();

    int32_t m_state = STATE_INACTIVE;
    int32_t m_previousKind = 0;
    int32_t m_chosen = -1;
    bool m_firstActivation = false;
    CImageList m_rowImages { 16 };
    CImageList m_sortPictures { 16 };
    CListSorter m_sorter;
};
