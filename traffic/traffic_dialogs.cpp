#include "traffic/traffic_dialogs.h"

#include "foundation/app_services.h"
#include "foundation/dialog_templates.h"
#include "foundation/input_panel.h"
#include "foundation/language.h"
#include "platform/message_box.h"
#include "platform/serial_port.h"
#include "settings/settings_record.h"
#include "traffic/gprs_transport.h"
#include "traffic/jam_settings.h"
#include "ui/dialog_style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace {

constexpr int kPortCount = 9; // COM1: to COM9:

template <class T> T* AddStyled(ControlHost& host, int id, QWidget* parent)
{
    auto* control = host.AddControl<T>(id, parent);
    control->setFont(DialogFont());
    StyleTouchControl(control);
    return control;
}

QGroupBox* AddGroup(ControlHost& host, int id, QWidget* parent)
{
    auto* group = host.AddControl<QGroupBox>(id, parent);
    group->setFont(DialogFont());
    return group;
}

QGridLayout* GroupGrid(QGroupBox* group)
{
    auto* grid = new QGridLayout(group);
    const int margin = DialogMargin() / 2;
    grid->setContentsMargins(margin, margin, margin, margin);
    grid->setSpacing(DialogSpacing() / 2);
    return grid;
}

QString PortName(int port) { return QString::asprintf("COM%d:", port); }

} // namespace

