#pragma once
// The handlers that carry the commands out: thin calls into the map controller.
#include "controls/command_registry.h"

// The handler of a command id, none when it has none (yet).
CommandHandler GetCommandHandler(uint32_t id);
CommandHandler GetAlternateCommandHandler(uint32_t id);
