#include "gps/bluetooth_control.h"

#include "platform/registry.h"
#include "platform/system_files.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scoped_registry.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

// A radio a test scripts, and what was asked of it.
struct RadioState {
    bool present = true;
    int mode = 0;
    bool queryFails = false;
    std::vector<int> sets;
};

class FakeRadio : public platform::BluetoothRadio {
public:
    explicit FakeRadio(RadioState& state)
        : m_state(state)
    {
    }
    bool HasRadio() override { return m_state.present; }
    bool GetMode(int* mode) override
    {
        if (m_state.queryFails || !m_state.present)
            return false;
        *mode = m_state.mode;
        return true;
    }
    bool SetMode(int mode) override
    {
        m_state.sets.push_back(mode);
        if (!m_state.present)
            return false;
        m_state.mode = mode;
        return true;
    }

private:
    RadioState& m_state;
};

platform::RegKey ApplicationKey()
{
    platform::RegKey key;
    platform::registry().Create(platform::RegRoot::HKCU, kApplicationKey, &key);
    return key;
}

std::optional<uint32_t> SavedState()
{
    uint32_t value = 0;
    return ApplicationKey().QueryDword("BT_State", &value) == platform::RegResult::Ok ? std::optional(value)
                                                                                      : std::nullopt;
}