std::optional<uint64_t> LeadingNumber(const QString& text, uint64_t most)
{
    uint64_t value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        const uint64_t digit = c.unicode() - u'0';
        if (value > (most - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// The provider account.

CJamServiceDlg::CJamServiceDlg(QWidget* parent)
    : CDialog(GetOrientedDialogId(IDD_JAM_SERVICE), parent)
{
}

void CJamServiceDlg::CreateControls(QWidget* body)
{
    auto* column = new QVBoxLayout(body);
    const int margin = DialogMargin() / 2;
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(DialogSpacing() / 2);
    QGroupBox* account = AddGroup(*this, IDC_JAM_SERVICE_GROUP, body);
    column->addWidget(account);
    QGridLayout* grid = GroupGrid(account);
    const struct {
        int label, edit, maxLength;
    } rows[] = {
        { IDC_JAM_SERVICE_UID_LABEL, IDC_JAM_SERVICE_UID, 20 },
        { IDC_JAM_SERVICE_PIN_LABEL, IDC_JAM_SERVICE_PIN, kJamPinMaxLength },
    };
    int row = 0;
    for (const auto& line : rows) {
        grid->addWidget(AddStyled<QLabel>(*this, line.label, account), row, 0);
        auto* edit = AddStyled<QLineEdit>(*this, line.edit, account);
        edit->setMaxLength(line.maxLength);
        grid->addWidget(edit, row++, 1);
    }
    QGroupBox* advanced = AddGroup(*this, IDC_JAM_SERVICE_ADVANCED_GROUP, account);
    grid->addWidget(advanced, row, 0, 1, 2);
    QGridLayout* inner = GroupGrid(advanced);
    inner->addWidget(AddStyled<QCheckBox>(*this, IDC_JAM_SERVICE_ADVANCED, advanced), 0, 0, 1, 2);
    inner->addWidget(AddStyled<QLabel>(*this, IDC_JAM_SERVICE_HOST_LABEL, advanced), 1, 0);
    auto* host = AddStyled<QLineEdit>(*this, IDC_JAM_SERVICE_HOST, advanced);
    host->setMaxLength(kJamHostMaxLength);
    inner->addWidget(host, 1, 1);
    inner->addWidget(AddStyled<QLabel>(*this, IDC_JAM_SERVICE_PORT_LABEL, advanced), 2, 0);
    auto* port = AddStyled<QLineEdit>(*this, IDC_JAM_SERVICE_PORT, advanced);
    port->setMaxLength(5);
    inner->addWidget(port, 2, 1);
    grid->setColumnStretch(1, 1);
    inner->setColumnStretch(1, 1);
    column->addWidget(AddStyled<QPushButton>(*this, IDC_JAM_SERVICE_RESET, body));
    column->addStretch(1);
    column->addWidget(AddStyled<QPushButton>(*this, platform::IDOK, body));
}

bool CJamServiceDlg::OnInitDialog()
{
    const struct {
        int id;
        const char16_t* en;
        const char16_t* ru;
    } texts[] = {
        { IDC_JAM_SERVICE_GROUP, u"Veltrak jam settings", u"Настройки для пробок от Велтрак" },
        { IDC_JAM_SERVICE_UID_LABEL, u"Subscriber number", u"Номер абонента" },
        { IDC_JAM_SERVICE_PIN_LABEL, u"PIN code", u"PIN код" },
        { IDC_JAM_SERVICE_ADVANCED_GROUP, u"Advanced options", u"Дополнительные опции" },
        { IDC_JAM_SERVICE_ADVANCED, u"Advanced options", u"Дополнительные опции" },
        { IDC_JAM_SERVICE_HOST_LABEL, u"Host address", u"Адрес" },
        { IDC_JAM_SERVICE_PORT_LABEL, u"Port number", u"Номер порта" },
        { IDC_JAM_SERVICE_RESET, u"Reset access code", u"Сбросить пароль доступа" },
        { platform::IDOK, u"Close", u"Закрыть" },
    };
    for (const auto& text : texts)
        SetDlgItemText(text.id, Bilingual(text.en, text.ru));
    setWindowTitle(QStringLiteral("Veltrak jam settings"));
    // The subscriber number is unsigned: shown as such, none as an empty field.
    m_uid = g_jamSettings.uid != 0 ? QString::number(g_jamSettings.uid) : QString();
    m_pin = g_jamSettings.pin;
    m_host = g_jamSettings.host;
    m_port = QString::number(g_jamSettings.port);
    CheckDlgButton(IDC_JAM_SERVICE_ADVANCED, g_jamSettings.defaultServer == 0);
    OnAdvancedClicked();
    return CDialog::OnInitDialog();
}

bool CJamServiceDlg::DoDataExchange(bool save)
{
    const struct {
        int id;
        QString* value;
    } fields[] = {
        { IDC_JAM_SERVICE_PIN, &m_pin },
        { IDC_JAM_SERVICE_HOST, &m_host },
        { IDC_JAM_SERVICE_PORT, &m_port },
        { IDC_JAM_SERVICE_UID, &m_uid },
    };
    for (const auto& field : fields) {
        if (save)
            *field.value = GetDlgItemText(field.id);
        else
            SetDlgItemText(field.id, *field.value);
    }
    return true;
}

void CJamServiceDlg::Refuse(int id, const QString& english, const QString& russian)
{
    AppMessageBox(this, Bilingual(english, russian), QStringLiteral("Travenor Pro"),
        platform::MB_OK | platform::MB_ICONEXCLAMATION);
    FocusDlgItem(id);
}

void CJamServiceDlg::OnOK()
{
    UpdateData(true);
    const std::optional<uint64_t> uid = LeadingNumber(m_uid, std::numeric_limits<uint64_t>::max());
    if (!uid) {
        Refuse(IDC_JAM_SERVICE_UID, QStringLiteral("The subscriber number is too large."),
            QStringLiteral("Слишком большой номер абонента."));
        return;
    }
    const std::optional<uint64_t> port = LeadingNumber(m_port, 65535);
    if (!port) {
        Refuse(IDC_JAM_SERVICE_PORT, QStringLiteral("The port number must be at most 65535."),
            QStringLiteral("Номер порта должен быть не больше 65535."));
        return;
    }
    if (m_pin.size() > kJamPinMaxLength) {
        Refuse(IDC_JAM_SERVICE_PIN, QStringLiteral("The PIN code has more than 40 characters."),
            QStringLiteral("PIN код длиннее 40 символов."));
        return;
    }
    if (m_host.size() > kJamHostMaxLength) {
        Refuse(IDC_JAM_SERVICE_HOST, QStringLiteral("The host address has more than 255 characters."),
            QStringLiteral("Адрес длиннее 255 символов."));
        return;
    }
    g_jamSettings.uid = *uid;
    g_jamSettings.pin = m_pin;
    g_jamSettings.host = m_host;
    g_jamSettings.port = static_cast<uint16_t>(*port);
    g_jamSettings.defaultServer = IsDlgButtonChecked(IDC_JAM_SERVICE_ADVANCED) ? 0 : 1;
    EndDialog(platform::IDOK);
}

void CJamServiceDlg::OnAdvancedClicked()
{
    const bool on = IsDlgButtonChecked(IDC_JAM_SERVICE_ADVANCED);
    for (const int id : { IDC_JAM_SERVICE_HOST_LABEL, IDC_JAM_SERVICE_HOST, IDC_JAM_SERVICE_PORT_LABEL,
             IDC_JAM_SERVICE_PORT })
        EnableDlgItem(id, on);
}

void CJamServiceDlg::OnResetAccessCode()
{
    const QString question = Bilingual(u"Are you sure you want to reset the access code?\n"
                                       u"After resetting the access code in Travenor Pro, call the "
                                       u"provider's subscriber service to reset it on the server too: "
                                       u"otherwise jams will not load.",
        u"Вы уверены, что хотите сбросить пароль доступа?\n"
        u"После сброса пароля доступа в Travenor Pro позвоните в абонентскую службу поставщика, чтобы "
        u"сбросить его и на сервере: иначе пробки загружаться не будут.");
    if (AppMessageBox(this, question, Bilingual(u"Confirm", u"Подтвердите"),
            platform::MB_YESNO | platform::MB_ICONQUESTION)
        == platform::IDYES)
        QFile::remove(ProviderIdentifierPath());
}

bool CJamServiceDlg::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_JAM_SERVICE_UID:
    case IDC_JAM_SERVICE_PIN:
    case IDC_JAM_SERVICE_HOST:
    case IDC_JAM_SERVICE_PORT:
        if (code == EN_SETFOCUS)
            ShowInputPanel(true);
        return true;
    case IDC_JAM_SERVICE_ADVANCED:
        if (code == BN_CLICKED)
            OnAdvancedClicked();
        return true;
    case IDC_JAM_SERVICE_RESET:
        if (code == BN_CLICKED)
            OnResetAccessCode();
        return true;
    default:
        return CDialog::OnCommand(id, code);
    }
}

// The serial traffic receiver.

CRozModuleDlg::CRozModuleDlg(QWidget* parent)
    : CDialog(GetOrientedDialogId(IDD_ROZ_MODULE), parent)
{
}

void CRozModuleDlg::CreateControls(QWidget* body)
{
    auto* column = new QVBoxLayout(body);
    const int margin = DialogMargin() / 2;
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(DialogSpacing() / 2);
    column->addWidget(AddStyled<QCheckBox>(*this, IDC_ROZ_USE, body));
    QGroupBox* group = AddGroup(*this, IDC_ROZ_PORT_GROUP, body);
    column->addWidget(group);
    QGridLayout* grid = GroupGrid(group);
    grid->addWidget(AddStyled<QComboBox>(*this, IDC_ROZ_PORT, group), 0, 0, 1, 2);
    grid->addWidget(AddStyled<QLabel>(*this, IDC_ROZ_STATUS_LABEL, group), 1, 0, Qt::AlignTop);
    auto* status = AddStyled<QLabel>(*this, IDC_ROZ_STATUS, group);
    status->setWordWrap(true);
    grid->addWidget(status, 1, 1);
    grid->setColumnStretch(1, 1);
    column->addStretch(1);
    column->addWidget(AddStyled<QPushButton>(*this, platform::IDOK, body));
}

bool CRozModuleDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_ROZ_USE, Bilingual(u"Use ROZ module", u"Использовать модуль DIZ"));
    SetDlgItemText(
        IDC_ROZ_PORT_GROUP, Bilingual(u"Com-port number of ROZ module", u"Номер COM-порта модуля DIZ"));
    SetDlgItemText(IDC_ROZ_STATUS_LABEL, Bilingual(u"Status:", u"Статус:"));
    SetDlgItemText(platform::IDOK, Bilingual(u"Close", u"Закрыть"));
    setWindowTitle(QStringLiteral("Veltrak ROZ Jam Settings"));
    auto* ports = GetDlgItemAs<QComboBox>(IDC_ROZ_PORT);
    {
        const QSignalBlocker quiet(ports);
        for (int port = 1; port <= kPortCount; ++port)
            ports->addItem(PortName(port));
        // A port the list does not offer shows none.
        const int stored = g_jamSettings.comPort;
        ports->setCurrentIndex(stored >= 1 && stored <= kPortCount ? stored - 1 : -1);
    }
    m_heldPort = g_jamSettings.comPort;
    CheckDlgButton(IDC_ROZ_USE, g_jamSettings.receiverEnabled != 0);
    OnUseRozClicked();
    return true;
}

