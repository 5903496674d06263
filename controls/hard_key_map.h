#pragma once
// The device's hardware buttons (the record button, the four application
// buttons, the four cursor keys and the start key): ten slots, each with its
// fixed key, a bilingual name, a picture for the settings page and the command
// the user assigned to it. A key runs its command when it is released. The
// keys of this machine reach here already turned into the device's codes
// (platform/keys.cpp, the one table).
#include "platform/process_object.h"
#include "platform/sync.h"

#include <QString>
#include <array>
#include <cstdint>

namespace platform {
class Archive;
class MessageTarget;
}

class CHardKeySlot {
public:
    virtual ~CHardKeySlot() = default;

    // Stores a command of 10000-10046; true for anything in 10000-10053, so
    // that the internal commands are accepted without changing the slot.
    bool SetCommand(int32_t command);
    int32_t GetCommand() const { return m_command; }
    void SetImageId(int32_t id) { m_imageId = id; }
    int32_t GetImageId() const { return m_imageId; }
    void SetNames(const QString& english, const QString& russian);
    QString GetNameEn() const { return m_nameEn; }
    QString GetNameRu() const { return m_nameRu; }

private:
    int32_t m_imageId = 727;
    int32_t m_command = 10000;
    QString m_nameEn;
    QString m_nameRu;
};

class CHardKeyMap {
public:
    static constexpr int kSlotCount = 10;
    // Bytes of the key block in the settings file: ten 32-bit commands.
    static constexpr int kBlockSize = 4 * kSlotCount;

    CHardKeyMap();
    CHardKeyMap(const CHardKeyMap&) = delete;
    CHardKeyMap& operator=(const CHardKeyMap&) = delete;

    // Slot access; a slot above 9 is refused (false, -1, "-1").
    bool SetCommand(uint32_t slot, int32_t command);
    int32_t GetCommand(uint32_t slot);
    int32_t GetKeyImageId(uint32_t slot);
    QString GetKeyNameEn(uint32_t slot);
    QString GetKeyNameRu(uint32_t slot);
    // The slot of a device key code; -1 for a key that has none.
    static int SlotOfKey(int key);

    // The default commands; the record button gets the transparent buttons
    // only in expert mode.
    void SetDefaults();

    // Every key is taken on its way down; its release runs the slot's
    // command, or while the route wizard is in use a fixed map command. The
    // key code is set to 0. Both return 1.
    int OnKeyDown(int& key);
    int OnKeyUp(int& key);

    // The key block of the settings file. Loading stores a command of
    // 10000-10046, leaves the slot for 10047-10053 and empties it for any
    // other value.
    void Store(platform::Archive& archive);
    void Load(platform::Archive& archive);

private:
    CHardKeySlot* Slot(uint32_t slot) { return slot < kSlotCount ? &m_slots[slot] : nullptr; }

    std::array<CHardKeySlot, kSlotCount> m_slots;
    platform::CriticalSection m_lock;
};

inline platform::ProcessObject<CHardKeyMap> g_HardKeyMap;

// The device's buttons taken from the system for the map window while the
// program is in front, and given back when it goes to the background or
// closes. On this platform the device window owns the keyboard while it has
// the focus, so taking and giving back is bookkeeping; both return 1.
int GrabHardwareKeys(platform::MessageTarget* window);
int ReleaseHardwareKeys(platform::MessageTarget* window);
// The window the keys were last taken for, or none while they are given back.
platform::MessageTarget* GetHardwareKeysOwner();
