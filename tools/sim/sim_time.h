#pragma once

#include <chrono>

namespace zentrik {

// The simulator's notion of time. Everything below the I/O layer takes the current time as
// an argument, so tests drive it with made-up time points instead of sleeping.
using SimClock = std::chrono::steady_clock;
using SimTime = SimClock::time_point;
using SimDuration = SimClock::duration;

}  // namespace zentrik
