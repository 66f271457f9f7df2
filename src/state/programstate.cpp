#include "state/programstate.h"

#include <cmath>

namespace karte {

float singlePi()
{
    return static_cast<float>(4.0 * std::atan(1.0));
}

ProgramState::ProgramState()
    : pi(singlePi())
{
}

} // namespace karte
