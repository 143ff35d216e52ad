#pragma once
// The platform family decides how an address is probed for use: through the operating
// system's own ARP resolution, or through a request sent by the program itself.

namespace app {

// Linux: the kernel resolves addresses for us through its neighbour table, like the
// families that have an operating-system ARP request, so it gets a value of its own.
inline constexpr int linux_platform_family = 100;

int current_platform_family();

}  // namespace app
