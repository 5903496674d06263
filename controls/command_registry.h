#pragma once
// The program's command vocabulary: one entry per command id 10000-10053 with
// its kind (plain, toggle, radio), its checked flag and the handler that
// carries it out. Everything a user binds to a button, a key or a menu item is
// a command id run through Execute.
//
// So far the registry knows the kinds and the handlers of the commands the map
// controller runs itself (the tap modes and the view-mode toggles); names,
// images, menu ids, diagrams and the remaining handlers come with the on-map
// controls.
#include "platform/process_object.h"

#include <array>
#include <cstdint>

enum CommandKind : int32_t { COMMAND_PLAIN = 0, COMMAND_TOGGLE = 1, COMMAND_RADIO = 2 };

inline constexpr uint32_t kFirstCommand = 10000;
inline constexpr uint32_t kLastCommand = 10053;

// Command ids named where the program runs them itself.
enum : uint32_t {
    CMD_SHOW_TRANSPARENT_BUTTONS = 10002,
    CMD_ZOOM_WINDOW = 10010,
    CMD_SCROLL = 10011,
    CMD_FIRST_POINT = 10012,
    CMD_LAST_POINT = 10013,
    CMD_ZOOM_SLIDER = 10020,
    CMD_GPS_TRACKING = 10022,
    CMD_OBJECT_NAME = 10023,
    CMD_ALWAYS_UP = 10026,
    CMD_ROUTE_FINISH_ONLY = 10028,
    CMD_ORIENTATION_PANEL = 10033,
    CMD_ROAD_JUNCTION = 10036,
    CMD_DRIVING_MODE = 10042,
};

struct CCommandEntry;
using CommandHandler = void (*)(CCommandEntry& entry);

struct CCommandEntry {
    CommandKind kind = COMMAND_PLAIN;
    int32_t checked = 0;
    int32_t id = 0;
    CommandHandler handler = nullptr;
    CommandHandler alternate = nullptr;

    void Flip() { checked = checked ? 0 : 1; }
};

class CCommandRegistry {
public:
    CCommandRegistry() = default;
    CCommandRegistry(const CCommandRegistry&) = delete;
    CCommandRegistry& operator=(const CCommandRegistry&) = delete;

    // Fills the entries and checks the radio of the map controller's tap mode. 1.
    int Init();
    // Runs the command's handler; a tap-mode command then becomes the checked
    // radio. Ids outside 10000-10053 do nothing.
    void Execute(uint32_t id);
    // The alternate (double-tap) handler, when the command has one.
    void Invoke(uint32_t id);
    // Checks the radio `id` and unchecks every other radio; other ids do nothing.
    void UpdateRadioGroup(uint32_t id);
    int32_t IsChecked(uint32_t id) const;
    CommandKind GetKind(uint32_t id) const;
    CCommandEntry* GetCommandEntry(uint32_t id);

private:
    static bool IsCommand(uint32_t id) { return id >= kFirstCommand && id <= kLastCommand; }

    std::array<CCommandEntry, kLastCommand - kFirstCommand + 1> m_entries {};
};

inline platform::ProcessObject<CCommandRegistry> g_CommandRegistry;

// Runs a command through the registry, when the registry exists.
void ExecuteCommand(uint32_t id);
