// Module-wide state of the control part.
#pragma once
#include "connections/pu_manager.h"
#include "shared_registry.h"

// The connection registry that live controls and restart workers share.
SharedRegistry<PuManager>& ModuleRegistry();
// The live registry, or a new one with the module's adapters and login dialog.
std::shared_ptr<PuManager> AcquireModuleRegistry();
