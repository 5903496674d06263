#include "search/wizard_waypoints.h"

#include "foundation/language.h"

CWizardWaypoints::CWizardWaypoints(QWidget* parent)
    : CWizardSheet(Bilingual(u"Waypoint editor", u"Редактор закладок"), parent)
{
    AddPage(&m_page);
}
