#pragma once
// What the settings page tests do as a user: taps on controls, tabs and menu
// entries with Qt's test events, and a person who picks files in the file
// dialogs. Header-only.
#include "drawlib/screen_draw_tool.h"
#include "foundation/language.h"
#include "platform/display.h"
#include "platform/file_dialog.h"
#include "settings/list_sorter.h"
#include "settings/settings_menu_dlg.h"
#include "tests/settings/settings_rig.h"
#include "tests/support/program_folder.h"
#include "ui/property_sheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHeaderView>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

namespace settingstest {

// A tap on a control of a page or dialog (nothing happens to a disabled one).
inline void Tap(const ControlHost& host, int id)
{
    QWidget* control = host.GetDlgItem(id);
    ASSERT_NE(control, nullptr) << id;
    QPoint at = control->rect().center();
    // A check box takes a tap on its box or its text, not beside them.
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        at = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
    }
    QTest::mouseClick(control, Qt::LeftButton, {}, at);
}

// A tap on a list's row, on its first column (a row may be wider than the
// list), with keys held.
inline void TapRow(QTreeWidget* list, QTreeWidgetItem* row, Qt::KeyboardModifiers keys = {})
{
    ASSERT_NE(row, nullptr);
    list->scrollToItem(row);
    const QRect rect = list->visualItemRect(row);
    const int x = std::min(rect.center().x(), rect.left() + list->columnWidth(0) / 2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, QPoint(x, rect.center().y()));
}

// A tap on a list's column header.
inline void TapHeader(QTreeWidget* list, int column)
{
    QHeaderView* header = list->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
        QPoint(
            header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
}

// The lists' rows by their item data, top to bottom.
inline std::vector<int> RowOrder(QTreeWidget* list)
{
    std::vector<int> data;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        data.push_back(RowData(list->topLevelItem(i)));
    return data;
}

// A tap on a sheet's tab.
inline void TapTab(CPropertySheet& sheet, int index)
{
    QTabBar* tabs = sheet.GetTabControl()->TabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
}

// A tap on an entry of the settings menu.
inline void TapEntry(CSettingsMenuDlg& menu, int entry)
{
    QListWidget* list = menu.List();
    const QRect rect = list->visualItemRect(list->item(entry));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// The draw tool on a display of the screen's size with the settings menu's
// pictures, for the time of a test.
class MenuPictures {
public:
    explicit MenuPictures(QSize screen = QSize(240, 320))
        : m_display(screen, 96)
    {
        g_drawTool->Init(&m_display, true);
        const QString module = testing_support::BuildDataFolder() + QStringLiteral("/resources/qvga");
        for (uint32_t id = 15111; id <= 15125; ++id)
            loaded = g_drawTool->LoadResource(module, id) && loaded;
    }
    ~MenuPictures() { g_drawTool->DestroyBuffer(); }
    MenuPictures(const MenuPictures&) = delete;
    MenuPictures& operator=(const MenuPictures&) = delete;

    bool loaded = true;

private:
    platform::Display m_display;
};

// Answers the sheet of class T once it runs modally (over the menu, which is
// modal itself), as a person would.
template <class T> void WhenSheetOpens(std::function<void(T*)> answer)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer)] {
        if (auto* sheet = dynamic_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(sheet);
        }
    });
    timer->start();
}

// Runs the message loop until `done` or ten seconds have passed.
inline bool AwaitTrue(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The file dialogs answered in turn from a list (an empty answer cancels);
// what each was asked is kept.
class ScopedFileAnswers {
public:
    explicit ScopedFileAnswers(std::initializer_list<QString> answers)
        : m_answers(answers)
    {
        platform::SetFileDialogAnswerer([this](const platform::FileDialogRequest& request) {
            requests.push_back(request);
            std::optional<QString> answer;
            if (!m_answers.empty()) {
                if (!m_answers.front().isEmpty())
                    answer = m_answers.front();
                m_answers.pop_front();
            }
            return answer;
        });
    }
    ~ScopedFileAnswers() { platform::SetFileDialogAnswerer({}); }
    ScopedFileAnswers(const ScopedFileAnswers&) = delete;
    ScopedFileAnswers& operator=(const ScopedFileAnswers&) = delete;

    void Add(const QString& answer) { m_answers.push_back(answer); }
    std::vector<platform::FileDialogRequest> requests;

private:
    std::deque<QString> m_answers;
};

} // namespace settingstest
