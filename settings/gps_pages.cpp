#include "settings/gps_pages.h"

#include "foundation/app_services.h"
#include "foundation/language.h"
#include "gps/gps_fix.h"
#include "gps/gps_source.h"
#include "gps/gps_source_names.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "settings/settings_page_layout.h"
#include "settings/settings_pages.h"
#include "settings/settings_record.h"
#include "ui/property_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using namespace settings_layout;

namespace {

const int kSpeeds[] = { 4800, 9600, 14400, 19200, 38400, 57600, 115200 };
const double kFactors[] = { 0.25, 0.5, 1.0, 2.0, 4.0 };
const char* const kFactorTexts[] = { "0.25", "0.5", "1", "2", "4" };

void CantOpenFile()
{
    AppMessageBoxText(Bilingual(u"Can't open the file.", u"Невозможно открыть файл."), platform::MB_OK);
}

bool ReplayRunning(int32_t state) { return state == GPS_PORT_REPLAY || state == GPS_PORT_REPLAY_LOG; }

} // namespace

// Where the GPS data comes from.

CPageGpsSettings::CPageGpsSettings()
    : CPropertyPage(IDD_PAGE_GPS_SETTINGS)
{
}

void CPageGpsSettings::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* group = AddGroup(*this, IDC_GPS_GROUP, this, column);
    auto* grid = new QGridLayout;
    grid->setSpacing(DialogSpacing());
    group->addLayout(grid);
    const struct {
        int label, list;
    } rows[] = {
        { IDC_GPS_MODEL_LABEL, IDC_GPS_MODEL },
        { IDC_GPS_PORT_LABEL, IDC_GPS_PORT },
        { IDC_GPS_SPEED_LABEL, IDC_GPS_SPEED },
    };
    int row = 0;
    for (const auto& r : rows) {
        grid->addWidget(AddControl<QLabel>(r.label, this), row, 0);
        auto* list = AddControl<QComboBox>(r.list, this);
        StyleTouchControl(list);
        list->setMinimumContentsLength(6);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        grid->addWidget(list, row++, 1);
    }
    grid->setColumnStretch(1, 1);
    Add<QPushButton>(*this, IDC_GPS_RESET, this, group);
    column->addStretch(1);
}

bool CPageGpsSettings::OnInitDialog()
{
    QComboBox* ports = Combo(*this, IDC_GPS_PORT);
    const auto addPort = [ports](int32_t source) {
        QString name;
        if (!GetGpsSourceName(source, &name))
            name = source == GPS_SOURCE_NONE ? QStringLiteral("None") : QString();
        ports->addItem(name, source);
    };
    addPort(GPS_SOURCE_NONE);
    for (int32_t com = 0; com <= 9; ++com)
        addPort(com);
    if (g_bExpertMode)
        addPort(GPS_SOURCE_REPLAY);
    addPort(GPS_SOURCE_DRIVER);
    for (const int speed : kSpeeds)
        Combo(*this, IDC_GPS_SPEED)->addItem(QString::number(speed));
    QComboBox* models = Combo(*this, IDC_GPS_MODEL);
    for (const GpsDeviceModel& model : GpsDeviceModels())
        models->addItem(QString::fromUtf8(model.name), model.code);

    m_lastPort = m_lastSpeed = -1;
    const int row = models->findData(g_deviceModel.load());
    if (row >= 0) {
        SetCurSel(IDC_GPS_MODEL, row);
        ApplyModel();
        EnableByModel();
    } else {
        // A model this program does not list: what is in force stays, shown
        // in the lists, which the user unlocks with "Manual settings".
        SetCurSel(IDC_GPS_MODEL, -1);
        EnableDlgItem(IDC_GPS_PORT, false);
        EnableDlgItem(IDC_GPS_SPEED, false);
        SelectPortAndSpeed(g_gpsSourceNumber, g_gpsBaudRate);
        EnableDlgItem(IDC_GPS_RESET, true);
    }
    SetDlgItemText(IDC_GPS_GROUP, Bilingual(u"GPS receiver settings", u"Настройки GPS приемника"));
    SetDlgItemText(IDC_GPS_MODEL_LABEL, Bilingual(u"PDA", u"КПК"));
    SetDlgItemText(IDC_GPS_PORT_LABEL, Bilingual(u"Port", u"Порт"));
    SetDlgItemText(IDC_GPS_SPEED_LABEL, Bilingual(u"Speed", u"Скорость"));
    SetDlgItemText(IDC_GPS_RESET, Bilingual(u"Reset connection", u"Переподключить GPS"));
    return true;
}

