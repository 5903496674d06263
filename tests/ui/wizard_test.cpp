#include "ui/wizard_sheet.h"

#include "sample_pages.h"
#include "ui_testing.h"

#include <QKeyEvent>
#include <QTimer>
#include <gtest/gtest.h>

using namespace sample;

namespace {

void PressEnter(QWidget& window)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &press);
}

} // namespace

TEST(Wizard, BackNextFinishInRussian)
{
    uitest::OnScreen screen(240, 320);
    RouteAnswers answers;
    RouteWizard wizard(answers);
    ASSERT_TRUE(wizard.Create());
    uitest::ProcessEvents();
    EXPECT_FALSE(wizard.GetTabControl()->isVisible());
    EXPECT_EQ(wizard.first.GetDlgItemText(IDC_WIZARD_NEXT), QStringLiteral("Далее  >"));
    EXPECT_EQ(wizard.first.GetDlgItemText(IDC_WIZARD_BACK), QStringLiteral("<  Назад"));
    EXPECT_EQ(wizard.first.GetDlgItemText(platform::IDCANCEL), QStringLiteral("Отмена"));
    EXPECT_FALSE(wizard.first.IsDlgItemEnabled(IDC_WIZARD_NEXT));

    // Enter with Next disabled does nothing and does not close the wizard.
    PressEnter(wizard);
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_EQ(wizard.GetActiveIndex(), 0);

    wizard.first.SetDlgItemText(IDC_ROUTE_NAME, QStringLiteral("На работу"));
    EXPECT_TRUE(wizard.first.IsDlgItemEnabled(IDC_WIZARD_NEXT));
    PressEnter(wizard); // Enter acts as Next
    EXPECT_EQ(wizard.GetActiveIndex(), 1);
    EXPECT_EQ(answers.name, QStringLiteral("На работу"));

    ASSERT_TRUE(wizard.second.ClickDlgItem(IDC_WIZARD_BACK));
    EXPECT_EQ(wizard.GetActiveIndex(), 0);
    EXPECT_EQ(wizard.first.GetDlgItemText(IDC_ROUTE_NAME), QStringLiteral("На работу"));
    ASSERT_TRUE(wizard.first.ClickDlgItem(IDC_WIZARD_NEXT));
    wizard.second.ClickDlgItem(IDC_BACK_ROUTE);
    ASSERT_TRUE(wizard.second.ClickDlgItem(IDC_WIZARD_NEXT));
    EXPECT_EQ(wizard.result(), platform::IDOK);
    EXPECT_TRUE(answers.backRoute);
    EXPECT_EQ(answers.finished, 1);
}

TEST(Wizard, CancelFromARunningModalLoop)
{
    uitest::OnScreen screen(320, 240, 96, LANGUAGE_ENGLISH);
    RouteAnswers answers;
    RouteWizard wizard(answers);
    QTimer::singleShot(0, &wizard, [&] {
        EXPECT_EQ(wizard.first.GetDlgItemText(IDC_WIZARD_NEXT), QStringLiteral("Next  >"));
        EXPECT_EQ(wizard.first.GetDlgItemText(IDC_WIZARD_BACK), QStringLiteral("<  Back"));
        wizard.first.ClickDlgItem(platform::IDCANCEL);
    });
    EXPECT_EQ(wizard.DoModal(), platform::IDCANCEL);
    EXPECT_EQ(answers.finished, 0);
}

TEST(Wizard, AnotherLanguageKeepsTheTemplateCaptions)
{
    uitest::OnScreen screen(240, 320, 96, 2);
    RouteAnswers answers;
    RouteWizard wizard(answers);
    ASSERT_TRUE(wizard.Create());
    EXPECT_EQ(wizard.first.GetDlgItemText(IDC_WIZARD_NEXT), QStringLiteral("Next  >"));
    EXPECT_EQ(wizard.first.GetDlgItemText(platform::IDCANCEL), QStringLiteral("Cancel"));
    wizard.first.ClickDlgItem(platform::IDCANCEL);
}

TEST(Wizard, PagesReachTheBottomOfTheSheetAndColoursFollowTheScheme)
{
    uitest::OnScreen screen(240, 320);
    RouteAnswers answers;
    answers.name = QStringLiteral("x");
    RouteWizard wizard(answers);
    ASSERT_TRUE(wizard.Create());
    const int clientBottom = wizard.Body()->rect().bottom();
    uitest::ProcessEvents();
    EXPECT_EQ(wizard.first.geometry().bottom(), clientBottom);
    wizard.first.ClickDlgItem(IDC_WIZARD_NEXT);
    // Placed by the framework above the hidden tabs first, then stretched.
    EXPECT_LT(wizard.second.geometry().bottom(), clientBottom);
    uitest::ProcessEvents();
    EXPECT_EQ(wizard.second.geometry().bottom(), clientBottom);

    EXPECT_TRUE(wizard.second.HasBrush());
    EXPECT_EQ(wizard.second.palette().color(QPalette::Window).rgb(), ColorFromRef(0xBBFFA8).rgb());
    QWidget* check = wizard.second.GetDlgItem(IDC_BACK_ROUTE);
    EXPECT_EQ(check->palette().color(QPalette::Window), QColor(0xA8, 0xFF, 0xBB));
    QWidget* next = wizard.second.GetDlgItem(IDC_WIZARD_NEXT);
    EXPECT_EQ(next->palette().color(QPalette::Button), QColor(0xD3, 0xFF, 0xDD));
    EXPECT_TRUE(wizard.second.GetDlgItem(IDC_WIZARD_TITLE)->font().bold());

    // A stretch request for a page that is gone names no page and is ignored.
    platform::send(&wizard, WM_WIZARD_STRETCH_PAGE, 7);
    wizard.second.ClickDlgItem(platform::IDCANCEL);
}

TEST(WizardLayout, FittingTheTitleMovesTheDescriptionOnlyWhenTheTitleGrows)
{
    uitest::OnScreen screen(240, 320);
    QWidget parent;
    parent.resize(240, 320);
    QLabel title(&parent);
    title.setWordWrap(true);
    title.setGeometry(10, 10, 200, 40);
    QLabel description(&parent);
    description.setGeometry(10, 60, 200, 20);

    // A text needing less than the present height: no move.
    const QFontMetrics fm(title.font());
    const int oneLine
        = fm.boundingRect(QRect(0, 0, 198, 38), Qt::AlignHCenter | Qt::TextWordWrap, "Шаг").height();
    title.setGeometry(10, 10, 200, oneLine + 1);
    EXPECT_EQ(SetTitleAndShift(&title, &description, QStringLiteral("Шаг")), 0);
    EXPECT_EQ(description.geometry(), QRect(10, 60, 200, 20));

    const QString longText = QStringLiteral("Выберите, как будет задана конечная точка маршрута");
    const int change = SetTitleAndShift(&title, &description, longText);
    EXPECT_GT(change, 0);
    EXPECT_EQ(title.height(), oneLine + 1 + change);
    EXPECT_EQ(description.y(), 60 + change);
    EXPECT_EQ(title.text(), longText);

    // The bottom comes back in the parent's coordinates, moved or not.
    int bottom = 0;
    SetStaticTextFitted(&title, longText, 0, &bottom);
    EXPECT_EQ(bottom, title.geometry().bottom() + 1);
    SetStaticTextFitted(&title, longText, 5, &bottom);
    EXPECT_EQ(bottom, title.geometry().bottom() + 1);
    EXPECT_EQ(MoveControlDown(&description, 0), description.geometry().bottom() + 1);
}
