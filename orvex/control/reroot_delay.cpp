// The shipped restart delay: a constant, with no way to change it at run time.
#include "reroot_delay.h"

std::chrono::milliseconds ReRootDelay() { return kReRootDelay; }
bool ReRootRunnerMayStart() { return true; }
