#pragma once
// The pages of the Route sheet: how routes are built and re-built, what is
// said and shown along them, the route files, and the corridor and main
// points of the guidance.
#include "ui/property_page.h"

#include <cstdint>
#include <vector>

enum : int {
    IDD_PAGE_ROUTE_GENERAL = 1003,
    IDC_ROUTE_OPT_GROUP = 1343,
    IDC_ROUTE_OPTIMISATION = 1344,
    IDC_ROUTE_AUTO_GROUP = 1216,
    IDC_ROUTE_RESTORE = 1027,
    IDC_ROUTE_DELAY_IN = 1214,
    IDC_ROUTE_DELAY = 1215,
    IDC_ROUTE_DELAY_UNIT = 1205,
    IDC_ROUTE_AFTER_JAMS = 1028,
    IDC_ROUTE_SAVE_AT_EXIT = 1029,

    IDD_PAGE_ROUTE_TIPS = 1005,
    IDC_ROUTE_VOICE_GROUP = 1242,
    IDC_ROUTE_LEAVING = 1253,
    IDC_ROUTE_CREATING = 1254,
    IDC_ROUTE_LENGTH_GROUP = 1204,
    IDC_ROUTE_LENGTH_LABEL = 1203,
    IDC_ROUTE_LENGTH_TIME = 1201,
    IDC_ROUTE_LENGTH_UNIT = 1202,

    IDD_PAGE_ROUTE_FILES = 1004,
    IDC_ROUTE_FILES_GROUP = 1265,
    IDC_ROUTE_FILES_DELETE = 1266,
    IDC_ROUTE_FILES_OPEN = 1267,
    IDC_ROUTE_FILES_SAVE = 1268,
    IDC_ROUTE_FILES_SAVE_AS = 1269,
    IDC_ROUTE_FILES_PATH = 1270,

    IDD_PAGE_ROUTE_PROPERTIES = 1006,
    IDC_ROUTE_CORRIDOR_LABEL = 1133,
    IDC_ROUTE_CORRIDOR = 1131,
    IDC_ROUTE_CORRIDOR_UNIT = 1132,
    IDC_ROUTE_POINTS_LABEL = 1138,
    IDC_ROUTE_POINTS = 1139,
    IDC_ROUTE_POINTS_LESS = 1135,
    IDC_ROUTE_POINTS_MORE = 1136,
    IDC_ROUTE_FORKS_ONLY = 1028,
};

// The choices the route pages offer.
std::vector<int32_t> RouteDeviationDelays(); // seconds
std::vector<int32_t> RouteCorridorWidths(); // metres
std::vector<int32_t> RouteLengthTimes(); // milliseconds, -1 "Always" last

// Optimisation (on OK, which also rebuilds a route), re-routing after a
// deviation and after jams (at once) and the route kept at exit (on OK).
class CPageRouteGeneral : public CPropertyPage {
public:
    CPageRouteGeneral();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void OnRestoreClicked();
};

// How long the route's length is shown (at once) and the leaving-route and
// creating-route notices (on OK).
class CPageRouteTips : public CPropertyPage {
public:
    CPageRouteTips();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;

    int32_t m_leaving = 0;
    int32_t m_creating = 0;

protected:
    void CreateControls() override;
    bool DoDataExchange(bool save) override;
    bool OnCommand(int id, int code) override;
};

// Delete, Open..., Save and Save as... on the current route; each acts at once.
class CPageRouteFiles : public CPropertyPage {
public:
    CPageRouteFiles();
    bool OnSetActive() override;
    void Refresh();

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void OnDelete();
    void OnOpen();
    void OnSave();
    void OnSaveAs();
};

// The corridor width and "Forks only" (at once), the main route points (on OK).
class CPageRouteProperties : public CPropertyPage {
public:
    CPageRouteProperties();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;
};
