// The dialogs in Russian on the smallest portrait screen and the largest
// landscape one, compared with their pictures in tests/ui/golden (look at a
// changed one, then store it with TRAVENOR_UPDATE_GOLDEN=1); each is also
// written under <build>/screenshots.
#include "drawlib/screen_draw_tool.h"
#include "foundation/screen_metrics.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "sample_pages.h"
#include "tests/support/golden_picture.h"
#include "ui/button_grid_dlg.h"
#include "ui/list_choice_dlg.h"
#include "ui/text_entry_dlg.h"
#include "ui_testing.h"

#include <QImage>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Screen {
    int w, h, dpi;
    const char* name;
};
const Screen kScreens[] = { { 240, 320, 96, "240x320" }, { 640, 480, 192, "640x480" } };

class Months : public CListSource {
public:
    bool Next(int index, QString& name, int32_t& value) override
    {
        static const char* names[] = { "Январь", "Февраль", "Март", "Апрель" };
        if (index < 0 || index >= 4)
            return false;
        name = QString::fromUtf8(names[index]);
        value = index + 1;
        return true;
    }
};

void ExpectSaved(QWidget& window, const QString& name)
{
    uitest::SaveScreenshot(window, name);
    testing_support::ExpectGoldenPicture(
        window.grab().toImage().convertToFormat(QImage::Format_RGB32), QStringLiteral("ui"), name);
}

} // namespace

TEST(Screenshots, ListChoiceAndTextEntry)
{
    for (const Screen& s : kScreens) {
        uitest::OnScreen screen(s.w, s.h, s.dpi);
        {
            Months source;
            source.m_current = 3;
            CListChoiceDlg dlg(&source);
            dlg.m_prompt = QStringLiteral("Выберите месяц:");
            dlg.m_note = QStringLiteral("Выбранный месяц будет использован для расчёта пробок на маршруте.");
            ASSERT_TRUE(dlg.Create());
            ExpectSaved(dlg, QStringLiteral("list_choice_%1").arg(QLatin1String(s.name)));
        }
        {
            CTextEntryDlg dlg;
            dlg.m_prompt = QStringLiteral("Введите имя папки");
            dlg.m_text = QStringLiteral("Папка 1");
            dlg.m_note = QStringLiteral("Имя не должно содержать символов \\ / : * ? \" < > |");
            ASSERT_TRUE(dlg.Create());
            ExpectSaved(dlg, QStringLiteral("text_entry_%1").arg(QLatin1String(s.name)));
        }
    }
}

TEST(Screenshots, PropertySheetAndWizard)
{
    for (const Screen& s : kScreens) {
        uitest::OnScreen screen(s.w, s.h, s.dpi);
        {
            sample::Settings settings;
            sample::SettingsSheet sheet(settings);
            ASSERT_TRUE(sheet.Create());
            ExpectSaved(sheet, QStringLiteral("sheet_page1_%1").arg(QLatin1String(s.name)));
            sheet.SetActivePage(2);
            ExpectSaved(sheet, QStringLiteral("sheet_page3_%1").arg(QLatin1String(s.name)));
        }
        {
            sample::RouteAnswers answers;
            answers.name = QStringLiteral("На работу");
            sample::RouteWizard wizard(answers);
            ASSERT_TRUE(wizard.Create());
            ExpectSaved(wizard, QStringLiteral("wizard_page1_%1").arg(QLatin1String(s.name)));
            wizard.first.ClickDlgItem(IDC_WIZARD_NEXT);
            ExpectSaved(wizard, QStringLiteral("wizard_page2_%1").arg(QLatin1String(s.name)));
        }
    }
}

namespace {

// The program's draw tool on the screen, with the command pictures as the
// build makes them (<build>/data/resources/qvga or vga by the screen's class);
// without built resources the grid simply has no pictures.
class DrawToolPictures {
public:
    DrawToolPictures(QSize size, int dpi, const std::vector<int32_t>& commands)
        : m_display(size, dpi)
    {
        g_drawTool->Init(&m_display, true);
        const QString folder
            = QStringLiteral(TRAVENOR_BUILD_DATA_DIR "/resources/%1")
                  .arg(GetScreenResolutionClass() == 2 ? QStringLiteral("vga") : QStringLiteral("qvga"));
        for (int32_t command : commands)
            for (int step = 0; step < 3; ++step)
                g_drawTool->LoadResource(folder, static_cast<uint32_t>(command + 700 * step));
    }
    ~DrawToolPictures() { g_drawTool->DestroyBuffer(); }

private:
    platform::Display m_display;
};

struct QuickCell {
    int32_t command;
    const char* caption;
    const char* description;
};

} // namespace

TEST(Screenshots, ButtonGrid)
{
    // The quick menu in Russian: the upright and the landscape expert layouts.
    const QuickCell upright[8] = {
        { 10001, "Настройки", "Открыть общие настройки" },
        { 10003, "Выход", "Выход из приложения Travenor Pro" },
        { 10034, "Закладка", "Добавить закладку на текущем местоположении" },
        { 10017, "Поиск", "Искать адреса и городские объекты" },
        { 10027, "Восстанов.", "Проложить маршрут от GPS к заданному финишу" },
        { 10037, "Пробки", "Загрузить пробки (при подключенном источнике)" },
        { 10020, "Масштаб", "Показывать линейку масштаба" },
        { 2, "Отмена", "" },
    };
    const QuickCell landscape[8]
        = { upright[7], upright[5], upright[3], upright[1], upright[6], upright[4], upright[2], upright[0] };
    // The pictures animate on the grid's timer: the clock stands still.
    platform::ScopedManualClock clock(5000);
    for (const Screen& s : kScreens) {
        uitest::OnScreen screen(s.w, s.h, s.dpi);
        const QuickCell* cells = s.w > s.h ? landscape : upright;
        std::vector<int32_t> commands;
        for (int i = 0; i < 8; ++i)
            commands.push_back(cells[i].command);
        DrawToolPictures pictures(QSize(s.w, s.h), s.dpi, commands);
        CButtonGridDlg grid(4, 2);
        for (int i = 0; i < 8; ++i)
            grid.SetCellByIndex(i, cells[i].command, QString::fromUtf8(cells[i].caption),
                QString::fromUtf8(cells[i].description), 0, 700, 3);
        ASSERT_TRUE(grid.Create());
        ExpectSaved(*grid.GetWindow(), QStringLiteral("button_grid_%1").arg(QLatin1String(s.name)));
        grid.EndDialog(2);
    }
}
