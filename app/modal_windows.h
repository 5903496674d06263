#pragma once
// What the map screen needs to know of the windows opened over it.
#include <atomic>
#include <cstdint>

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
