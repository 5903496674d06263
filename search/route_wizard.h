#pragma once
// The route wizard: a route set up point by point. For the start, the two via
// points and the finish in turn the user says how the point is given (a tap on
// the map, an address search, the current GPS position, none, or the point set
// before); each leg is routed as soon as its point is set, and Finish keeps the
// new route, optionally switching the moving mode on. Its first page can also
// delete the route or build the way back.
//
// The wizard is modeless and full screen, hidden while the user picks a point
// on the map. From its first Next until its last point is defined it is "in
// use" (SetRouteWizardInUse): the map's tick pauses (but for the GPS poll) and
// the next tap on the map comes back to it as the point. However it ends
// (Finish, Cancel, the page buttons, or the main frame closing it) it ends
// through CWizardRoute::Finish, which settles the route and closes it through
// the launcher.
#include "foundation/plane_geometry.h"
#include "platform/message_box.h"
#include "ui/wizard_page.h"
#include "ui/wizard_sheet.h"

#include <cstdint>

enum : int {
    IDD_WIZARD_RT1 = 807,
    IDD_WIZARD_RT2 = 808,
    IDD_WIZARD_RT3 = 809,
    IDC_ROUTE_WIZARD_TEXT = 1307,
    IDC_ROUTE_WIZARD_DELETE = 1336,
    IDC_ROUTE_WIZARD_BACK_ROUTE = 1337,
    IDC_ROUTE_WIZARD_STYLUS = 1316,
    IDC_ROUTE_WIZARD_ADDRESS = 1317,
    IDC_ROUTE_WIZARD_POSITION = 1318,
    IDC_ROUTE_WIZARD_NOT_INCLUDE = 1319,
    IDC_ROUTE_WIZARD_DEFINED = 1320,
    IDC_ROUTE_WIZARD_MOVING_MODE = 1027,
};

// How page 2 takes its point.
enum RouteWizardChoice : int32_t {
    CHOICE_STYLUS = 0,
    CHOICE_ADDRESS = 1,
    CHOICE_POSITION = 2,
    CHOICE_NOT_INCLUDE = 3,
    CHOICE_DEFINED = 4,
};

class CWizardRoute;

// A page of the route wizard (its Cancel ends the wizard with the old route).
class CWizardRoutePage : public CWizardPage {
public:
    explicit CWizardRoutePage(int templateId);

protected:
    CWizardRoute& Wizard() const;
};

class CWizardRt1 : public CWizardRoutePage {
public:
    CWizardRt1();
    bool OnInitDialog() override;
    bool OnSetActive() override;

protected:
    void CreateControls() override;
    void OnNext() override;
    bool OnButton(int id) override;
};

class CWizardRt2 : public CWizardRoutePage {
public:
    CWizardRt2();
    bool OnInitDialog() override;
    bool OnSetActive() override;

    // Sets point n to `point` (nullptr: the point set before stays; the unset
    // point: none) and moves on, or stays on n after telling why it failed.
    void ApplyPoint(const MapPoint* point);

    int GetPointNumber() const { return m_n; }
    int32_t GetChoice() const { return m_choice; }

protected:
    void CreateControls() override;
    void OnNext() override;
    void OnBack() override;
    bool OnButton(int id) override;

private:
    // Shows the page for point n: title, which choices are offered, the choice.
    void Refresh();
    void Select(int32_t choice);
    // The GPS position now, as a map point; false without a usable fix.
    static bool CurrentPosition(MapPoint& out);

    uint8_t m_n = 0;
    int32_t m_choice = CHOICE_POSITION;
    uint8_t m_previous = 0;
};

class CWizardRt3 : public CWizardRoutePage {
public:
    enum : uint8_t { MODE_PICK = 0, MODE_FINAL = 1 };

    CWizardRt3();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void SetMode(uint8_t mode) { m_mode = mode; }
    uint8_t GetMode() const { return m_mode; }

protected:
    void CreateControls() override;
    void OnNext() override;
    void OnBack() override;

private:
    uint8_t m_mode = MODE_FINAL;
};

class CWizardRoute : public CWizardSheet {
public:
    explicit CWizardRoute(const QString& caption, QWidget* parent = nullptr, int startPage = 0);
    ~CWizardRoute() override;

    bool OnInitDialog() override;
    // The sheet's OK does nothing: the pages carry their own buttons.
    void OnOK() override { }
    void OnCancel() override { Finish(platform::IDCANCEL); }

    // Ends the wizard: 1303 keeps the new route, 1336 deletes the route, 1337
    // builds the way back, anything else puts the old route back.
    void Finish(int id);
    bool IsFinishing() const { return m_finishing; }

    // In use (true: the tick pauses and map taps come here) or put aside; 1
    // when the state changed.
    int SetWizardActive(bool active);
    bool IsTickEnabled() const { return m_tickEnable != 0; }

    // Shows a page, set up afresh also when it is the one shown.
    void ShowPage(int index);

    // Hides the wizard until the user taps the map for point n of page 2.
    void PickOnMap();
    bool IsPicking() const { return m_picking; }
    // The point the user tapped while picking: the wizard shows again with it.
    void OnMapPicked(const MapPoint& point);

    CWizardRt1 m_page1;
    CWizardRt2 m_page2;
    CWizardRt3 m_page3;

private:
    void RestoreTapMode();

    int32_t m_savedTapMode = 0;
    uint8_t m_tickEnable = 1;
    uint8_t m_routeExisted = 0;
    bool m_picking = false;
    bool m_finishing = false;
};

// The ordinal word of route point n (0..3) in the interface language.
QString RoutePointOrdinal(int n);
