#include "ui/text_entry_dlg.h"

#include "platform/shell.h"
#include "ui_testing.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

TEST(TextEntryDlg, ValidPrefixByAllowedThenForbiddenCharacters)
{
    struct Case {
        const char* text;
        const char* allowed;
        const char* forbidden;
        int length;
    };
    const Case cases[] = {
        { "12a", "0123456789", "", 2 },
        { "123", "0123456789", "", 3 },
        { "a/b", "", "/\\", 1 },
        { "ab", "", "", 2 },
        // The forbidden characters are looked at only when all were allowed.
        { "1x2", "0123456789", "1", 1 },
        { "212", "0123456789", "1", 1 },
        { "", "0123456789", "x", 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValidTextPrefixLength(QString::fromUtf8(c.text), QString::fromUtf8(c.allowed),
                      QString::fromUtf8(c.forbidden)),
            c.length)
            << c.text;
}

TEST(TextEntryDlg, OkFollowsTheMinimumLength)
{
    uitest::OnScreen screen(240, 320);
    CTextEntryDlg dlg;
    dlg.m_minLength = 3;
    dlg.m_text = QStringLiteral("ab");
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetTemplateId(), 945);
    EXPECT_FALSE(dlg.IsDlgItemEnabled(platform::IDOK));
    dlg.SetDlgItemText(IDC_TEXT_ENTRY_EDIT, QStringLiteral("abc"));
    EXPECT_TRUE(dlg.IsDlgItemEnabled(platform::IDOK));
    dlg.SetDlgItemText(IDC_TEXT_ENTRY_EDIT, QStringLiteral("ab"));
    EXPECT_FALSE(dlg.IsDlgItemEnabled(platform::IDOK));
    dlg.ClickDlgItem(platform::IDCANCEL);
    EXPECT_EQ(dlg.result(), platform::IDCANCEL);
    EXPECT_EQ(dlg.m_text, QStringLiteral("ab"));
}

TEST(TextEntryDlg, RefusedCharactersKeepTheDialogOpenAndLoadingCutsThem)
{
    uitest::OnScreen screen(320, 240);
    uitest::ScriptedMessageBoxes boxes;
    CTextEntryDlg dlg;
    dlg.m_allowed = QStringLiteral("0123456789");
    dlg.m_text = QStringLiteral("12a");
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetTemplateId(), 885);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TEXT_ENTRY_EDIT), QStringLiteral("12"));

    dlg.SetDlgItemText(IDC_TEXT_ENTRY_EDIT, QStringLiteral("12a"));
    dlg.ClickDlgItem(platform::IDOK);
    ASSERT_EQ(boxes.requests.size(), 1u);
    EXPECT_EQ(boxes.requests[0].text, QStringLiteral("Error string value..."));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.focusWidget(), dlg.GetDlgItem(IDC_TEXT_ENTRY_EDIT));
    EXPECT_EQ(dlg.m_text, QStringLiteral("12a")); // nothing stored

    dlg.SetDlgItemText(IDC_TEXT_ENTRY_EDIT, QStringLiteral("1234"));
    dlg.ClickDlgItem(platform::IDOK);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), platform::IDOK);
    EXPECT_EQ(dlg.m_text, QStringLiteral("1234"));
}

TEST(TextEntryDlg, MaximumLengthLimitsTheFieldAndTheInputPanelFollowsTheFocus)
{
    uitest::OnScreen screen(240, 320);
    CTextEntryDlg dlg;
    dlg.m_maxLength = 4;
    dlg.m_text = QStringLiteral("Folder 12");
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TEXT_ENTRY_EDIT), QStringLiteral("Fold"));
    EXPECT_FALSE(platform::GetShellState().inputPanelShown);
    dlg.FocusDlgItem(IDC_TEXT_ENTRY_EDIT);
    EXPECT_TRUE(platform::GetShellState().inputPanelShown);
    dlg.FocusDlgItem(platform::IDCANCEL);
    EXPECT_FALSE(platform::GetShellState().inputPanelShown);
    dlg.FocusDlgItem(IDC_TEXT_ENTRY_EDIT);
    dlg.ClickDlgItem(platform::IDOK);
    EXPECT_EQ(dlg.m_text, QStringLiteral("Fold"));
    EXPECT_FALSE(platform::GetShellState().inputPanelShown);
}

TEST(TextEntryDlg, OpensFramelessOverTheDeviceScreenAndAnswersEnterAndEscape)
{
    uitest::OnScreen screen(320, 240);
    QWidget device;
    device.setGeometry(100, 50, 320, 240);
    device.show();
    platform::SetDeviceScreenWindow(&device);
    {
        CTextEntryDlg dlg;
        dlg.m_minLength = 1;
        ASSERT_TRUE(dlg.Create());
        EXPECT_EQ(dlg.geometry(), QRect(device.mapToGlobal(QPoint(0, 0)), QSize(320, 240)));
        EXPECT_TRUE(dlg.windowFlags() & Qt::FramelessWindowHint);

        // Enter is OK, which a too short text cannot take.
        auto press = [&](Qt::Key key) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(&dlg, &event);
        };
        press(Qt::Key_Return);
        EXPECT_TRUE(dlg.isVisible());
        dlg.SetDlgItemText(IDC_TEXT_ENTRY_EDIT, QStringLiteral("Дом"));
        press(Qt::Key_Escape);
        EXPECT_EQ(dlg.result(), platform::IDCANCEL);
        EXPECT_TRUE(dlg.m_text.isEmpty());
    }
    CTextEntryDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.SetDlgItemText(IDC_TEXT_ENTRY_EDIT, QStringLiteral("Дом"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
    QCoreApplication::sendEvent(&dlg, &enter);
    EXPECT_EQ(dlg.result(), platform::IDOK);
    EXPECT_EQ(dlg.m_text, QStringLiteral("Дом"));
    platform::SetDeviceScreenWindow(nullptr);
}