void CRozModuleDlg::OnUseRozClicked()
{
    const bool on = IsDlgButtonChecked(IDC_ROZ_USE);
    g_jamSettings.receiverEnabled = on ? 1 : 0;
    EnableDlgItem(IDC_ROZ_PORT, on);
    UpdateStatus();
}

void CRozModuleDlg::UpdateStatus()
{
    QString status;
    const int index = GetCurSel(IDC_ROZ_PORT);
    if (!IsDlgButtonChecked(IDC_ROZ_USE)) {
        status = Bilingual(u"ROZ module is\nswitched off", u"Модуль DIZ\nотключен");
    } else if (index < 0) {
        status = QString();
    } else if (const int port = index + 1; port == g_gpsSourceNumber.load()) {
        status = Bilingual(u"GPS receiver", u"GPS приемник");
    } else if (port == m_heldPort) {
        status = Bilingual(u"available", u"доступен");
    } else {
        // Opened and closed at once, the line left as it is.
        platform::SerialPort probe;
        const bool free = probe.Open(PortName(port), 0, true);
        status = free ? Bilingual(u"available", u"доступен") : Bilingual(u"unavailable", u"недоступен");
    }
    SetDlgItemText(IDC_ROZ_STATUS, status);
}

void CRozModuleDlg::Store()
{
    g_jamSettings.receiverEnabled = IsDlgButtonChecked(IDC_ROZ_USE) ? 1 : 0;
    if (const int index = GetCurSel(IDC_ROZ_PORT); index >= 0)
        g_jamSettings.comPort = static_cast<uint16_t>(index + 1);
}

void CRozModuleDlg::OnOK()
{
    Store();
    EndDialog(platform::IDOK);
}

void CRozModuleDlg::OnCancel()
{
    Store();
    CDialog::OnCancel();
}

bool CRozModuleDlg::OnCommand(int id, int code)
{
    if (id == IDC_ROZ_PORT && code == CBN_SELCHANGE) {
        UpdateStatus();
        return true;
    }
    if (id == IDC_ROZ_USE && code == BN_CLICKED) {
        OnUseRozClicked();
        return true;
    }
    return CDialog::OnCommand(id, code);
}
