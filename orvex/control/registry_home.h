// The home of the module's connection registry (shared_registry.h): a message-only
// window of the module on the host's thread that made the registry. The host's own
// message loop runs what the registry's other threads ask of that thread: releasing an
// orphaned registry (and so the device libraries) and retrying a restart runner.
#pragma once
#include <memory>
#include "shared_registry.h"

// Null when the window cannot be made: the registry then goes wherever its last owner goes.
std::unique_ptr<IRegistryHome> CreateRegistryHome();
