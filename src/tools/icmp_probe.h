#pragma once
// Reachability over ICMP from one address entry of the Adapter table: does an address
// answer echo requests (echo probe), and does a router report its network unreachable
// (captured-reply probe: the report is seen only on the wire, through packet capture).
// Both wait through the link's clock for their whole time-outs.
#include <cstdint>
#include <memory>
#include <span>

#include "discovery/raw_ethernet.h"
#include "netenv/adapter_table.h"
#include "platform/wait_clock.h"

namespace tools {

constexpr int echo_attempts = 3;
constexpr long echo_wait_s = 2;
constexpr long echo_wait_us = 200000;
constexpr int echo_receive_bytes = 256;
constexpr int report_passes = 10;
constexpr int report_read_timeout_ms = 30;
constexpr int report_pause_ms = 100;
constexpr std::uint32_t report_filter_netmask_default = 0xffffff;  // for a device without an address

// Codes of echo_probe.
constexpr int echo_socket_failed = -1;
constexpr int echo_wait_failed = -2;
constexpr int echo_io_failed = -3;
// Codes of send_echo.
constexpr int send_echo_open_failed = -1;
constexpr int send_echo_send_failed = -2;
// Codes of captured_reply_probe.
constexpr int report_devices_unmatched = -1;
constexpr int report_no_device = -2;
constexpr int report_list_failed = -3;
constexpr int report_open_failed = -4;
constexpr int report_compile_failed = -5;
constexpr int report_set_failed = -6;
constexpr int report_not_seen = -8;

// One open probe socket: ICMP messages out, IP packets in.
class IcmpSocket {
 public:
  virtual ~IcmpSocket() = default;
  virtual bool send(std::uint32_t target_network, std::span<const std::uint8_t> message) = 0;
  virtual platform::WaitResult wait_readable(long seconds, long microseconds) = 0;
  // Bytes stored in buffer, -1 on error.
  virtual int receive(std::span<std::uint8_t> buffer) = 0;
};

// What the probes ask of the machine: SystemIcmpLink in the program, fakes in tests.
class IcmpLink {
 public:
  virtual ~IcmpLink() = default;
  // The probe socket bound to local_ip_network; null when it cannot be opened.
  virtual std::unique_ptr<IcmpSocket> open_socket(std::uint32_t local_ip_network) = 0;
  virtual std::uint16_t identifier() = 0;
  // The tick count in each echo request; the sockets wait through it too.
  virtual platform::WaitClock& clock() = 0;
};

// Raw ICMP sockets, the process id and the tick count.
class SystemIcmpLink final : public IcmpLink {
 public:
  explicit SystemIcmpLink(platform::WaitClock& clock) : clock_(clock) {}
  std::unique_ptr<IcmpSocket> open_socket(std::uint32_t local_ip_network) override;
  std::uint16_t identifier() override;
  platform::WaitClock& clock() override { return clock_; }

 private:
  platform::WaitClock& clock_;
};

// Three echo requests (sequence 0, 1, 2) from entry to target_network, each waiting up to
// 2.2 s for a reply; a foreign packet restarts the wait. Returns the replies (0..3) or a
// code above.
int echo_probe(const netenv::AdapterTable& adapters, IcmpLink& icmp, int entry, std::uint32_t target_network);

// One echo request with sequence 0 from entry to target_network. Returns 0 or a code above.
int send_echo(const netenv::AdapterTable& adapters, IcmpLink& icmp, int entry, std::uint32_t target_network);

// Captures ICMP on the device of entry's adapter while sending echo requests to
// target_network, up to ten passes. Returns 0 once a "network unreachable" report about
// target_network to entry's address was seen, or a code above.
int captured_reply_probe(discovery::RawEthernet& raw, IcmpLink& icmp, int entry, std::uint32_t target_network);

// The echo probe from entries 0, 1, ... until one gets a reply; that entry becomes
// probe_subnet_index. Returns the last probe's result, 0 when there is no entry (and
// probe_subnet_index is then left as it was).
int remote_echo_probe(const netenv::AdapterTable& adapters, IcmpLink& icmp, std::uint32_t target_network,
                      int& probe_subnet_index);

}  // namespace tools
