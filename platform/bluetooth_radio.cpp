#include "platform/bluetooth_radio.h"

#include "platform/system_files.h"
#include "platform/unique_fd.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <linux/rfkill.h>
#include <unistd.h>

namespace platform {

namespace {

const QString kRfkillClass = QStringLiteral("/sys/class/rfkill");

// The sysfs folders (as absolute system paths) of the Bluetooth rfkill devices.
QStringList BluetoothDevices()
{
    QStringList devices;
    const QDir folder(SystemFilePath(kRfkillClass));
    for (const QString& name :
        folder.entryList({ QStringLiteral("rfkill*") }, QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString device = kRfkillClass + u'/' + name;
        if (ReadSystemFileLine(device + QStringLiteral("/type")) == QLatin1String("bluetooth"))
            devices << device;
    }
    return devices;
}

// Blocks or unblocks every Bluetooth device with one rfkill event.
bool WriteRfkillEvent(bool block)
{
    const UniqueFd rfkill(::open(
        SystemFilePath(QStringLiteral("/dev/rfkill")).toLocal8Bit().constData(), O_WRONLY | O_CLOEXEC));
    if (!rfkill)
        return false;
    rfkill_event event {};
    event.type = RFKILL_TYPE_BLUETOOTH;
    event.op = RFKILL_OP_CHANGE_ALL;
    event.soft = block ? 1 : 0;
    ssize_t written = -1;
    do
        written = ::write(rfkill.Get(), &event, RFKILL_EVENT_SIZE_V1);
    while (written < 0 && errno == EINTR);
    return written == RFKILL_EVENT_SIZE_V1;
}

} // namespace

bool RfkillBluetoothRadio::HasRadio() { return !BluetoothDevices().isEmpty(); }

bool RfkillBluetoothRadio::GetMode(int* mode)
{
    const QStringList devices = BluetoothDevices();
    if (devices.isEmpty())
        return false;
    bool on = false;
    for (const QString& device : devices) {
        const QString soft = ReadSystemFileLine(device + QStringLiteral("/soft"));
        const QString hard = ReadSystemFileLine(device + QStringLiteral("/hard"));
        if (soft.isEmpty())
            return false;
        on = on || (soft == QLatin1String("0") && hard != QLatin1String("1"));
    }
    *mode = on ? 1 : 0;
    return true;
}

bool RfkillBluetoothRadio::SetMode(int mode)
{
    const QStringList devices = BluetoothDevices();
    if (devices.isEmpty())
        return false;
    const bool block = mode != 1;
    if (!WriteRfkillEvent(block)) {
        for (const QString& device : devices) {
            QFile soft(SystemFilePath(device + QStringLiteral("/soft")));
            if (!soft.open(QIODevice::WriteOnly) || soft.write(block ? "1" : "0") != 1)
                return false;
        }
    }
    // A radio held off by its hardware switch does not come on: that is no success.
    int now = -1;
    return GetMode(&now) && now == (block ? 0 : 1);
}

} // namespace platform
