#pragma once
// Monotonic millisecond clock and plain sleeps; the only time source of the logic.
#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, wrapping at 2^32 like a tick count.
std::uint32_t tick_count_ms();

void sleep_ms(int milliseconds);

}  // namespace platform
