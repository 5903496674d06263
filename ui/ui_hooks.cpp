#include "ui/ui_hooks.h"

#include <atomic>

namespace {
CUiHooks g_defaultHooks;
std::atomic<CUiHooks*> g_hooks { &g_defaultHooks };
}

CUiHooks& UiHooks() { return *g_hooks.load(); }

void SetUiHooks(CUiHooks* hooks) { g_hooks.store(hooks ? hooks : &g_defaultHooks); }
