#include "ui/list_choice_dlg.h"

#include "platform/shell.h"
#include "ui_testing.h"

#include <QComboBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A list of named values, as the program's choices give them.
class Choices : public CListSource {
public:
    Choices(std::vector<std::pair<QString, int32_t>> items, int32_t current)
        : m_items(std::move(items))
    {
        m_current = current;
    }
    bool Next(int index, QString& name, int32_t& value) override
    {
        if (index < 0 || index >= static_cast<int>(m_items.size()))
            return false;
        name = m_items[index].first;
        value = m_items[index].second;
        return true;
    }

private:
    std::vector<std::pair<QString, int32_t>> m_items;
};

Choices Qualities(int32_t current)
{
    std::vector<std::pair<QString, int32_t>> items;
    for (int q = 10; q <= 100; q += 10)
        items.emplace_back(QString::number(q), q);
    return Choices(items, current);
}

} // namespace

TEST(ListChoiceDlg, PreselectsTheCurrentValueAndStoresTheChoiceOnOk)
{
    uitest::OnScreen screen(240, 320);
    Choices source = Qualities(70);
    CListChoiceDlg dlg(&source);
    dlg.m_prompt = QStringLiteral("Качество сжатия:");
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetTemplateId(), 944);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_DIALOG_PROMPT), QStringLiteral("Качество сжатия:"));
    EXPECT_EQ(dlg.GetCurSel(IDC_LIST_CHOICE_COMBO), 6);
    EXPECT_TRUE(dlg.IsDlgItemEnabled(platform::IDOK));
    EXPECT_EQ(dlg.GetDlgItemText(platform::IDCANCEL), QStringLiteral("Отмена"));

    ASSERT_TRUE(dlg.SelectDlgItem(IDC_LIST_CHOICE_COMBO, 2));
    ASSERT_TRUE(dlg.ClickDlgItem(platform::IDOK));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), platform::IDOK);
    EXPECT_EQ(source.m_current, 30);
}

TEST(ListChoiceDlg, AValueThatMatchesNoItemSelectsTheFirst)
{
    uitest::OnScreen screen(320, 240);
    Choices source = Qualities(55);
    CListChoiceDlg dlg(&source);
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetTemplateId(), 884);
    EXPECT_EQ(dlg.GetCurSel(IDC_LIST_CHOICE_COMBO), 0);
    dlg.ClickDlgItem(platform::IDOK);
    EXPECT_EQ(source.m_current, 10);
}

TEST(ListChoiceDlg, AnEmptySourceLeavesOkDisabledAndOkDoesNothing)
{
    uitest::OnScreen screen(240, 320);
    Choices source({}, 5);
    CListChoiceDlg dlg(&source);
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetDlgItemAs<QComboBox>(IDC_LIST_CHOICE_COMBO)->count(), 0);
    EXPECT_FALSE(dlg.IsDlgItemEnabled(platform::IDOK));
    EXPECT_FALSE(dlg.ClickDlgItem(platform::IDOK));
    // OK arriving anyway (the Enter key of another path) finds no selection.
    dlg.OnOK();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(source.m_current, 5);
    dlg.ClickDlgItem(platform::IDCANCEL);
    EXPECT_EQ(dlg.result(), platform::IDCANCEL);
}

TEST(ListChoiceDlg, EnglishCancelAndModalRunEndedByCancel)
{
    uitest::OnScreen screen(240, 320, 96, LANGUAGE_ENGLISH);
    Choices source = Qualities(20);
    CListChoiceDlg dlg(&source);
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_EQ(dlg.GetDlgItemText(platform::IDCANCEL), QStringLiteral("Cancel"));
        dlg.SelectDlgItem(IDC_LIST_CHOICE_COMBO, 5);
        dlg.ClickDlgItem(platform::IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), platform::IDCANCEL);
    EXPECT_EQ(source.m_current, 20);
}

TEST(DialogFullScreen, ComesBackToFullScreenWhenActivatedAgain)
{
    uitest::OnScreen screen(240, 320);
    Choices source = Qualities(20);
    CListChoiceDlg dlg(&source);
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetWindowRect(), QRect(0, 0, 240, 320));
    EXPECT_FALSE(platform::GetShellState().taskBarVisible);

    dlg.FullScreenOff();
    EXPECT_EQ(dlg.GetWindowRect(), QRect(0, 26, 240, 268));
    EXPECT_TRUE(platform::GetShellState().taskBarVisible);
    dlg.FullScreenOff(); // only from full screen
    EXPECT_EQ(dlg.GetWindowRect(), QRect(0, 26, 240, 268));

    dlg.OnActivate(WA_INACTIVE);
    EXPECT_EQ(dlg.Mode(), 0);
    dlg.OnActivate(WA_ACTIVE);
    EXPECT_EQ(dlg.Mode(), 2);
    EXPECT_EQ(dlg.GetWindowRect(), QRect(0, 0, 240, 320));
    EXPECT_FALSE(platform::GetShellState().taskBarVisible);
    dlg.ClickDlgItem(platform::IDCANCEL);
}