int32_t CPageGpsSettings::PortSource(int index) const
{
    QComboBox* ports = Combo(*this, IDC_GPS_PORT);
    return index >= 0 && index < ports->count() ? ports->itemData(index).toInt() : -1;
}

bool CPageGpsSettings::SelectPortAndSpeed(int32_t source, int32_t baud)
{
    const int port = Combo(*this, IDC_GPS_PORT)->findData(source);
    const int speed = Combo(*this, IDC_GPS_SPEED)->findText(QString::number(baud), Qt::MatchExactly);
    SetCurSel(IDC_GPS_PORT, port);
    SetCurSel(IDC_GPS_SPEED, speed);
    return port >= 0 && speed >= 0;
}

void CPageGpsSettings::StoreShownChoice()
{
    const int32_t source = PortSource(GetCurSel(IDC_GPS_PORT));
    if (source >= 0)
        g_gpsSourceNumber = source;
    const int speed = GetCurSel(IDC_GPS_SPEED);
    if (speed >= 0)
        g_gpsBaudRate = GetDlgItemText(IDC_GPS_SPEED).toInt();
}

void CPageGpsSettings::ApplyModel()
{
    const int row = GetCurSel(IDC_GPS_MODEL);
    if (row < 0)
        return;
    g_deviceModel = Combo(*this, IDC_GPS_MODEL)->itemData(row).toInt();
    EnableDlgItem(IDC_GPS_PORT, false);
    EnableDlgItem(IDC_GPS_SPEED, false);
    int32_t source = g_manualGpsPort;
    int32_t baud = g_manualGpsBaudRate;
    GetDefaultGpsPortForDevice(&source, &baud);
    SelectPortAndSpeed(source, baud);
    StoreShownChoice();
}

void CPageGpsSettings::EnableByModel()
{
    const int row = GetCurSel(IDC_GPS_MODEL);
    if (row < 0)
        return;
    if (Combo(*this, IDC_GPS_MODEL)->itemData(row).toInt() != 0) {
        EnableDlgItem(IDC_GPS_RESET, true);
        return;
    }
    EnableDlgItem(IDC_GPS_PORT, true);
    const int32_t source = PortSource(GetCurSel(IDC_GPS_PORT));
    const bool com = source >= 0 && source <= 9;
    EnableDlgItem(IDC_GPS_SPEED, com);
    EnableDlgItem(IDC_GPS_RESET, com);
}

bool CPageGpsSettings::ReopenGpsSource()
{
    StoreShownChoice();
    const int32_t source = g_gpsSourceNumber;
    if (source == GPS_SOURCE_REPLAY) {
        // The replay starts from its own page.
        g_gpsSource->Close();
        return true;
    }
    const int32_t state = g_gpsSource->GetPortState();
    CGpsFix kept;
    {
        platform::CSLock lock(g_gpsFixLock);
        kept = g_gpsFix;
    }
    // The GPS driver is opened by its port name with the line as it is, as
    // every other opening of it does.
    if (!g_gpsSource->OpenPort(source, g_gpsBaudRate))
        return false;
    {
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix = kept;
    }
    if (state == GPS_PORT_SERIAL_LOG)
        g_gpsSource->StartLog();
    return true;
}

void CPageGpsSettings::OnModelChanged()
{
    ApplyModel();
    EnableByModel();
    m_lastPort = GetCurSel(IDC_GPS_PORT);
    m_lastSpeed = GetCurSel(IDC_GPS_SPEED);
    ReopenGpsSource();
}

