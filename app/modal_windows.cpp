#include "app/modal_windows.h"

namespace {
std::atomic<bool> g_routeWizardInUse { false };
}

bool IsRouteWizardOpen() { return g_routeWizardInUse.load(); }

void SetRouteWizardInUse(bool inUse) { g_routeWizardInUse = inUse; }
