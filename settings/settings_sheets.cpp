#include "settings/settings_sheets.h"

#include "foundation/language.h"
#include "foundation/screen_metrics.h"

#include <QTabBar>

CSettingsSheet::CSettingsSheet(const QString& caption, QWidget* parent)
    : CPropertySheetFullScreen(caption, parent, 0)
{
}

void CSettingsSheet::InitTabTexts()
{
    if (CTabCtrl* tabs = GetTabControl()) {
        const QSize padding = TabPadding();
        tabs->TabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: %1px %2px; }")
                                          .arg(padding.height())
                                          .arg(padding.width()));
    }
    SetTabTitles();
    FitTabTitles();
}

void CSettingsSheet::FitTabTitles()
{
    CTabCtrl* tabs = GetTabControl();
    if (!tabs)
        return;
    // Every title whole across the screen: a smaller letter where they do not fit.
    QTabBar* bar = tabs->TabBar();
    QFont font = bar->font();
    const int room = GetScreenWidth();
    while (bar->sizeHint().width() > room) {
        if (font.pixelSize() > 0) {
            if (font.pixelSize() <= kSmallestTabPixels)
                break;
            font.setPixelSize(font.pixelSize() - 1);
        } else {
            if (font.pointSizeF() <= kSmallestTabPoints)
                break;
            font.setPointSizeF(font.pointSizeF() - 0.5);
        }
        bar->setFont(font);
    }
}

QSize CSettingsSheet::TabPadding() const
{
    return g_language == LANGUAGE_ENGLISH ? QSize(8, 3) : QSize(4, 3);
}

void CSettingsSheet::SetTitles(const QStringList& english, const QStringList& russian)
{
    const QStringList& titles = g_language == LANGUAGE_ENGLISH ? english : russian;
    for (int i = 0; i < GetPageCount() && i < titles.size(); ++i)
        GetPage(i)->SetTitle(titles[i]);
}

void CSettingsSheet::done(int result)
{
    // A page may end the sheet with its own result inside the sheet's OK;
    // that first end is the sheet's result.
    if (m_ended)
        return;
    m_ended = true;
    CPropertySheetFullScreen::done(result);
}

CSheetLanguage::CSheetLanguage(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    AddPage(&m_language);
}

void CSheetLanguage::SetTabTitles() { SetTitles({ QStringLiteral("Language") }, { QStringLiteral("Язык") }); }

CSheetGeneral::CSheetGeneral(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    AddPage(&m_mode);
    AddPage(&m_files);
    AddPage(&m_bluetooth);
}

void CSheetGeneral::SetTabTitles()
{
    SetTitles({ QStringLiteral("General"), QStringLiteral("Files"), QStringLiteral("Connections") },
        { QStringLiteral("Общие"), QStringLiteral("Файлы"), QStringLiteral("Соединения") });
}

CSheetGps::CSheetGps(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    AddPage(&m_settings);
    AddPage(&m_write);
    AddPage(&m_read);
}

void CSheetGps::SetTabTitles()
{
    SetTitles({ QStringLiteral("Settings"), QStringLiteral("Write"), QStringLiteral("Read") },
        { QStringLiteral("Настройки"), QStringLiteral("Запись"), QStringLiteral("Чтение") });
}

CSheetTraffic::CSheetTraffic(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    AddPage(&m_jams);
    AddPage(&m_blocks);
}

void CSheetTraffic::SetTabTitles()
{
    SetTitles({ QStringLiteral("Jam"), QStringLiteral("Blocking") },
        { QStringLiteral("Пробки"), QStringLiteral("Запреты") });
}

CSheetDriving::CSheetDriving(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    AddPage(&m_general);
    AddPage(&m_tips);
}

void CSheetDriving::SetTabTitles()
{
    SetTitles({ QStringLiteral("General"), QStringLiteral("Tips") },
        { QStringLiteral("Общие"), QStringLiteral("Подсказки") });
}

CSheetMap::CSheetMap(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    AddPage(&m_appearance);
}

void CSheetMap::SetTabTitles() { SetTitles({ QStringLiteral("Map") }, { QStringLiteral("Карта") }); }

CSheetSound::CSheetSound(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    AddPage(&m_sound);
}

void CSheetSound::SetTabTitles() { SetTitles({ QStringLiteral("Sound") }, { QStringLiteral("Звук") }); }

CSheetRoute::CSheetRoute(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    AddPage(&m_general);
    AddPage(&m_tips);
    AddPage(&m_files);
    AddPage(&m_properties);
}

void CSheetRoute::SetTabTitles()
{
    SetTitles({ QStringLiteral("General"), QStringLiteral("Tips"), QStringLiteral("Files"),
                  QStringLiteral("Properties") },
        { QStringLiteral("Общие"), QStringLiteral("Подсказки"), QStringLiteral("Файлы"),
            QStringLiteral("Свойства") });
}

CSheetHardwareButtons::CSheetHardwareButtons(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    AddPage(&m_buttons);
}

void CSheetHardwareButtons::SetTabTitles()
{
    SetTitles({ QStringLiteral("Hardware buttons") }, { QStringLiteral("Аппаратные кнопки") });
}

CSheetInformation::CSheetInformation(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    AddPage(&m_information);
}

void CSheetInformation::SetTabTitles()
{
    SetTitles({ QStringLiteral("Information") }, { QStringLiteral("Информация") });
}

CSheetToolbars::CSheetToolbars(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    m_top.SetBarKind(CPageToolbars::KIND_TOP);
    m_bottom.SetBarKind(CPageToolbars::KIND_BOTTOM);
    AddPage(&m_top);
    AddPage(&m_bottom);
    AddPage(&m_other);
}

void CSheetToolbars::SetTabTitles()
{
    // The bars lie along the top and bottom in portrait, else along the sides.
    if (GetEffectiveOrientation() == ORIENT_PORTRAIT)
        SetTitles({ QStringLiteral("Top"), QStringLiteral("Bottom"), QStringLiteral("Other") },
            { QStringLiteral("Верхняя"), QStringLiteral("Нижняя"), QStringLiteral("Прочие") });
    else
        SetTitles({ QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Other") },
            { QStringLiteral("Левая"), QStringLiteral("Правая"), QStringLiteral("Прочие") });
}

CSheetTransparentButtons::CSheetTransparentButtons(const QString& caption, QWidget* parent)
    : CSettingsSheet(caption, parent)
{
    AddPage(&m_brightness);
    AddPage(&m_values);
}

void CSheetTransparentButtons::SetTabTitles()
{
    SetTitles({ QStringLiteral("Brightness"), QStringLiteral("Values") },
        { QStringLiteral("Яркость"), QStringLiteral("Значения") });
}