TEST(BluetoothControl, TheRadioIsOnForTheRunAndPutBackAtExit)
{
    struct Case {
        const char* name;
        bool autoOn;
        int modeAtStart;
        std::optional<uint32_t> leftover; // "BT_State" from a run that did not end cleanly
        bool queryFails;
        std::optional<uint32_t> storedDuringRun;
        int modeDuringRun;
        int modeAfterExit;
        std::vector<int> sets;
    };
    const Case cases[] = {
        { "off at start: on, then off again", true, 0, std::nullopt, false, 0u, 1, 0, { 1, 0 } },
        { "on at start: stays on", true, 1, std::nullopt, false, 1u, 1, 1, { 1, 1 } },
        { "a leftover state is what is put back", true, 0, 1u, false, 1u, 1, 1, { 1, 1 } },
        { "a leftover off is put back even over an on radio", true, 1, 0u, false, 0u, 1, 0, { 1, 0 } },
        { "a failed query changes nothing", true, 0, std::nullopt, true, std::nullopt, 0, 0, {} },
        { "without the option nothing happens", false, 0, std::nullopt, false, std::nullopt, 0, 0, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::ScopedRegistryFile registry;
        ApplicationKey();
        if (c.leftover)
            ApplicationKey().SetDword("BT_State", *c.leftover);
        RadioState radio;
        radio.mode = c.modeAtStart;
        radio.queryFails = c.queryFails;
        {
            CBluetoothControl control(c.autoOn, std::make_unique<FakeRadio>(radio));
            EXPECT_EQ(control.StackType(), CBluetoothControl::STACK_PLATFORM);
            EXPECT_EQ(SavedState(), c.storedDuringRun);
            EXPECT_EQ(radio.mode, c.modeDuringRun);
        }
        EXPECT_EQ(radio.mode, c.modeAfterExit);
        EXPECT_EQ(radio.sets, c.sets);
        // Gone after a clean exit; a leftover stays only where nothing was switched.
        EXPECT_EQ(SavedState(), c.autoOn ? std::nullopt : c.leftover);
    }
}

TEST(BluetoothControl, TheWidcommStackHasNoConsoleOnLinuxAndFails)
{
    testing_support::ScopedRegistryFile registry;
    ApplicationKey();
    platform::RegKey key;
    ASSERT_EQ(
        platform::registry().Create(platform::RegRoot::HKLM, "SOFTWARE\\Widcomm\\BtConfig\\General", &key),
        platform::RegResult::Ok);
    key.SetDword("StackMode", 0);
    RadioState radio;
    {
        CBluetoothControl control(true, std::make_unique<FakeRadio>(radio));
        EXPECT_EQ(control.StackType(), CBluetoothControl::STACK_WIDCOMM);
        EXPECT_EQ(control.SavedState(), CBluetoothControl::STATE_OFF);
        // The switch-on went nowhere, and says so.
        EXPECT_EQ(control.RadioState(), CBluetoothControl::STATE_OFF);
    }
    EXPECT_TRUE(radio.sets.empty());
}

TEST(BluetoothControl, TheOptionIsReadAndWrittenInTheApplicationKey)
{
    struct Case {
        const char* name;
        bool keyExists;
        std::optional<uint32_t> stored;
        bool driver;
        bool loads;
        int32_t option;
        std::optional<uint32_t> storedAfter;
    };
    const Case cases[] = {
        { "no value, a driver: on, and written", true, std::nullopt, true, true, 1, 1u },
        { "no value, no driver: 2, not written", true, std::nullopt, false, true, 2, std::nullopt },
        { "a value is taken as it is", true, 0u, true, true, 0, 0u },
        { "no application key", false, std::nullopt, true, false, 7, std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::ScopedRegistryFile registry;
        if (c.keyExists)
            ApplicationKey();
        if (c.stored)
            ApplicationKey().SetDword("AutoBT", *c.stored);
        RadioState state;
        state.present = c.driver;
        FakeRadio radio(state);
        m_autoBluetooth = 7;
        EXPECT_EQ(LoadAutoBtSetting(&radio), c.loads);
        EXPECT_EQ(m_autoBluetooth, c.option);
        uint32_t value = 0;
        platform::RegKey key;
        const bool has = platform::registry().Open(platform::RegRoot::HKCU, kApplicationKey, &key)
                == platform::RegResult::Ok
            && key.QueryDword("AutoBT", &value) == platform::RegResult::Ok;
        EXPECT_EQ(has ? std::optional(value) : std::nullopt, c.storedAfter);
    }
    testing_support::ScopedRegistryFile registry;
    m_autoBluetooth = 0;
    EXPECT_FALSE(SaveAutoBtSetting());
    ApplicationKey();
    EXPECT_TRUE(SaveAutoBtSetting());
}

TEST(BluetoothControl, RfkillSwitchesTheBluetoothDevicesOnly)
{
    QTemporaryDir root;
    platform::ScopedSystemRoot scoped(root.path());
    platform::RfkillBluetoothRadio radio;
    int mode = -1;
    EXPECT_FALSE(radio.HasRadio());
    EXPECT_FALSE(radio.GetMode(&mode));
    EXPECT_FALSE(radio.SetMode(1));

    const auto device = [&](const char* name, const char* type, const char* soft, const char* hard) {
        const QString folder = root.filePath(QStringLiteral("sys/class/rfkill/%1/").arg(name));
        testing_support::WriteFileBytes(folder + "type", QByteArray(type) + "\n");
        testing_support::WriteFileBytes(folder + "soft", QByteArray(soft) + "\n");
        testing_support::WriteFileBytes(folder + "hard", QByteArray(hard) + "\n");
    };
    device("rfkill0", "wlan", "1", "0");
    EXPECT_FALSE(radio.HasRadio());
    device("rfkill1", "bluetooth", "1", "0");
    EXPECT_TRUE(radio.HasRadio());
    ASSERT_TRUE(radio.GetMode(&mode));
    EXPECT_EQ(mode, 0);
    EXPECT_TRUE(radio.SetMode(1));
    ASSERT_TRUE(radio.GetMode(&mode));
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(testing_support::ReadFileBytes(root.filePath("sys/class/rfkill/rfkill1/soft")), "0");
    EXPECT_EQ(testing_support::ReadFileBytes(root.filePath("sys/class/rfkill/rfkill0/soft")), "1\n");
    EXPECT_TRUE(radio.SetMode(0));
    ASSERT_TRUE(radio.GetMode(&mode));
    EXPECT_EQ(mode, 0);
    // A hardware switch holds it off.
    device("rfkill1", "bluetooth", "1", "1");
    EXPECT_FALSE(radio.SetMode(1));
    ASSERT_TRUE(radio.GetMode(&mode));
    EXPECT_EQ(mode, 0);
}

} // namespace
