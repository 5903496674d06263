#pragma once
// What the drawn interface asks of the application: answered from the
// application's subsystems as they exist (the rest keep the defaults).
#include "ui/ui_hooks.h"

class CAppUiHooks : public CUiHooks {
public:
    bool IsButtonHintEnabled() override;
};

// The application's hooks, installed at start-up.
CAppUiHooks& AppUiHooks();
