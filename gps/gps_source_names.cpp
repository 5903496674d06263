#include "gps/gps_source_names.h"

#include "foundation/language.h"
#include "platform/system_files.h"
#include "settings/settings_record.h"

namespace {

// clang-format off
constexpr GpsDeviceModel kModels[] = {
    { 0, "Manual settings", -1, -1 },
    { 1, "Wayhollow WH-168/169", 2, 4800 },
    { 3, "Wayhollow WH-A201", 2, 4800 },
    { 4, "Wayhollow WH-P550", 2, 4800 },
    { 2, "Wayhollow WH-336BT", 8, 4800 },
    { 10, "Wayhollow WH-4700", 1, 4800 },
    { 20, "Wayhollow WH-35", 8, 9600 },
    { 202, "HP iPAQ 2210>>Bluetooth", 8, 4800 },
    { 208, "HP iPAQ 2100>>Bluetooth", 8, 4800 },
    { 209, "HP iPAQ 2400>>Bluetooth", 8, 4800 },
    { 210, "HP iPAQ 2700>>Bluetooth", 8, 4800 },
    { 203, "HP iPAQ 3700>>Bluetooth", 6, 4800 },
    { 204, "HP iPAQ 4700>>Bluetooth", 8, 4800 },
    { 215, "HP iPAQ 6515", 7, 57600 },
    { 217, "ETen M600>>Bluetooth", 6, 4800 },
    { 218, "ETen G500", 4, 4800 },
    { 221, "Glofiish X500", 4, 57600 },
    { 223, "Glofiish M700", 4, 57600 },
    { 211, "i-Mate Jam>>Bluetooth", 5, 4800 },
    { 205, "i-Mate PDA2K>>Bluetooth", 6, 4800 },
    { 207, "Pocket LOOX>>Bluetooth", 6, 4800 },
    { 200, "MiTAC Mio-168/169", 2, 4800 },
    { 216, "MiTAC Mio-A201", 2, 4800 },
    { 220, "MiTAC Mio-P550", 2, 4800 },
    { 219, "MiTAC Mio-A700", 12, 57600 },
    { 201, "MiTAC Mio 336>>Bluetooth", 8, 4800 },
    { 206, "Qtek 9090>>Bluetooth", 6, 4800 },
    { 222, "Qtek S200>>Bluetooth", 7, 4800 },
    { 212, "Qtek S100/110>>Bluetooth", 5, 4800 },
    { 214, "Acer n35", 8, 9600 },
};
// clang-format on

// A model that is not listed but has defaults.
constexpr GpsDeviceModel kUnlistedModel = { 213, "", 5, 4800 };

} // namespace

bool ParseGpsSourceName(const QString& name, int32_t* number)
{
    *number = GPS_SOURCE_NONE;
    if (name == QLatin1String("from NM-file")) {
        *number = GPS_SOURCE_REPLAY;
        return true;
    }
    if (name == QLatin1String("WM 5.0 software port")) {
        *number = GPS_SOURCE_DRIVER;
        return true;
    }
    if (!name.startsWith(QLatin1String("COM")))
        return false;
    int value = -1;
    qsizetype i = 3;
    for (; i < name.size() && name[i] >= u'0' && name[i] <= u'9'; ++i) {
        value = (value == -1 ? 0 : value * 10) + (name[i].unicode() - u'0');
        if (value > 9) {
            ++i;
            break;
        }
    }
    if (i < name.size() && name[i] == u':' && value >= 0 && value <= 9) {
        *number = value;
        return true;
    }
    return false;
}

bool FormatComPortName(int32_t number, QString* name)
{
    if (number < 0 || number > 9)
        return false;
    *name = QStringLiteral("COM%1:").arg(number);
    return true;
}

bool GetGpsSourceName(int32_t number, QString* name)
{
    switch (number) {
    case GPS_SOURCE_NONE:
        if (g_language == LANGUAGE_ENGLISH)
            *name = QStringLiteral("None");
        else if (g_language == LANGUAGE_RUSSIAN)
            *name = QStringLiteral("Нет");
        else
            return false;
        return true;
    case GPS_SOURCE_REPLAY:
        *name = QStringLiteral("from NM-file");
        return true;
    case GPS_SOURCE_DRIVER:
        *name = QStringLiteral("WM 5.0 software port");
        return true;
    default:
        return FormatComPortName(number, name);
    }
}

std::span<const GpsDeviceModel> GpsDeviceModels() { return kModels; }

int32_t DetectDeviceModel(const QString& oemInfo, const QString* hardwareText)
{
    const QString oem = oemInfo.toUpper();
    const auto has = [&oem](const char* text) { return oem.contains(QLatin1String(text)); };
    const auto hardwareHas = [hardwareText](const char* text) {
        return hardwareText && hardwareText->contains(QLatin1String(text));
    };
    if (has("HP IPAQ") && has("6515"))
        return 215;
    if (has("HP IPAQ") && has("4700"))
        return 10;
    if (has("ACER") && has("N35"))
        return 20;
    if (has("MIO") && has("A201"))
        return 3;
    if (has("MIO") && has("P550"))
        return 4;
    if (has("M60"))
        return 217;
    if (has("G50"))
        return 218;
    if (has("X500"))
        return 221;
    if (has("M700V05"))
        return 223;
    if (has("PM300"))
        return 222;
    if (has("MIO TECHNOLOGY LIMITED") && hardwareHas("A700"))
        return 219;
    if (has("MITAC") && hardwareText) {
        if (hardwareHas("168"))
            return 1;
        if (hardwareHas("336"))
            return 2;
        if (hardwareHas("169"))
            return 1;
    }
    return 0;
}

int32_t DetectDeviceModel()
{
    const QString oem = platform::DeviceModelName();
    return oem.isEmpty() ? 0 : DetectDeviceModel(oem, nullptr);
}

int32_t NormalizeDeviceModel(int32_t code)
{
    switch (code) {
    case 1:
        return 200;
    case 2:
        return 201;
    case 3:
        return 216;
    case 4:
        return 220;
    case 10:
        return 204;
    case 20:
        return 214;
    default:
        return code;
    }
}

bool GetDefaultGpsPortForDevice(
    int32_t model, int32_t manualSource, int32_t manualBaud, int32_t* source, int32_t* baud)
{
    *source = manualSource;
    *baud = manualBaud;
    if (model == 0)
        return true;
    for (const GpsDeviceModel& entry : kModels) {
        if (entry.code == model) {
            *source = entry.source;
            *baud = entry.baud;
            return true;
        }
    }
    if (model == kUnlistedModel.code) {
        *source = kUnlistedModel.source;
        *baud = kUnlistedModel.baud;
        return true;
    }
    return false;
}

bool GetDefaultGpsPortForDevice(int32_t* source, int32_t* baud)
{
    return GetDefaultGpsPortForDevice(g_deviceModel, g_manualGpsPort, g_manualGpsBaudRate, source, baud);
}
