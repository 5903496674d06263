// The search wizard on the Voradu map, driven page by page as a user drives
// it: the paths through its pages, what each page lets through, a house found
// and shown in the middle of the map, the POI near the screen centre found and
// one shown, and what the wizard hands back to the wizard that opened it.
#include "search/wizard_search.h"

#include "app/launcher.h"
#include "gps/gps_fix.h"
#include "nav/route_manager.h"
#include "search/poi_query.h"
#include "search/waypoint.h"
#include "tests/search/search_map.h"
#include "tests/support/modal_answer.h"
#include "tests/ui/ui_testing.h"
#include "ui/message_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

constexpr int32_t kUnset = 0x8000000;

// Types the text a key at a time, as the soft keyboard sends Cyrillic letters.
void KeyIn(QWidget* field, const QString& text)
{
    field->setFocus();
    for (const QChar letter : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(letter), Qt::NoModifier);
}

class SearchWizard : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(map.opened);
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix = CGpsFix();
    }
    void Open()
    {
        ASSERT_TRUE(wizard.Create());
        ASSERT_EQ(wizard.GetActivePage(), &wizard.m_sch1);
    }
    CPropertyPage* Page() { return wizard.GetActivePage(); }
    void Tap(int id)
    {
        auto* page = Page();
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(page->ClickDlgItem(id)) << id;
    }
    void Next() { Tap(IDC_WIZARD_NEXT); }
    void Back() { Tap(IDC_WIZARD_BACK); }
    void Choose(int radio) { Tap(IDC_SCH_RADIO + radio); }
    // The result page's search has ended, well or not.
    bool AwaitPoiResults()
    {
        return QTest::qWaitFor(
            [&] {
                const QString count = wizard.m_sch4.GetDlgItemText(IDC_SCH_COUNT);
                return count.endsWith(u"(searching is finished)") || count.startsWith(u"Error");
            },
            60000);
    }

    search_testing::SearchMap map { "voradu" };
    uitest::OnScreen screen { 240, 320, 96, LANGUAGE_ENGLISH };
    platform::ScopedProcessObject<CWaypointList> waypoints { g_waypoints };
    platform::ScopedProcessObject<CMessageWindow> messages { g_messageWnd };
    CWizardSearch wizard { QStringLiteral("Wizard search") };
};

TEST_F(SearchWizard, ThePathsThroughThePages)
{
    Open();
    EXPECT_FALSE(Page()->IsDlgItemEnabled(IDC_WIZARD_BACK));
    EXPECT_EQ(Page()->GetDlgItemText(IDC_WIZARD_TITLE),
        QStringLiteral("Wizard of step-by-step searching objects and editing waypoints."));
    // The POI branch: place, size, type, results; "All screen" has no size
    // page, either way.
    Choose(1);
    Next();
    ASSERT_EQ(Page(), &wizard.m_sch6);
    EXPECT_TRUE(Page()->IsDlgButtonChecked(IDC_SCH_RADIO)) << "the current position first";
    EXPECT_FALSE(Page()->IsDlgItemEnabled(IDC_SCH_RADIO + 3)) << "no route to search along";
    EXPECT_EQ(Page()->GetDlgItemText(IDC_SCH_NOTE), QStringLiteral("Route is not created"));
    Choose(1);
    Next();
    ASSERT_EQ(Page(), &wizard.m_sch7);
    auto* sizes = wizard.m_sch7.GetDlgItemAs<QComboBox>(IDC_SCH_COMBO);
    EXPECT_EQ(sizes->count(), 54);
    EXPECT_EQ(sizes->currentText(), QStringLiteral("200"));
    EXPECT_EQ(
        Page()->GetDlgItemText(IDC_WIZARD_TITLE), QStringLiteral("Searching POI at the screen center."));
    Next();
    ASSERT_EQ(Page(), &wizard.m_sch8);
    EXPECT_EQ(wizard.m_sch8.GetDlgItemAs<QComboBox>(IDC_SCH_COMBO)->currentText(), QStringLiteral("Все"));
    EXPECT_EQ(Page()->GetDlgItemText(IDC_WIZARD_TITLE),
        QStringLiteral("Searching POI at the screen center in square with a side of 200 meters."));
    Back();
    ASSERT_EQ(Page(), &wizard.m_sch7);
    Back();
    ASSERT_EQ(Page(), &wizard.m_sch6);
    Choose(2);
    Next();
    ASSERT_EQ(Page(), &wizard.m_sch8) << "the whole screen skips the size";
    EXPECT_EQ(Page()->GetDlgItemText(IDC_WIZARD_TITLE), QStringLiteral("Searching POI on the whole screen."));
    Back();
    ASSERT_EQ(Page(), &wizard.m_sch6);
    Back();
    ASSERT_EQ(Page(), &wizard.m_sch1);

    // The address branch: a street needs three letters; a house also its number.
    Choose(0);
    Next();
    ASSERT_EQ(Page(), &wizard.m_sch2);
    EXPECT_TRUE(Page()->IsDlgButtonChecked(IDC_SCH_RADIO)) << "a street first";
    Next();
    ASSERT_EQ(Page(), &wizard.m_sch3);
    EXPECT_FALSE(wizard.m_sch3.GetDlgItem(IDC_SCH_HOUSE)->isVisibleTo(&wizard.m_sch3));
    EXPECT_EQ(Page()->GetDlgItemText(IDC_WIZARD_TITLE), QStringLiteral("Searching a street/city/village."));
    auto* street = wizard.m_sch3.GetDlgItem(IDC_SCH_STREET);
    KeyIn(street, QStringLiteral("Бл"));
    EXPECT_FALSE(Page()->IsDlgItemEnabled(IDC_WIZARD_NEXT));
    KeyIn(street, QStringLiteral("о"));
    EXPECT_TRUE(Page()->IsDlgItemEnabled(IDC_WIZARD_NEXT));
    Back();
    Choose(1);
    Next();
    ASSERT_EQ(Page(), &wizard.m_sch3);
    EXPECT_EQ(wizard.m_sch3.GetDlgItemText(IDC_SCH_STREET), QString()) << "a new question, new texts";
    EXPECT_TRUE(wizard.m_sch3.GetDlgItem(IDC_SCH_HOUSE)->isVisibleTo(&wizard.m_sch3));
    KeyIn(street, QStringLiteral("Блока"));
    EXPECT_FALSE(Page()->IsDlgItemEnabled(IDC_WIZARD_NEXT)) << "a house needs its number";
    KeyIn(wizard.m_sch3.GetDlgItem(IDC_SCH_HOUSE), QStringLiteral("10"));
    EXPECT_TRUE(Page()->IsDlgItemEnabled(IDC_WIZARD_NEXT));
    Next();
    ASSERT_EQ(Page(), &wizard.m_sch4);
    EXPECT_EQ(Page()->GetDlgItemText(IDC_WIZARD_NEXT), QStringLiteral("Finish"));
    Back();
    ASSERT_EQ(Page(), &wizard.m_sch3);
    EXPECT_EQ(wizard.m_sch3.GetDlgItemText(IDC_SCH_HOUSE), QStringLiteral("10")) << "Back keeps the answers";
    wizard.OnCancel();
}

