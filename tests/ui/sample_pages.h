#pragma once
// A small settings sheet of three pages and a two-page wizard, built on the
// framework the way the program's own sheets and wizards are.
#include "foundation/language.h"
#include "platform/message_box.h"
#include "ui/color_property_page.h"
#include "ui/dialog_style.h"
#include "ui/property_sheet_full_screen.h"
#include "ui/wizard_page.h"
#include "ui/wizard_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace sample {

struct Settings {
    bool compass = true;
    QString name = QStringLiteral("Автомобиль");
    int units = 0;
    bool night = false;
};

enum : int {
    IDC_COMPASS = 1400,
    IDC_NAME = 1401,
    IDC_UNITS = 1410,
    IDC_DAY = 1420,
    IDC_NIGHT = 1421,
    IDC_ROUTE_NAME = 1500,
    IDC_BACK_ROUTE = 1510,
};

inline QVBoxLayout* PageLayout(QWidget* page)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(DialogMargin(), DialogMargin(), DialogMargin(), DialogMargin());
    layout->setSpacing(DialogSpacing());
    return layout;
}

// Loads its values when it opens, refuses an empty name when left, stores on OK.
class MapPage : public CColorPropertyPage {
public:
    explicit MapPage(Settings& s)
        : CColorPropertyPage(1000, QStringLiteral("Карта"))
        , m_settings(s)
    {
    }
    int stored = 0;

protected:
    void CreateControls() override
    {
        auto* layout = PageLayout(this);
        auto* compass = AddControl<QCheckBox>(IDC_COMPASS, this);
        StyleTouchControl(compass);
        compass->setText(QStringLiteral("Показывать компас"));
        layout->addWidget(compass);
        auto* label = new QLabel(QStringLiteral("Название профиля:"), this);
        layout->addWidget(label);
        auto* name = AddControl<QLineEdit>(IDC_NAME, this);
        StyleTouchControl(name);
        layout->addWidget(name);
        layout->addStretch(1);
    }
    bool DoDataExchange(bool save) override
    {
        if (!save) {
            CheckDlgButton(IDC_COMPASS, m_compass = m_settings.compass);
            SetDlgItemText(IDC_NAME, m_name = m_settings.name);
            return true;
        }
        if (GetDlgItemText(IDC_NAME).trimmed().isEmpty()) {
            platform::ShowMessageBox(this, QStringLiteral("Введите название профиля."),
                QStringLiteral("Travenor Pro"), platform::MB_OK);
            FocusDlgItem(IDC_NAME);
            return false;
        }
        m_compass = IsDlgButtonChecked(IDC_COMPASS);
        m_name = GetDlgItemText(IDC_NAME);
        return true;
    }
    void OnOK() override
    {
        m_settings.compass = m_compass;
        m_settings.name = m_name;
        ++stored;
    }

private:
    Settings& m_settings;
    bool m_compass = false;
    QString m_name;
};

class UnitsPage : public CColorPropertyPage {
public:
    explicit UnitsPage(Settings& s)
        : CColorPropertyPage(1001, QStringLiteral("Единицы"))
        , m_settings(s)
    {
    }
    int stored = 0;

protected:
    void CreateControls() override
    {
        auto* layout = PageLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("Единицы расстояния:"), this));
        auto* units = AddControl<QComboBox>(IDC_UNITS, this);
        StyleTouchControl(units);
        units->addItems({ QStringLiteral("Километры"), QStringLiteral("Мили") });
        layout->addWidget(units);
        layout->addStretch(1);
    }
    bool DoDataExchange(bool save) override
    {
        if (save)
            m_units = GetCurSel(IDC_UNITS);
        else
            SetCurSel(IDC_UNITS, m_units = m_settings.units);
        return true;
    }
    void OnOK() override
    {
        m_settings.units = m_units;
        ++stored;
    }

private:
    Settings& m_settings;
    int m_units = 0;
};

// Applies a choice at once, as pages whose choice shows on the map do.
class ColoursPage : public CColorPropertyPage {
public:
    explicit ColoursPage(Settings& s)
        : CColorPropertyPage(1002, QStringLiteral("Цвета"))
        , m_settings(s)
    {
    }

protected:
    void CreateControls() override
    {
        auto* layout = PageLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("Цветовая схема карты:"), this));
        for (auto [id, text] : { std::pair { IDC_DAY, "Дневная" }, std::pair { IDC_NIGHT, "Ночная" } }) {
            auto* radio = AddControl<QRadioButton>(id, this);
            radio->setText(QString::fromUtf8(text));
            StyleTouchControl(radio);
            layout->addWidget(radio);
        }
        layout->addStretch(1);
    }
    bool DoDataExchange(bool save) override
    {
        if (!save) {
            CheckDlgButton(IDC_DAY, !m_settings.night);
            CheckDlgButton(IDC_NIGHT, m_settings.night);
        }
        return true;
    }
    bool OnCommand(int id, int code) override
    {
        if ((id == IDC_DAY || id == IDC_NIGHT) && code == BN_CLICKED) {
            m_settings.night = id == IDC_NIGHT;
            return true;
        }
        return CColorPropertyPage::OnCommand(id, code);
    }

