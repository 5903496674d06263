#include "ui/color_combo_box.h"
#include "ui/color_list_ctrl.h"
#include "ui/color_scheme.h"

#include "ui_testing.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <gtest/gtest.h>

TEST(ColorScheme, OnlyABrushThatPaintsCounts)
{
    CColorScheme scheme;
    EXPECT_FALSE(scheme.HasBrush());
    QBrush empty;
    scheme.SetColors(&empty, 0x0000FF);
    EXPECT_FALSE(scheme.HasBrush());
    // The owner's brush may get its colour after it was handed over.
    empty = QBrush(ColorFromRef(0xBBFFA8));
    EXPECT_TRUE(scheme.HasBrush());
    EXPECT_EQ(ColorFromRef(0xBBFFA8), QColor(0xA8, 0xFF, 0xBB));
}

TEST(ColorScheme, ControlsWithoutABrushLookLikeTheirBase)
{
    uitest::OnScreen screen(240, 320);
    QWidget parent;
    QComboBox plainCombo(&parent);
    CColorComboBox combo(&parent);
    QTreeWidget plainList(&parent);
    CColorListCtrl list(&parent);
    QBrush none;
    combo.SetColors(&none, 0x123456);
    parent.show();
    uitest::ProcessEvents();
    EXPECT_EQ(combo.palette(), plainCombo.palette());
    EXPECT_EQ(list.palette(), plainList.palette());
    EXPECT_EQ(list.header()->palette(), plainList.header()->palette());
}

TEST(ColorScheme, TintedControlsAndTheDropDownListTakenOnce)
{
    uitest::OnScreen screen(240, 320);
    QWidget parent;
    CColorComboBox combo(&parent);
    combo.addItems({ QStringLiteral("Один"), QStringLiteral("Два") });
    QBrush green(ColorFromRef(0xBBFFA8));
    QBrush pale(ColorFromRef(0xDDFFD3));
    combo.SetColors(&green, 0xBBFFA8);
    combo.ListScheme().SetColors(&pale, 0xDDFFD3);
    CColorListCtrl list(&parent);
    list.SetColors(&green, 0xDDFFD3);
    parent.show();
    uitest::ProcessEvents();
    EXPECT_EQ(combo.palette().color(QPalette::Window), QColor(0xA8, 0xFF, 0xBB));
    EXPECT_EQ(list.palette().color(QPalette::Base), QColor(0xD3, 0xFF, 0xDD));
    EXPECT_NE(list.header()->palette().color(QPalette::Window),
        QColor(0xA8, 0xFF, 0xBB)); // its own scheme has none

    EXPECT_FALSE(combo.IsListAttached());
    combo.showPopup();
    combo.hidePopup();
    EXPECT_TRUE(combo.IsListAttached());
    EXPECT_EQ(combo.view()->palette().color(QPalette::Base), QColor(0xD3, 0xFF, 0xDD));
    QBrush other(Qt::red);
    combo.ListScheme().SetColors(&other, 0x0000FF);
    combo.showPopup();
    combo.hidePopup();
    EXPECT_EQ(combo.view()->palette().color(QPalette::Base), QColor(0xD3, 0xFF, 0xDD));
}
