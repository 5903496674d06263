#include "gps/bluetooth_control.h"

#include "platform/registry.h"

namespace {

const QString kSavedStateValue = QStringLiteral("BT_State");
const QString kAutoBtValue = QStringLiteral("AutoBT");

bool OpenApplicationKey(platform::RegKey* key)
{
    return platform::registry().Open(platform::RegRoot::HKCU, QString::fromLatin1(kApplicationKey), key)
        == platform::RegResult::Ok;
}

// The Widcomm stack's console window, which never exists on Linux.
bool SendToWidcommConsole(int /*command*/) { return false; }

} // namespace

CBluetoothControl::CBluetoothControl(bool autoOn, std::unique_ptr<platform::BluetoothRadio> radio)
    : m_autoOn(autoOn)
    , m_radio(radio ? std::move(radio) : std::make_unique<platform::RfkillBluetoothRadio>())
{
    platform::RegKey widcomm;
    m_stackType
        = platform::registry().Open(platform::RegRoot::HKLM, QStringLiteral("Software\\Widcomm"), &widcomm)
            == platform::RegResult::Ok
        ? STACK_WIDCOMM
        : STACK_PLATFORM;
    if (!m_autoOn)
        return;
    if (!LoadSavedState()) {
        if (!QueryRadio())
            return; // the radio's state is unknown: it is left alone
        StoreSavedState();
    }
    SwitchOn();
}

CBluetoothControl::~CBluetoothControl()
{
    if (!m_autoOn)
        return;
    if (m_savedState != STATE_UNKNOWN)
        SetRadio(m_savedState);
    DeleteSavedState();
}

bool CBluetoothControl::LoadSavedState()
{
    platform::RegKey key;
    uint32_t value = 0;
    if (!OpenApplicationKey(&key) || key.QueryDword(kSavedStateValue, &value) != platform::RegResult::Ok)
        return false;
    m_savedState = value == 1 ? STATE_ON : STATE_OFF;
    return true;
}

bool CBluetoothControl::StoreSavedState()
{
    platform::RegKey key;
    return OpenApplicationKey(&key)
        && key.SetDword(kSavedStateValue, m_radioState == STATE_ON ? 1 : 0) == platform::RegResult::Ok;
}

bool CBluetoothControl::QueryRadio()
{
    int mode = 0;
    if (m_stackType == STACK_WIDCOMM) {
        platform::RegKey key;
        uint32_t stackMode = 0;
        if (platform::registry().Open(
                platform::RegRoot::HKLM, QStringLiteral("SOFTWARE\\Widcomm\\BtConfig\\General"), &key)
                != platform::RegResult::Ok
            || key.QueryDword(QStringLiteral("StackMode"), &stackMode) != platform::RegResult::Ok)
            return false;
        mode = stackMode != 0 ? 1 : 0;
    } else if (!m_radio->GetMode(&mode)) {
        return false;
    }
    m_radioState = m_savedState = mode != 0 ? STATE_ON : STATE_OFF;
    return true;
}

bool CBluetoothControl::SwitchOn()
{
    if (m_stackType == STACK_WIDCOMM)
        return SendToWidcommConsole(4098);
    if (!m_radio->SetMode(1))
        return false;
    m_radioState = STATE_ON;
    return true;
}

bool CBluetoothControl::SetRadio(int32_t state)
{
    if (m_stackType == STACK_WIDCOMM)
        return SendToWidcommConsole(state == STATE_ON ? 4098 : 4097);
    if (!m_radio->SetMode(state == STATE_ON ? 1 : 0))
        return false;
    m_radioState = state;
    return true;
}

void CBluetoothControl::DeleteSavedState()
{
    platform::RegKey key;
    if (OpenApplicationKey(&key))
        key.DeleteValue(kSavedStateValue);
}

bool IsBluetoothDriverActive(platform::BluetoothRadio* radio)
{
    if (radio)
        return radio->HasRadio();
    platform::RfkillBluetoothRadio rfkill;
    return rfkill.HasRadio();
}

bool LoadAutoBtSetting(platform::BluetoothRadio* radio)
{
    platform::RegKey key;
    if (!OpenApplicationKey(&key))
        return false;
    uint32_t value = 0;
    if (key.QueryDword(kAutoBtValue, &value) == platform::RegResult::Ok) {
        m_autoBluetooth = static_cast<int32_t>(value);
    } else if (IsBluetoothDriverActive(radio)) {
        key.SetDword(kAutoBtValue, 1);
        m_autoBluetooth = 1;
    } else {
        m_autoBluetooth = 2;
    }
    return true;
}

bool SaveAutoBtSetting()
{
    platform::RegKey key;
    return OpenApplicationKey(&key)
        && key.SetDword(kAutoBtValue, static_cast<uint32_t>(m_autoBluetooth.load()))
        == platform::RegResult::Ok;
}
