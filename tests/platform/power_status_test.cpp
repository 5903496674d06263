// The battery as /sys/class/power_supply tells it, from a folder standing in
// for the system's root.
#include "platform/power_status.h"

#include "platform/system_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

using platform::PowerStatus;

class PowerStatusTest : public ::testing::Test {
protected:
    // A power supply with its files (name -> first line).
    void Supply(const QString& name, const std::map<const char*, const char*>& files)
    {
        const QString dir = m_folder.path() + QStringLiteral("/sys/class/power_supply/") + name;
        ASSERT_TRUE(QDir().mkpath(dir));
        for (const auto& [file, text] : files) {
            QFile f(dir + u'/' + QLatin1String(file));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(text);
            f.write("\n");
        }
    }
    PowerStatus Read(bool expected = true)
    {
        PowerStatus status;
        EXPECT_EQ(platform::GetSystemPowerStatus(status, false), expected);
        return status;
    }

    QTemporaryDir m_folder;
    platform::ScopedSystemRoot m_root { m_folder.path() };
};

TEST_F(PowerStatusTest, NoSuppliesKnownIsAFailure)
{
    const PowerStatus status = Read(false);
    EXPECT_EQ(status.batteryLifePercent, PowerStatus::kUnknownPercent);
    EXPECT_EQ(status.batteryFlag, PowerStatus::BATTERY_UNKNOWN);
}

TEST_F(PowerStatusTest, MainsAloneMeansNoSystemBattery)
{
    Supply(QStringLiteral("AC"), { { "type", "Mains" }, { "online", "1" } });
    // A mouse's battery is not the system's.
    Supply(QStringLiteral("hidpp_battery_0"),
        { { "type", "Battery" }, { "scope", "Device" }, { "capacity", "80" } });
    const PowerStatus status = Read();
    EXPECT_EQ(status.batteryLifePercent, PowerStatus::kUnknownPercent);
    EXPECT_EQ(status.batteryFlag, PowerStatus::BATTERY_NONE);
}

TEST_F(PowerStatusTest, TheFirstBatterysChargeAndFlags)
{
    const struct {
        const char* capacity;
        const char* status;
        int percent;
        int flag;
    } cases[] = {
        { "85", "Discharging", 85, PowerStatus::BATTERY_HIGH },
        { "50", "Discharging", 50, 0 },
        { "20", "Charging", 20, PowerStatus::BATTERY_LOW | PowerStatus::BATTERY_CHARGING },
        { "3", "Discharging", 3, PowerStatus::BATTERY_LOW | PowerStatus::BATTERY_CRITICAL },
        { "100", "Full", 100, PowerStatus::BATTERY_HIGH },
        { "", "Charging", PowerStatus::kUnknownPercent, PowerStatus::BATTERY_CHARGING },
        { "250", "Unknown", PowerStatus::kUnknownPercent, PowerStatus::BATTERY_UNKNOWN },
    };
    for (const auto& c : cases) {
        Supply(QStringLiteral("BAT0"),
            { { "type", "Battery" }, { "capacity", c.capacity }, { "status", c.status } });
        const PowerStatus status = Read();
        EXPECT_EQ(status.batteryLifePercent, c.percent) << c.capacity;
        EXPECT_EQ(status.batteryFlag, c.flag) << c.capacity;
    }
    // A second battery is not asked.
    Supply(
        QStringLiteral("BAT1"), { { "type", "Battery" }, { "capacity", "12" }, { "status", "Discharging" } });
    Supply(
        QStringLiteral("BAT0"), { { "type", "Battery" }, { "capacity", "60" }, { "status", "Discharging" } });
    EXPECT_EQ(Read().batteryLifePercent, 60);
}

} // namespace