TEST_F(SearchWizard, AHouseFoundIsShownInTheMiddleOfTheMap)
{
    ZXS_Point house { kUnset, kUnset };
    ZXS_Point handed { 0, 0 };
    testing_support::WhenModalOpens([&](QWidget* modal) {
        auto* opened = dynamic_cast<CWizardSearch*>(modal);
        ASSERT_NE(opened, nullptr);
        opened->m_sch1.ClickDlgItem(IDC_WIZARD_NEXT);
        opened->m_sch2.ClickDlgItem(IDC_SCH_RADIO + 1);
        opened->m_sch2.ClickDlgItem(IDC_WIZARD_NEXT);
        KeyIn(opened->m_sch3.GetDlgItem(IDC_SCH_STREET), QStringLiteral("Блока"));
        KeyIn(opened->m_sch3.GetDlgItem(IDC_SCH_HOUSE), QStringLiteral("10"));
        opened->m_sch3.ClickDlgItem(IDC_WIZARD_NEXT);
        CWizardSch4& result = opened->m_sch4;
        auto* lines = result.GetDlgItemAs<QListWidget>(IDC_SCH_ADDRESSES);
        ASSERT_TRUE(QTest::qWaitFor([&] { return lines->count() > 0; }, 60000));
        EXPECT_EQ(result.GetDlgItemText(IDC_WIZARD_TITLE),
            QStringLiteral("Result of searching the house number 10 on the street \"Блока\"."));
        EXPECT_TRUE(lines->item(0)->text().startsWith(QStringLiteral("Блока")));
        EXPECT_FALSE(result.IsDlgItemEnabled(IDC_WIZARD_NEXT)) << "nothing chosen yet";
        QTest::mouseClick(
            lines->viewport(), Qt::LeftButton, {}, lines->visualItemRect(lines->item(0)).center());
        ZXS_Rect box;
        ASSERT_EQ(ZXS_ObjGetRect(map.Map(), lines->item(0)->data(Qt::UserRole).toInt(), -1, -1, &box, 0), 0);
        house = { (box.left + box.right) / 2, (box.top + box.bottom) / 2 };
        result.ClickDlgItem(IDC_WIZARD_NEXT);
    });
    map.Controller().SetCentre(map.Controller().GetCentreX() + 50000, map.Controller().GetCentreY() + 50000);
    EXPECT_EQ(CLauncher::SearchWizard(0, &handed), IDC_WIZARD_NEXT);
    ASSERT_NE(house.x, kUnset);
    EXPECT_EQ(map.Controller().GetCentreX(), house.x);
    EXPECT_EQ(map.Controller().GetCentreY(), house.y);
    EXPECT_EQ(handed.x, house.x);
    EXPECT_EQ(handed.y, house.y);
}

