// The demo fleet: a few devices of both protocols with the situations worth showing.
#pragma once
#include <vector>

#include "device.h"

namespace devsim {

std::vector<Device> DemoFleet();

}  // namespace devsim
