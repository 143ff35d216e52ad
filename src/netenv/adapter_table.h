#pragma once
// The program's picture of the PC's network: up to 6 adapters and up to 10 IPv4 address
// entries, built once per run from the operating system's adapter list.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/adapters.h"
#include "platform/ipv4_address.h"
#include "ui/message_sink.h"

namespace netenv {

constexpr int max_adapters = 6;
constexpr int max_address_entries = 10;
constexpr int max_capture_devices = 6;
constexpr int unknown_adapter = 9;  // capture device not yet tied to an adapter
constexpr int ppp_adapter_type = platform::adapter_type_ppp;  // listed as a PPP device, not by MAC

struct AdapterEntry {
  std::array<std::uint8_t, 6> mac{};
  std::string name;  // at most 149 characters
  int name_length = 0;
  int type = 0;
};

struct AddressEntry {
  platform::Ipv4Address ip;
  platform::Ipv4Address mask;
  int adapter = 0;
  int host_capacity = 0;
  int last_host = 0;
  int first_host = 1;
  int next_host = 1;

  platform::Ipv4Address network() const { return ip & mask; }
  platform::Ipv4Address broadcast() const { return (ip & mask) | ~mask; }
};

struct AdapterTable {
  std::array<AdapterEntry, max_adapters> adapters{};
  std::array<AddressEntry, max_address_entries> addresses{};
  int adapter_count = 0;
  int address_count = 0;
  bool adapter_table_valid = false;
  std::array<int, max_capture_devices> capture_device_adapter{};  // set to unknown_adapter at start
  bool capture_devices_matched = false;
  int matched_device_count = 0;

  AdapterTable() { capture_device_adapter.fill(unknown_adapter); }
};

// Codes of build_adapter_table.
constexpr int build_no_memory = -1;
constexpr int build_query_failed = -2;
constexpr int build_no_data = -3;
constexpr int build_no_address_entry = -5;
constexpr int build_no_adapter = -6;
constexpr int build_no_usable_address = -7;

// Pairs capture devices with the adapters of a freshly built table (match_capture_devices).
using CaptureMatcher = std::function<void(AdapterTable&)>;

// Fills table from the adapter list (the platform's, or a fake one in tests): at most 10
// address entries of at most 6 adapters, then drops 0.0.0.0/0.0.0.0 entries and the
// adapters whose first entry is one, shows the small-subnet warning through messages,
// runs match_capture_devices when given and sets adapter_table_valid. Returns 0 or a
// negative code above; on failure table is left as it was.
int build_adapter_table(AdapterTable& table, const platform::AdapterListing& listing, ui::MessageSink& messages,
                        const CaptureMatcher& match_capture_devices = {});

// What a dialog calls to have the Adapter table built when it is not valid yet: 0 when the
// table is ready, else the build's negative code. The program's builder asks the kernel
// and matches the capture devices; tests give their own.
using AdapterTableBuilder = std::function<int(ui::MessageSink& messages)>;

}  // namespace netenv