void CPageGpsSettings::OnPortChanged()
{
    const int index = GetCurSel(IDC_GPS_PORT);
    if (index == m_lastPort)
        return;
    m_lastPort = index;
    const int32_t source = PortSource(index);
    if (source < 0)
        return;
    const bool com = source <= 9;
    const bool live = source != GPS_SOURCE_NONE && source != GPS_SOURCE_REPLAY;
    EnableDlgItem(IDC_GPS_SPEED, live);
    EnableDlgItem(IDC_GPS_RESET, live);
    if (!com) {
        // Stored; the source follows on "Reset connection" or the next opening.
        g_gpsSourceNumber = source;
        g_manualGpsPort = source;
        if (source == GPS_SOURCE_REPLAY)
            g_gpsSource->Close();
        return;
    }
    ReopenGpsSource();
    if (IsDlgItemEnabled(IDC_GPS_PORT))
        g_manualGpsPort = g_gpsSourceNumber.load();
}

void CPageGpsSettings::OnSpeedChanged()
{
    const int index = GetCurSel(IDC_GPS_SPEED);
    if (index == m_lastSpeed)
        return;
    m_lastSpeed = index;
    ReopenGpsSource();
    if (IsDlgItemEnabled(IDC_GPS_SPEED))
        g_manualGpsBaudRate = g_gpsBaudRate.load();
}

void CPageGpsSettings::OnResetConnection()
{
    ReopenGpsSource();
    OnOK();
    if (CPropertySheet* sheet = GetSheet())
        sheet->EndDialog(kSheetResultFollowUp);
}

bool CPageGpsSettings::OnCommand(int id, int code)
{
    if (code == CBN_SELCHANGE) {
        switch (id) {
        case IDC_GPS_MODEL:
            OnModelChanged();
            return true;
        case IDC_GPS_PORT:
            OnPortChanged();
            return true;
        case IDC_GPS_SPEED:
            OnSpeedChanged();
            return true;
        default:
            break;
        }
    }
    if (code == BN_CLICKED && id == IDC_GPS_RESET) {
        OnResetConnection();
        return true;
    }
    return CPropertyPage::OnCommand(id, code);
}

// The replay of an NMEA log.

CPageNmeaRead::CPageNmeaRead()
    : CPropertyPage(IDD_PAGE_NMEA_READ)
{
}

void CPageNmeaRead::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* read = AddGroup(*this, IDC_NMEA_READ_GROUP, this, column);
    auto* by = AddControl<QLabel>(IDC_NMEA_READ_BY, this);
    by->setWordWrap(true);
    read->addWidget(by);
    QHBoxLayout* factor = AddRow(read);
    Add<QComboBox>(*this, IDC_NMEA_FACTOR, this, factor);
    auto* faster = AddControl<QLabel>(IDC_NMEA_FASTER, this);
    faster->setWordWrap(true);
    factor->addWidget(faster, 1);
    Add<CWrapCheckBox>(*this, IDC_NMEA_LOOP, this, read);
    Add<CWrapCheckBox>(*this, IDC_NMEA_REVERSE, this, read);
    QVBoxLayout* file = AddGroup(*this, IDC_NMEA_READ_FILE_GROUP, this, column);
    auto* name = AddControl<QLabel>(IDC_NMEA_READ_FILE, this);
    name->setWordWrap(true);
    file->addWidget(name);
    QHBoxLayout* select = AddRow(file);
    Add<QPushButton>(*this, IDC_NMEA_READ_SELECT, this, select);
    select->addStretch(1);
    QHBoxLayout* buttons = AddRow(file);
    Add<QPushButton>(*this, IDC_NMEA_START, this, buttons);
    Add<QPushButton>(*this, IDC_NMEA_STOP, this, buttons);
    column->addStretch(1);
}

bool CPageNmeaRead::OnInitDialog()
{
    int32_t reverse = 0, loop = 0, reserved = 0;
    double factor = 1.0;
    g_gpsSource->GetReplayOptions(&reverse, &loop, &factor, &reserved);
    QComboBox* factors = Combo(*this, IDC_NMEA_FACTOR);
    for (const char* text : kFactorTexts)
        factors->addItem(QString::fromLatin1(text));
    int selected = -1;
    if (factor == 0.25)
        selected = 0;
    else if (factor == 0.5)
        selected = 1;
    else if (factor >= 1.0 && factor < 1e9)
        selected = factors->findText(QString::number(static_cast<int64_t>(factor)), Qt::MatchExactly);
    SetCurSel(IDC_NMEA_FACTOR, selected);
    return true;
}