private:
    Settings& m_settings;
};

class SettingsSheet : public CPropertySheetFullScreen {
public:
    explicit SettingsSheet(Settings& s, int pages = 3)
        : CPropertySheetFullScreen(QStringLiteral("Настройки"))
        , map(s)
        , units(s)
        , colours(s)
    {
        AddPage(&map);
        if (pages > 1)
            AddPage(&units);
        if (pages > 2)
            AddPage(&colours);
        for (CColorPropertyPage* page : { static_cast<CColorPropertyPage*>(&map),
                 static_cast<CColorPropertyPage*>(&units), static_cast<CColorPropertyPage*>(&colours) })
            page->SetColors(&m_brush, 0xF0F0F0);
    }
    MapPage map;
    UnitsPage units;
    ColoursPage colours;
    QStringList tabTexts;

protected:
    void InitTabTexts() override
    {
        for (int i = 0; i < GetPageCount(); ++i)
            tabTexts << GetTabControl()->TabBar()->tabText(i);
    }

private:
    QBrush m_brush { QColor(0xF0, 0xF0, 0xF0) };
};

struct RouteAnswers {
    QString name;
    bool backRoute = false;
    int finished = 0;
};

// First page: a name, Next only with one.
class RouteNamePage : public CWizardPage {
public:
    explicit RouteNamePage(RouteAnswers& a)
        : CWizardPage(802)
        , m_answers(a)
    {
    }

protected:
    void CreateControls() override
    {
        QBoxLayout* content = CreateWizardLayout();
        auto* prompt = new QLabel(QStringLiteral("Название нового маршрута:"), this);
        prompt->setWordWrap(true);
        content->addWidget(prompt);
        auto* name = AddControl<QLineEdit>(IDC_ROUTE_NAME, this);
        StyleTouchControl(name);
        content->addWidget(name);
    }
    bool OnInitDialog() override
    {
        CWizardPage::OnInitDialog();
        SetDlgItemText(IDC_WIZARD_TITLE, QStringLiteral("Мастер маршрута: шаг 1 из 2"));
        EnableDlgItem(IDC_WIZARD_BACK, false);
        SetDlgItemText(IDC_ROUTE_NAME, m_answers.name);
        EnableDlgItem(IDC_WIZARD_NEXT, !m_answers.name.isEmpty());
        return true;
    }
    bool OnCommand(int id, int code) override
    {
        if (id == IDC_ROUTE_NAME && code == EN_CHANGE) {
            EnableDlgItem(IDC_WIZARD_NEXT, !GetDlgItemText(IDC_ROUTE_NAME).isEmpty());
            return true;
        }
        if (id == IDC_WIZARD_NEXT && code == BN_CLICKED) {
            m_answers.name = GetDlgItemText(IDC_ROUTE_NAME);
            GetSheet()->SetActivePage(1);
            return true;
        }
        if (id == platform::IDCANCEL && code == BN_CLICKED) {
            GetSheet()->EndDialog(platform::IDCANCEL);
            return true;
        }
        return CWizardPage::OnCommand(id, code);
    }

private:
    RouteAnswers& m_answers;
};

// Second page: Back, and Next that finishes.
class RouteFinishPage : public CWizardPage {
public:
    explicit RouteFinishPage(RouteAnswers& a)
        : CWizardPage(803)
        , m_answers(a)
    {
    }

protected:
    void CreateControls() override
    {
        QBoxLayout* content = CreateWizardLayout();
        auto* back = AddControl<QCheckBox>(IDC_BACK_ROUTE, this);
        back->setText(QStringLiteral("Построить обратный маршрут"));
        StyleTouchControl(back);
        content->addWidget(back);
    }
    bool OnInitDialog() override
    {
        CWizardPage::OnInitDialog();
        SetDlgItemText(IDC_WIZARD_TITLE, QStringLiteral("Мастер маршрута: шаг 2 из 2"));
        if (g_language == LANGUAGE_RUSSIAN)
            SetDlgItemText(IDC_WIZARD_NEXT, QStringLiteral("Готово"));
        return true;
    }
    bool OnCommand(int id, int code) override
    {
        if (code != BN_CLICKED)
            return CWizardPage::OnCommand(id, code);
        switch (id) {
        case IDC_WIZARD_BACK:
            GetSheet()->SetActivePage(0);
            return true;
        case IDC_WIZARD_NEXT:
            m_answers.backRoute = IsDlgButtonChecked(IDC_BACK_ROUTE);
            ++m_answers.finished;
            GetSheet()->EndDialog(platform::IDOK);
            return true;
        case platform::IDCANCEL:
            GetSheet()->EndDialog(platform::IDCANCEL);
            return true;
        default:
            return CWizardPage::OnCommand(id, code);
        }
    }

private:
    RouteAnswers& m_answers;
};

class RouteWizard : public CWizardSheet {
public:
    explicit RouteWizard(RouteAnswers& a)
        : CWizardSheet(QStringLiteral("Мастер-маршрут"))
        , first(a)
        , second(a)
    {
        AddPage(&first);
        AddPage(&second);
    }
    RouteNamePage first;
    RouteFinishPage second;
};

} // namespace sample
