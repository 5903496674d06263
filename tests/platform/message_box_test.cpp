#include "platform/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform;

TEST(MessageBox, AnswererRepliesInPlaceOfAPerson)
{
    std::vector<MessageBoxRequest> asked;
    SetMessageBoxAnswerer([&](const MessageBoxRequest& r) {
        asked.push_back(r);
        return IDNO;
    });
    EXPECT_EQ(ShowMessageBox(nullptr, "Delete?", "Travenor Pro", MB_YESNO | MB_ICONQUESTION), IDNO);
    SetMessageBoxAnswerer({});
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Delete?");
    EXPECT_EQ(asked[0].type, unsigned(MB_YESNO | MB_ICONQUESTION));
}

TEST(MessageBox, RealBoxMapsButtonsToResults)
{
    struct Case {
        unsigned type;
        QMessageBox::StandardButton press;
        int result;
    };
    const Case cases[] = {
        { MB_OK, QMessageBox::Ok, IDOK },
        { MB_OKCANCEL, QMessageBox::Cancel, IDCANCEL },
        { MB_YESNOCANCEL | MB_DEFBUTTON2, QMessageBox::No, IDNO },
        { MB_YESNO, QMessageBox::Yes, IDYES },
        { MB_RETRYCANCEL, QMessageBox::Retry, IDRETRY },
    };
    for (const Case& c : cases) {
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                    box->button(c.press)->click();
        });
        EXPECT_EQ(ShowMessageBox(nullptr, "text", "caption", c.type), c.result) << c.type;
    }
}
