#pragma once
// The address-search page of the search sheet: a street (or another named map
// object) found by the beginning of its name, then the houses of the chosen
// one, and the chosen object shown on the map, made a route point or saved as
// a waypoint. The map controller's address searcher does the searching; the
// page drives it and lists what it found.
#include "kernel/api/types.h"
#include "ui/color_property_page.h"

#include <QString>
#include <cstdint>
#include <optional>

enum : int {
    IDD_PAGE_SEARCH_ADDRESS = 212,
    IDC_ADDR_STREET_TEXT = 1050,
    IDC_ADDR_HOUSE_TEXT = 1051,
    IDC_ADDR_STREET_LIST = 1052,
    IDC_ADDR_FILTER = 1053,
    IDC_ADDR_STREET_LABEL = 1165,
    IDC_ADDR_HOUSE_LABEL = 1166,
    IDC_ADDR_HOUSE_LIST = 1167,
    IDC_ADDR_FULL_SCREEN = 1168,
    IDC_ADDR_SEARCH = 1169,
    IDC_ADDR_SHOW = 1173,
    IDC_ADDR_ROUTE_POINT = 1175,
    IDC_ADDR_MEMORY = 1205,
    IDC_ADDR_ADD_WAYPOINT = 1247,
    IDC_ADDR_CONTACTS = 1255,
    IDC_ADDR_STATION = 1329,
};

class CPageSearchAddress : public CColorPropertyPage {
public:
    CPageSearchAddress();

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnOK() override;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void OnStreetChanged();
    void RefreshStreetStage();
    void RunNameStage(const QString& street);
    void RunHouseStepForSelectedStreet();
    void RunHouseSearch(const QString& street, const QString& house);
    void OnSearch();
    // The map object chosen in the lists: a selected house, else a selected street.
    std::optional<int32_t> ChosenObject() const;
    // The middle of the chosen object's box on the current map.
    std::optional<ZXS_Point> ChosenPoint() const;
    void OnShowObject();
    void OnRoutePoint();
    void OnAddWaypoint();
    void EnableResultButtons(bool enable);
    void SetFullScreen(bool on);
    void EnsureFullScreen();
    void Close();
    void SetStreetLabelPrompt();

    QString m_street;
    QString m_house;
};
