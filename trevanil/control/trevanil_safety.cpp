#include "trevanil_safety.h"

namespace trevanil_safety {

Answer GetOptions(bool hasInterface, std::uint32_t* supported, std::uint32_t* enabled)
{
    if (supported) *supported = kAllSafety;
    if (enabled) *enabled = kAllSafety;
    return hasInterface ? Answer::Ok : Answer::NoInterface;
}

Answer SetOptions(bool hasInterface, std::uint32_t mask, std::uint32_t enabled)
{
    if (!hasInterface) return Answer::NoInterface;
    if ((mask & ~kAllSafety) != 0 || (mask & enabled) != mask) return Answer::Fail;
    return Answer::Ok;
}

}  // namespace trevanil_safety
