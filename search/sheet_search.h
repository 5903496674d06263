#pragma once
// The search window: a full-screen sheet with the waypoint list, the POI
// search and the address search. The opener picks the first page and may hand
// over a point of the map and an area size for searching around it.
#include "search/page_search_address.h"
#include "search/page_search_poi.h"
#include "search/page_wp.h"
#include "ui/property_sheet_full_screen.h"

#include <cstdint>

struct ZXS_Point;

// What the opener hands the pages: a map point and an area size, -1 unset.
struct CSearchSheetResult {
    int32_t pointedX = -1;
    int32_t pointedY = -1;
    int32_t presetSize = -1;
};

class CSheetSearch : public CPropertySheetFullScreen {
public:
    CSheetSearch(const QString& caption, QWidget* parent = nullptr, int selectPage = 0);
    ~CSheetSearch() override;

    void SetPointedPosition(int32_t presetSize, const ZXS_Point& point);
    void GetPointedPosition(int32_t& presetSize, ZXS_Point& point) const;
    bool HasPointedPosition() const { return m_result.pointedX != -1 || m_result.pointedY != -1; }

    CPageWP& GetWaypointPage() { return m_waypointPage; }
    CPageSearchAddress& GetAddressPage() { return m_addressPage; }
    CPageSearchPOI& GetPoiPage() { return m_poiPage; }

protected:
    void InitTabTexts() override;

private:
    CPageWP m_waypointPage { false };
    CPageSearchAddress m_addressPage;
    CPageSearchPOI m_poiPage;
    CSearchSheetResult m_result;
};
