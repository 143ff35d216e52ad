#pragma once
// Host names of the what-is-my-address services A, B, C and D, in the order they are
// tried. This is the one place they are configured. The names lie under the reserved
// .test domain: they resolve only through a hosts file that names them, such as the one
// the virtual Internet of the tests and the demo gives the PC's namespace.
#include <array>
#include <string_view>

namespace tools {

constexpr std::array<std::string_view, 4> address_service_hosts = {
    "a.addresses.test",
    "b.addresses.test",
    "c.addresses.test",
    "d.addresses.test",
};

}  // namespace tools
