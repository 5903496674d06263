#include "platform/power_status.h"

#include "platform/system_files.h"

#include <QDir>

namespace platform {

namespace {

const QString kPowerSupplies = QStringLiteral("/sys/class/power_supply");

QString SupplyFile(const QString& supply, const char* name)
{
    return ReadSystemFileLine(kPowerSupplies + u'/' + supply + u'/' + QLatin1String(name));
}

// A battery of the system, not one of a mouse or a headset ("scope" Device),
// and one that is in its place.
bool IsSystemBattery(const QString& supply)
{
    return SupplyFile(supply, "type") == u"Battery" && SupplyFile(supply, "scope") != u"Device"
        && SupplyFile(supply, "present") != u"0";
}

} // namespace

bool GetSystemPowerStatus(PowerStatus& status, bool /*update*/)
{
    status = PowerStatus {};
    const QDir folder(SystemFilePath(kPowerSupplies));
    if (!folder.exists())
        return false;
    QString battery;
    for (const QString& supply :
        folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        if (IsSystemBattery(supply)) {
            battery = supply;
            break;
        }
    }
    if (battery.isEmpty()) {
        status.batteryFlag = PowerStatus::BATTERY_NONE;
        return true;
    }
    bool known = false;
    const int capacity = SupplyFile(battery, "capacity").toInt(&known);
    const QString state = SupplyFile(battery, "status");
    uint8_t flag = 0;
    if (known && capacity >= 0 && capacity <= 100) {
        status.batteryLifePercent = static_cast<uint8_t>(capacity);
        if (capacity > 66)
            flag |= PowerStatus::BATTERY_HIGH;
        else if (capacity < 5)
            flag |= PowerStatus::BATTERY_LOW | PowerStatus::BATTERY_CRITICAL;
        else if (capacity < 33)
            flag |= PowerStatus::BATTERY_LOW;
    } else if (state != u"Charging" && state != u"Full") {
        return true; // nothing known: percentage and flag stay unknown
    }
    if (state == u"Charging")
        flag |= PowerStatus::BATTERY_CHARGING;
    else if (state == u"Full")
        flag |= PowerStatus::BATTERY_HIGH;
    status.batteryFlag = flag;
    return true;
}

} // namespace platform