bool CPageNmeaRead::OnSetActive()
{
    SetDlgItemText(IDC_NMEA_READ_GROUP, Bilingual(u"Read", u"Читать"));
    SetDlgItemText(IDC_NMEA_READ_BY, Bilingual(u"Read from NMEA file by", u"Читать из NMEA файла в"));
    SetDlgItemText(IDC_NMEA_FASTER, Bilingual(u"times faster", u"раз(а) быстрее"));
    SetDlgItemText(IDC_NMEA_LOOP, Bilingual(u"Loop", u"Цикл"));
    SetDlgItemText(IDC_NMEA_REVERSE,
        Bilingual(u"Read from end of the file (reverse)", u"Читать с конца файла (реверс)"));
    SetDlgItemText(
        IDC_NMEA_READ_FILE_GROUP, Bilingual(u"Chosen file for reading", u"Выбранный для чтения файл"));
    SetDlgItemText(IDC_NMEA_READ_SELECT, Bilingual(u"Select...", u"Выбрать..."));
    SetDlgItemText(IDC_NMEA_START, Bilingual(u"Start->", u"Старт->"));
    SetDlgItemText(IDC_NMEA_STOP, Bilingual(u"Stop", u"Стоп"));
    Refresh();
    return CPropertyPage::OnSetActive();
}

void CPageNmeaRead::Refresh()
{
    int32_t reverse = 0, loop = 0, reserved = 0;
    double factor = 1.0;
    g_gpsSource->GetReplayOptions(&reverse, &loop, &factor, &reserved);
    CheckDlgButton(IDC_NMEA_REVERSE, reverse != 0);
    CheckDlgButton(IDC_NMEA_LOOP, loop != 0);
    const bool replay = g_gpsSourceNumber == GPS_SOURCE_REPLAY;
    for (const int id :
        { IDC_NMEA_FACTOR, IDC_NMEA_REVERSE, IDC_NMEA_LOOP, IDC_NMEA_READ_SELECT, IDC_NMEA_START,
            IDC_NMEA_STOP, IDC_NMEA_READ_GROUP, IDC_NMEA_READ_FILE_GROUP, IDC_NMEA_READ_BY, IDC_NMEA_FASTER })
        EnableDlgItem(id, replay);
    if (replay) {
        const bool usable = g_gpsSource->HasReplayFile();
        const bool running = ReplayRunning(g_gpsSource->GetPortState());
        EnableDlgItem(IDC_NMEA_START, usable && !running);
        EnableDlgItem(IDC_NMEA_STOP, usable && running);
    }
    SetDlgItemText(IDC_NMEA_READ_FILE, g_gpsSource->GetReplayFileName());
}

void CPageNmeaRead::OnFactorChanged()
{
    int32_t reverse = 0, loop = 0, reserved = 0;
    double factor = 1.0;
    g_gpsSource->GetReplayOptions(&reverse, &loop, &factor, &reserved);
    const int index = GetCurSel(IDC_NMEA_FACTOR);
    if (index >= 0 && index < int(std::size(kFactors)))
        factor = kFactors[index];
    g_gpsSource->SetReplayOptions(reverse, loop, factor, reserved);
}

void CPageNmeaRead::OnFlagClicked(int id)
{
    int32_t reverse = 0, loop = 0, reserved = 0;
    double factor = 1.0;
    g_gpsSource->GetReplayOptions(&reverse, &loop, &factor, &reserved);
    const int32_t checked = IsDlgButtonChecked(id) ? 1 : 0;
    if (id == IDC_NMEA_LOOP)
        loop = checked;
    else
        reverse = checked;
    g_gpsSource->SetReplayOptions(reverse, loop, factor, reserved);
}

void CPageNmeaRead::OnSelect()
{
    platform::FileDialogRequest request;
    request.open = true;
    request.defaultExt = QStringLiteral("nm");
    request.fileName = QStringLiteral("*.nm");
    request.flags = platform::OFN_FILEMUSTEXIST;
    request.filter = QStringLiteral("nm-Files (*.nm) | *.nm | All Files (*.*) | *.* ||");
    if (const std::optional<QString> chosen = platform::ShowFileDialog(this, request)) {
        if (!g_gpsSource->SetReplayFileName(*chosen))
            CantOpenFile();
    }
    Refresh();
}

