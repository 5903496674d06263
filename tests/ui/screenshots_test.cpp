// Pictures of the dialogs in Russian on the smallest portrait screen and the
// largest landscape one, written under <build>/screenshots for a person to look at.
#include "ui/list_choice_dlg.h"
#include "ui/text_entry_dlg.h"
#include "sample_pages.h"
#include "ui_testing.h"

#include <QFileInfo>
#include <gtest/gtest.h>

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
    const QString path = uitest::SaveScreenshot(window, name);
    EXPECT_TRUE(QFileInfo(path).size() > 0) << path.toStdString();
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
