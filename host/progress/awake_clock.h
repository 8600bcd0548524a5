// The clock of the time-left estimate: milliseconds the machine has been awake, so that
// a laptop asleep for the night does not make the rows before it look slow.
#pragma once
#include <cstdint>

namespace trevanil_host {

// Milliseconds since the system started, time asleep or hibernating left out. Should that
// clock not answer, the tick count (which includes sleep) stands in.
std::int64_t AwakeMs();

} // namespace trevanil_host
