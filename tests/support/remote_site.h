#pragma once
// A site beyond the router: the PC on 192.168.1.0/24 with the router's internet leg at .1,
// and behind the router's leg 10.77.0.1 a subnet that is not the PC's, holding a sensor
// module, a module in active upload to the PC, two modules that cannot be polled and a host
// that answers echo only.
#include <string>

#include "support/virtual_lan.h"

namespace test::remote_site {

inline const std::string pc = "192.168.1.10";
// Answers discovery unicast; a TCP sensor module whose record holds 172.16.5.20, the address
// it has behind a router that translates addresses: it is reached only at the one typed.
inline const std::string module = "10.77.0.20";
inline const std::string uploader = "10.77.0.40";    // AUDP, uploads to the PC's port 8005
inline const std::string other_port = "10.77.0.50";  // data port 4001: not a sensor module
inline const std::string bad_mode = "10.77.0.60";    // a record with no valid work mode
inline const std::string echo_only = "10.77.0.30";   // a kernel: echo, no module

inline LanTopology topology() {
  LanTopology t;
  t.add_subnet(1, pc + "/24");
  t.routers.push_back({1, "192.168.1.1/24", RouterKind::internet});
  t.far_subnets.push_back({7, "10.77.0.1/24"});
  t.add_sensor_module("far", 7, "00:20:4a:77:00:20", module, "10.77.0.1",
                      "temperature = 21.5\nhumidity = 40.2\nrestart_delay_ms = 60000\nip = 172.16.5.20");
  t.add_sensor_module("uploader", 7, "00:20:4a:77:00:40", uploader, "10.77.0.1",
                      "work_mode = AUDP\nserver_ip = " + pc +
                          "\nserver_port = 8005\nupload_interval_ms = 200\ntemperature = 19.5");
  t.add_sensor_module("otherport", 7, "00:20:4a:77:00:50", other_port, "10.77.0.1", "port = 4001");
  t.add_sensor_module("badmode", 7, "00:20:4a:77:00:60", bad_mode, "10.77.0.1", "mode_bytes = C0 07");
  t.add_module({"echo", 7, "02:51:76:77:00:30", echo_only + "/24", "10.77.0.1", ""});
  return t;
}

}  // namespace test::remote_site
