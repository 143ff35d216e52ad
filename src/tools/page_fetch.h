#pragma once
// One HTTP GET through a chosen local address, read until more than a limit has arrived.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/ipv4_address.h"
#include "platform/wait_clock.h"
#include "tools/address_services.h"

namespace tools {

constexpr long fetch_writable_wait_us = 200;
constexpr long fetch_read_wait_s = 5;
constexpr long fetch_read_wait_us = 600000;
constexpr int fetch_receive_pause_ms = 100;

// Codes of fetch_page.
constexpr int fetch_bind_failed = -3;
constexpr int fetch_connect_failed = -4;
constexpr int fetch_wait_write_failed = -5;
constexpr int fetch_wait_write_timeout = -6;
constexpr int fetch_send_failed = -7;
constexpr int fetch_wait_read_failed = -8;
constexpr int fetch_receive_failed = -10;
constexpr int fetch_too_short = -11;  // silence, or the server closed, before the limit
constexpr int fetch_socket_failed = -12;
constexpr int fetch_cancelled = -13;  // Stop or the close box abandoned the fetch

// The bytes received so far, in arrival order from the start of the buffer.
struct PageResponse {
  std::array<std::uint8_t, response_buffer_bytes> buffer{};
  std::size_t length = 0;
  std::span<const std::uint8_t> bytes() const { return std::span<const std::uint8_t>(buffer).first(length); }
};

struct PageRequest {
  platform::Ipv4Address local_ip;  // the adapter's address; the port is the kernel's choice
  platform::Ipv4Address server_ip;
  std::uint16_t server_port = http_port;
  std::string text;                 // the whole request, sent in one call
  std::size_t limit_bytes = 0;      // below response_buffer_bytes
};

// Binds, connects (3 s at most), sends and reads: each receive follows a wait of up to 5.6 s
// and a 100 ms pause, and appends to response. Returns 0 as soon as more than limit_bytes
// arrived, or a code above; a receive of 0 bytes (the server closed) ends like silence.
int fetch_page(platform::WaitClock& clock, const PageRequest& request, PageResponse& response);

}  // namespace tools
