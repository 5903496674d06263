#pragma once
// The waypoint-editor wizard: one page, the waypoint page in select mode,
// whose Finish shows the chosen waypoint in the middle of the map.
#include "search/page_wp.h"
#include "ui/wizard_sheet.h"

class CWizardWaypoints : public CWizardSheet {
public:
    explicit CWizardWaypoints(QWidget* parent = nullptr);

    CPageWP& GetPage() { return m_page; }

private:
    CPageWP m_page { true };
};