void CPageNmeaRead::OnStart()
{
    if (g_gpsSource->StartReplay()) {
        Refresh();
        OnOK();
        return;
    }
    AppMessageBoxText(
        Bilingual(u"Can't read from the file.", u"Невозможно читать из файла."), platform::MB_OK);
    Refresh();
}

void CPageNmeaRead::OnStop()
{
    if (ReplayRunning(g_gpsSource->GetPortState()))
        g_gpsSource->Close();
    Refresh();
}

bool CPageNmeaRead::OnCommand(int id, int code)
{
    if (code == CBN_SELCHANGE && id == IDC_NMEA_FACTOR) {
        OnFactorChanged();
        return true;
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_NMEA_LOOP:
        case IDC_NMEA_REVERSE:
            OnFlagClicked(id);
            return true;
        case IDC_NMEA_READ_SELECT:
            OnSelect();
            return true;
        case IDC_NMEA_START:
            OnStart();
            return true;
        case IDC_NMEA_STOP:
            OnStop();
            return true;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(id, code);
}

// The NMEA log.

CPageNmeaWrite::CPageNmeaWrite()
    : CPropertyPage(IDD_PAGE_NMEA_WRITE)
{
}

void CPageNmeaWrite::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    QVBoxLayout* write = AddGroup(*this, IDC_NMEA_WRITE_GROUP, this, column);
    Add<CWrapCheckBox>(*this, IDC_NMEA_WRITE_ON, this, write);
    QVBoxLayout* file = AddGroup(*this, IDC_NMEA_WRITE_FILE_GROUP, this, column);
    auto* name = AddControl<QLabel>(IDC_NMEA_WRITE_FILE, this);
    name->setWordWrap(true);
    file->addWidget(name);
    QHBoxLayout* buttons = AddRow(file);
    Add<QPushButton>(*this, IDC_NMEA_WRITE_SELECT, this, buttons);
    buttons->addStretch(1);
    column->addStretch(1);
}

bool CPageNmeaWrite::OnInitDialog()
{
    SetDlgItemText(IDC_NMEA_WRITE_GROUP, Bilingual(u"Write", u"Писать"));
    SetDlgItemText(IDC_NMEA_WRITE_ON, Bilingual(u"On", u"Вкл."));
    SetDlgItemText(IDC_NMEA_WRITE_SELECT, Bilingual(u"Select...", u"Выбрать..."));
    SetDlgItemText(
        IDC_NMEA_WRITE_FILE_GROUP, Bilingual(u"Chosen file for writing", u"Выбранный для записи файл"));
    Refresh();
    return true;
}

void CPageNmeaWrite::Refresh()
{
    const int32_t state = g_gpsSource->GetPortState();
    CheckDlgButton(IDC_NMEA_WRITE_ON, state == GPS_PORT_SERIAL_LOG || state == GPS_PORT_REPLAY_LOG);
    SetDlgItemText(IDC_NMEA_WRITE_FILE, g_gpsSource->GetLogFileName());
}

void CPageNmeaWrite::OnSelect()
{
    platform::FileDialogRequest request;
    request.open = false;
    request.defaultExt = QStringLiteral("nm");
    request.fileName = g_gpsSource->GetLogFileName();
    request.filter = QStringLiteral("nm-Files (*.nm) | *.nm ||");
    if (const std::optional<QString> chosen = platform::ShowFileDialog(this, request)) {
        if (!g_gpsSource->SetLogFileName(*chosen))
            CantOpenFile();
    }
    Refresh();
}

void CPageNmeaWrite::OnLogClicked()
{
    if (!IsDlgButtonChecked(IDC_NMEA_WRITE_ON)) {
        g_gpsSource->StopLog();
        return;
    }
    if (!g_gpsSource->StartLog()) {
        AppMessageBoxText(
            Bilingual(u"Can't write to the file.", u"Невозможно писать в файл."), platform::MB_OK);
        g_gpsSource->StopLog();
        CheckDlgButton(IDC_NMEA_WRITE_ON, false);
    }
}

bool CPageNmeaWrite::OnCommand(int id, int code)
{
    if (code == BN_CLICKED) {
        if (id == IDC_NMEA_WRITE_SELECT) {
            OnSelect();
            return true;
        }
        if (id == IDC_NMEA_WRITE_ON) {
            OnLogClicked();
            return true;
        }
    }
    return CPropertyPage::OnCommand(id, code);
}
