#pragma once
// The arrangement the settings pages share: a column of framed groups at the
// top of the page (scrolling where the screen is too short for it), controls
// a finger can tap, in the dialog font.
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "ui/control_host.h"
#include "ui/dialog_style.h"
#include "ui/wrap_check_box.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QSlider>
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>

namespace settings_layout {

// The page's column, filled from the top. A page taller than the screen
// leaves scrolls up and down inside the page.
inline QVBoxLayout* PageColumn(QWidget* page)
{
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(QString());
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setBackgroundRole(QPalette::Window);
    auto* content = new QWidget;
    scroll->setWidget(content);
    outer->addWidget(scroll);
    auto* layout = new QVBoxLayout(content);
    const int margin = DialogMargin() / 2;
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(DialogSpacing() / 2);
    return layout;
}

// The page's column for a page whose lists take the room left: it never
// scrolls, the lists do.
inline QVBoxLayout* FixedColumn(QWidget* page)
{
    auto* column = new QVBoxLayout(page);
    const int margin = DialogMargin() / 2;
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(DialogSpacing() / 2);
    return column;
}

// A list of rows with columns registered under `id`: one row picked at a
// time, whole rows, headers that take taps.
inline QTreeWidget* AddReportList(ControlHost& host, int id, QWidget* page, QBoxLayout* into, int stretch = 1)
{
    auto* list = host.AddControl<QTreeWidget>(id, page);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->header()->setSectionsClickable(true);
    list->header()->setStretchLastSection(false);
    list->setFont(DialogFont());
    into->addWidget(list, stretch);
    return list;
}

// The columns of a list of the values a button can take: "Button
// assignment" over nearly the list's width, and an empty one after it.
inline void SetAssignmentColumns(QTreeWidget* list)
{
    const int width = std::max(list->viewport()->width(), GetScreenWidth() - 2 * DialogMargin());
    list->setHeaderLabels({ Bilingual(u"Button assignment", u"Значение кнопок"), QString() });
    list->setColumnWidth(0, 59 * width / 60);
    list->setColumnWidth(1, width / 3);
}

// A framed group registered under `id` with a column of its own inside.
inline QVBoxLayout* AddGroup(ControlHost& host, int id, QWidget* page, QBoxLayout* into)
{
    auto* group = host.AddControl<QGroupBox>(id, page);
    into->addWidget(group);
    auto* inner = new QVBoxLayout(group);
    const int margin = DialogMargin() / 2;
    inner->setContentsMargins(margin, margin, margin, margin);
    inner->setSpacing(DialogSpacing() / 2);
    return inner;
}

// A control registered under `id`, styled for touch, added to `into`.
template <class T> T* Add(ControlHost& host, int id, QWidget* page, QBoxLayout* into, int stretch = 0)
{
    auto* control = host.AddControl<T>(id, page);
    StyleTouchControl(control);
    into->addWidget(control, stretch);
    return control;
}

// A page's combo box by id.
inline QComboBox* Combo(const ControlHost& host, int id) { return host.GetDlgItemAs<QComboBox>(id); }

// A row inside a column.
inline QHBoxLayout* AddRow(QBoxLayout* into)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(DialogSpacing());
    into->addLayout(row);
    return row;
}

// A horizontal slider registered under `id` with the labels of its two ends
// (`lowId` on the left, `highId` on the right) under it.
inline QSlider* AddSliderWithEnds(
    ControlHost& host, int id, int lowId, int highId, QWidget* page, QBoxLayout* into)
{
    auto* slider = Add<QSlider>(host, id, page, into);
    slider->setOrientation(Qt::Horizontal);
    QHBoxLayout* ends = AddRow(into);
    ends->addWidget(host.AddControl<QLabel>(lowId, page));
    ends->addStretch(1);
    ends->addWidget(host.AddControl<QLabel>(highId, page));
    return slider;
}

} // namespace settings_layout
