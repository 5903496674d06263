#include "ui/raw_dialog.h"

#include "platform/message_box.h"
#include "ui_testing.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Decides while it initialises that it is not needed.
class EndsAtOnce : public CRawDialog {
public:
    EndsAtOnce()
        : CRawDialog(844)
    {
    }
    int destroyed = 0;

    platform::LRESULT OnInitDialog(platform::WPARAM, platform::LPARAM) override
    {
        EndDialog(platform::IDCANCEL);
        return 1;
    }
    platform::LRESULT OnDestroy() override
    {
        ++destroyed;
        return 0;
    }
};

} // namespace

TEST(RawDialog, EndedWhileItInitialisesNeverRuns)
{
    uitest::OnScreen screen(240, 320);
    EndsAtOnce dialog;
    // Were the ended window run, nothing would reach it any more: this stops it.
    bool ran = false;
    QObject guard;
    QTimer::singleShot(0, &guard, [&] {
        ran = true;
        if (dialog.GetWindow())
            dialog.GetWindow()->done(-5);
    });
    EXPECT_EQ(dialog.DoModal(), platform::IDCANCEL);
    EXPECT_FALSE(ran);
    EXPECT_EQ(dialog.destroyed, 1);
    EXPECT_EQ(dialog.GetWindow(), nullptr);

    EndsAtOnce opened;
    ASSERT_TRUE(opened.Create());
    EXPECT_FALSE(opened.IsOpen());
    EXPECT_EQ(opened.Result(), platform::IDCANCEL);
}
