#include "search/sheet_search.h"

#include "foundation/language.h"
#include "kernel/api/types.h"

#include <QTabBar>

CSheetSearch::CSheetSearch(const QString& caption, QWidget* parent, int selectPage)
    : CPropertySheetFullScreen(caption, parent, selectPage)
{
    AddPage(&m_waypointPage);
    AddPage(&m_poiPage);
    AddPage(&m_addressPage);
    m_result = CSearchSheetResult {};
}

CSheetSearch::~CSheetSearch() = default;

void CSheetSearch::SetPointedPosition(int32_t presetSize, const ZXS_Point& point)
{
    m_result.pointedX = point.x;
    m_result.pointedY = point.y;
    m_result.presetSize = presetSize;
}

void CSheetSearch::GetPointedPosition(int32_t& presetSize, ZXS_Point& point) const
{
    presetSize = m_result.presetSize;
    point.x = m_result.pointedX;
    point.y = m_result.pointedY;
}

void CSheetSearch::InitTabTexts()
{
    CTabCtrl* tabs = GetTabControl();
    if (tabs == nullptr)
        return;
    const bool english = g_language == LANGUAGE_ENGLISH;
    tabs->TabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { padding: 3px %1px; }").arg(english ? 10 : 4));
    SetTabText(
        GetPageIndex(&m_waypointPage), english ? QStringLiteral("Waypoints") : QStringLiteral("Закладки"));
    SetTabText(
        GetPageIndex(&m_poiPage), english ? QStringLiteral("POI search") : QStringLiteral("Поиск объектов"));
    SetTabText(GetPageIndex(&m_addressPage),
        english ? QStringLiteral("Address search") : QStringLiteral("Адресный поиск"));
}
