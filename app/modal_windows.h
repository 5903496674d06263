#pragma once
// What the map screen needs to know of the windows opened over it, and the
// bookkeeping that hands the screen from the map to such a window and back.
#include <atomic>
#include <cstddef>
#include <cstdint>

class CPropertySheet;

// Whether the route wizard is in use: it exists and has been neither finished
// nor put aside (also while it is hidden so that the user can pick a point on
// the map). Meanwhile the 250 ms tick does nothing, the draw thread draws no
// overlays, and a tap's release goes to the wizard as a map point. The wizard
// reports its state as it opens, is put aside and closes.
bool IsRouteWizardOpen();
void SetRouteWizardInUse(bool inUse);

// Set when a launcher opens the route wizard, which may come from a key press:
// the quick bar takes the next key release so that the key does not also act
// on the map.
inline std::atomic<int32_t> g_bSwallowKeyUp { 0 };

// A window opened over the map. `freeReserve` 1: the memory reserve is given
// back while it is open.
struct ModalWindowEntry {
    const void* window = nullptr;
    int32_t freeReserve = 0;
    int32_t unused[2] {};
};

// The first window registered stops driving mode (it comes back with the
// last), holds the route computations of other threads, stops the draw
// thread's copies to the screen and sends route results to message boxes;
// the last one unregistered undoes it all in the reverse order and puts the
// map screen in front in full screen. A window registered twice, or
// unregistered without being registered, changes nothing. User-interface
// thread only.
void RegisterModalWindow(const ModalWindowEntry& entry);
void UnregisterModalWindow(const ModalWindowEntry& entry);
size_t ModalWindowCount();

// The memory kept back for the big sheets: made at start-up and again when
// the last window that gave it back is gone, never twice.
void AllocateMemoryReserve();
bool IsMemoryReserveHeld();

// The map screen takes the focus back, and with it full screen and drawing.
void ActivateMapScreen();

// Runs `sheet` modally on `page`, bracketed by the registration; -1 without
// opening it for a page the sheet does not have.
int RunSheetModal(CPropertySheet& sheet, int page, int freeReserve);
