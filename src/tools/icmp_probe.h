#pragma once
// Reachability over ICMP from one address entry of the Adapter table: does an address
// answer echo requests (echo probe; the captured-reply probe and the single send have
// headers of their own). It waits through the link's clock for its whole time-outs.
#include <cstdint>
#include <memory>
#include <span>

#include "netenv/adapter_table.h"
#include "platform/raw_icmp_socket.h"
#include "platform/wait_clock.h"

namespace tools {

constexpr int echo_attempts = 3;
constexpr long echo_wait_s = 2;
constexpr long echo_wait_us = 200000;
constexpr int echo_receive_bytes = 256;

// Codes of echo_probe.
constexpr int echo_socket_failed = -1;
constexpr int echo_wait_failed = -2;
constexpr int echo_io_failed = -3;
constexpr int echo_not_permitted = -4;  // the process lacks CAP_NET_RAW for the raw ICMP socket

// One open probe socket: ICMP messages out, IP packets in.
class IcmpSocket {
 public:
  virtual ~IcmpSocket() = default;
  virtual bool send(platform::Ipv4Address target, std::span<const std::uint8_t> message) = 0;
  virtual platform::WaitResult wait_readable(long seconds, long microseconds) = 0;
  // Bytes stored in buffer, -1 on error.
  virtual int receive(std::span<std::uint8_t> buffer) = 0;
};

// A probe socket, or why it did not open: status 0 or a platform::raw_socket_* code.
struct IcmpOpening {
  std::unique_ptr<IcmpSocket> socket;
  int status = platform::raw_socket_create_failed;
};

// What the probes ask of the machine: SystemIcmpLink in the program, fakes in tests.
class IcmpLink {
 public:
  virtual ~IcmpLink() = default;
  // The probe socket bound to local_ip.
  virtual IcmpOpening open_socket(platform::Ipv4Address local_ip) = 0;
  virtual std::uint16_t identifier() = 0;
  // The tick count in each echo request; the sockets wait through it too.
  virtual platform::WaitClock& clock() = 0;
};

// Raw ICMP sockets, the process id and the tick count.
class SystemIcmpLink final : public IcmpLink {
 public:
  explicit SystemIcmpLink(platform::WaitClock& clock) : clock_(clock) {}
  IcmpOpening open_socket(platform::Ipv4Address local_ip) override;
  std::uint16_t identifier() override;
  platform::WaitClock& clock() override { return clock_; }

 private:
  platform::WaitClock& clock_;
};

// Three echo requests (sequence 0, 1, 2) from entry to target, each waiting up to
// 2.2 s for a reply; a foreign packet restarts the wait. Returns the replies (0..3) or a
// code above.
int echo_probe(const netenv::AdapterTable& adapters, IcmpLink& icmp, int entry, platform::Ipv4Address target);

// The echo probe from entries 0, 1, ... until one gets a reply; that entry becomes
// probe_subnet_index. Returns the last probe's result, 0 when there is no entry (and
// probe_subnet_index is then left as it was); stops at the first echo_not_permitted.
int remote_echo_probe(const netenv::AdapterTable& adapters, IcmpLink& icmp, platform::Ipv4Address target,
                      int& probe_subnet_index);

}  // namespace tools
