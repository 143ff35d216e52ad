#pragma once
// The host names of the virtual Internet's four what-is-my-address sites (sim/address_services
// serves them; `address-services conf` prints them as a quorvane.conf), as services A to D.
#include <string>

#include "tools/address_services.h"

namespace test {

inline const tools::AddressServiceHosts site_hosts = {"a.addresses.test", "b.addresses.test", "c.addresses.test",
                                                      "d.addresses.test"};

// The quorvane.conf that names them.
inline std::string sites_config_text() {
  std::string text = "[address-services]\n";
  const char keys[] = "ABCD";
  for (std::size_t k = 0; k < site_hosts.size(); ++k) text += std::string(1, keys[k]) + " = " + site_hosts[k] + "\n";
  return text;
}

}  // namespace test
