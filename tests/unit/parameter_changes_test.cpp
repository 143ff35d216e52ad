// parameters_unchanged: which difference between the Pending parameter set and the
// selected row is reported first.
#include "discovery/parameter_changes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "support/arp_test_frames.h"

namespace {

using test::ipv4;

discovery::ModuleRow atcp_row() {
  discovery::ModuleRow row;
  row.ip = ipv4("192.168.1.100");
  row.gateway = ipv4("192.168.1.1");
  row.host_bits = 8;
  row.work_mode = discovery::atcp;
  row.server_port = 8005;
  row.upload_interval = 3;
  row.server_ip = ipv4("192.168.1.10");
  row.dns_ip = ipv4("8.8.4.4");
  std::strcpy(row.server_name.data(), "upload.example");
  return row;
}

// Asks for exactly what atcp_row() has.
netenv::PendingParameters same_as_row() {
  netenv::PendingParameters pending;
  pending.new_module_ip = ipv4("192.168.1.100");
  pending.new_gateway = ipv4("192.168.1.1");
  pending.host_bits = 8;
  pending.work_mode = discovery::atcp;
  pending.active_upload_confirmed = true;
  pending.server_port = 8005;
  pending.upload_interval = 3;
  pending.server_ip = ipv4("192.168.1.10");
  pending.dns_ip = ipv4("8.8.4.4");
  std::memcpy(pending.server_name.data(), "upload.example", 14);
  return pending;
}

// The same module in domain-name mode.
void name_mode(netenv::PendingParameters& pending, discovery::ModuleRow& row) {
  pending.server_by_name = true;
  row.server_by_name = 0x10;
}

struct Case {
  const char* what;
  std::function<void(netenv::PendingParameters&, discovery::ModuleRow&)> change;
  bool wireless_changed;
  int code;         // table mode
  int remote_code;  // remote mode
};

TEST(ParametersUnchanged, ReportsTheFirstDifference) {
  using P = netenv::PendingParameters;
  using R = discovery::ModuleRow;
  const std::vector<Case> cases = {
      {"nothing", [](P&, R&) {}, false, 0, 0},
      {"wireless block", [](P&, R&) {}, true, -1, 0},
      {"wireless block and IP", [](P& p, R&) { p.new_module_ip = ipv4("192.168.1.101"); }, true, -1, 0},
      {"module IP", [](P& p, R&) { p.new_module_ip = ipv4("192.168.1.101"); }, false, -2, 0},
      {"gateway", [](P& p, R&) { p.new_gateway = ipv4("192.168.1.254"); }, false, -2, 0},
      {"host bits", [](P& p, R&) { p.host_bits = 7; }, false, -2, 0},
      {"port", [](P& p, R&) { p.port = 10051; }, false, -5, 0},
      {"baud", [](P& p, R&) { p.baud_index = 9; }, false, -6, 0},
      {"port before work mode", [](P& p, R&) { p.port = 1; p.work_mode = discovery::tcp; }, false, -5, -3},
      {"work mode", [](P& p, R&) { p.work_mode = discovery::audp; }, false, -3, -3},
      {"server port", [](P& p, R&) { p.server_port = 8006; }, false, -4, 0},
      {"upload interval", [](P& p, R&) { p.upload_interval = 4; }, false, -4, 0},
      {"row in name mode", [](P&, R& r) { r.server_by_name = 0x10; }, false, -9, 0},
      {"server IP", [](P& p, R&) { p.server_ip = ipv4("192.168.1.11"); }, false, -10, 0},
      {"name mode, row in IP mode", [](P& p, R&) { p.server_by_name = true; }, false, -11, 0},
      {"name mode, same", name_mode, false, 0, 0},
      {"name mode, server IP ignored", [](P& p, R& r) { name_mode(p, r); p.server_ip = ipv4("1.2.3.4"); }, false, 0, 0},
      {"name mode, DNS", [](P& p, R& r) { name_mode(p, r); p.dns_ip = ipv4("8.8.8.8"); }, false, -12, 0},
      {"name mode, last name byte", [](P& p, R& r) { name_mode(p, r); p.server_name[39] = 'x'; }, false, -13, 0},
      {"name mode, first name byte", [](P& p, R& r) { name_mode(p, r); p.server_name[0] = 'U'; }, false, -13, 0},
      {"upload not confirmed", [](P& p, R&) { p.active_upload_confirmed = false; p.server_port = 1; }, false, 0, 0},
      {"module code not compared", [](P& p, R&) { p.module_code = 0x1234; }, false, 0, 0},
      {"upload fields of a TCP module",
       [](P& p, R& r) { p.work_mode = r.work_mode = discovery::tcp; p.server_port = 1; }, false, 0, 0},
      {"AUDP module, server port",
       [](P& p, R& r) { p.work_mode = r.work_mode = discovery::audp; p.server_port = 1; }, false, -4, 0},
  };
  for (const Case& c : cases) {
    netenv::PendingParameters pending = same_as_row();
    discovery::ModuleRow row = atcp_row();
    c.change(pending, row);
    EXPECT_EQ(discovery::parameters_unchanged(pending, row, c.wireless_changed, false), c.code) << c.what;
    EXPECT_EQ(discovery::parameters_unchanged(pending, row, c.wireless_changed, true), c.remote_code)
        << c.what << " (remote)";
  }
}

}  // namespace
