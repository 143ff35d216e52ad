#pragma once
// The system's monotonic millisecond clock, local time and plain sleeps, behind WaitClock.
#include <cstdint>
#include <ctime>

namespace platform {

// Milliseconds since an arbitrary start, wrapping at 2^32 like a tick count.
std::uint32_t tick_count_ms();

std::tm local_time();

void sleep_ms(int milliseconds);

}  // namespace platform