TEST_F(SearchWizard, ThePoiNearTheScreenCentreStreamInAndOneIsShown)
{
    Open();
    Choose(1);
    Next();
    Choose(1);
    Next();
    auto* sizes = wizard.m_sch7.GetDlgItemAs<QComboBox>(IDC_SCH_COMBO);
    ASSERT_TRUE(wizard.m_sch7.SelectDlgItem(IDC_SCH_COMBO, sizes->findText(QStringLiteral("2400"))));
    Next();
    Next();
    ASSERT_EQ(Page(), &wizard.m_sch4);
    EXPECT_EQ(Page()->GetDlgItemText(IDC_WIZARD_TITLE),
        QStringLiteral(
            "Result of searching at the screen center objects of \"Все\" type, in square with a side "
            "of 2400 meters."));
    ASSERT_TRUE(AwaitPoiResults());
    QTreeWidget* list = wizard.m_sch4.GetResultList();
    const int found = list->topLevelItemCount();
    ASSERT_GE(found, 3);
    EXPECT_EQ(found, map.Pois().GetSearchResultCount());
    EXPECT_EQ(Page()->GetDlgItemText(IDC_SCH_COUNT),
        QStringLiteral("%1 objects found\n  (searching is finished)").arg(found));
    QTreeWidgetItem* row = list->topLevelItem(2);
    list->scrollToItem(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
    ASSERT_TRUE(Page()->IsDlgItemEnabled(IDC_WIZARD_NEXT));
    const ZXS_Point at = map.Pois().GetResultPosition(RowData(row));
    Next();
    EXPECT_FALSE(wizard.IsOpen());
    EXPECT_EQ(wizard.result(), IDC_WIZARD_NEXT);
    EXPECT_EQ(map.Controller().GetCentreX(), at.x);
    EXPECT_EQ(map.Controller().GetCentreY(), at.y);
    int32_t x = 0, y = 0;
    wizard.m_sch4.GetResultPosition(x, y);
    EXPECT_EQ(QPoint(x, y), QPoint(at.x, at.y));
}

TEST_F(SearchWizard, APlaceThatCannotBeUsedIsTheUsersToMend)
{
    // Near the current position without a fix: the place is the fault, not the search.
    Open();
    Choose(1);
    Next();
    Next();
    Next();
    Next();
    ASSERT_EQ(Page(), &wizard.m_sch4);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Page()->GetDlgItemText(IDC_SCH_COUNT).startsWith(u"Error"); }, 60000));
    EXPECT_EQ(Page()->GetDlgItemText(IDC_SCH_COUNT),
        QStringLiteral("Error of entering the searching parametres. Try again."));
    EXPECT_FALSE(Page()->IsDlgItemEnabled(IDC_WIZARD_NEXT));
    // Back to the place, the screen centre this time.
    Back();
    Back();
    Back();
    ASSERT_EQ(Page(), &wizard.m_sch6);
    Choose(1);
    Next();
    Next();
    Next();
    ASSERT_TRUE(AwaitPoiResults());
    EXPECT_TRUE(Page()->GetDlgItemText(IDC_SCH_COUNT).endsWith(QStringLiteral("(searching is finished)")));
    wizard.OnCancel();
}

TEST_F(SearchWizard, WhatAnotherWizardGetsBack)
{
    // Back on the first page and Cancel hand back no point.
    const struct {
        int id;
        int result;
    } cases[] = {
        { IDC_WIZARD_BACK, IDC_WIZARD_BACK },
        { platform::IDCANCEL, platform::IDCANCEL },
    };
    for (const auto& c : cases) {
        ZXS_Point handed { 0, 0 };
        bool nestedStart = false;
        testing_support::WhenModalOpens([&](QWidget* modal) {
            auto* opened = dynamic_cast<CWizardSearch*>(modal);
            ASSERT_NE(opened, nullptr);
            nestedStart = opened->IsNested() && opened->GetActivePage() == &opened->m_sch2;
            opened->m_sch2.ClickDlgItem(c.id);
        });
        EXPECT_EQ(CLauncher::SearchWizard(SCH_PAGE_OBJECT, &handed), c.result) << c.id;
        EXPECT_TRUE(nestedStart);
        EXPECT_EQ(QPoint(handed.x, handed.y), QPoint(kUnset, kUnset)) << c.id;
    }
}

} // namespace
