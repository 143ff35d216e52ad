#include "netenv/adapter_table.h"

#include <algorithm>

#include "ui/texts.h"

namespace netenv {
namespace {

constexpr std::size_t max_name_length = 149;
constexpr int small_subnet_capacity = 3;  // at most 2 assignable host numbers
constexpr int large_subnet_capacity = 127;

// Text that is not an address counts as 0.0.0.0, which filtering then drops.
platform::Ipv4Address address_of(const std::string& text) {
  return platform::Ipv4Address::parse(text).value_or(platform::Ipv4Address{});
}

bool usable(const AddressEntry& entry) { return !entry.ip.is_zero() || !entry.mask.is_zero(); }

struct Taken {
  std::array<AdapterEntry, max_adapters> adapters{};
  std::array<AddressEntry, max_address_entries> addresses{};
  int adapter_count = 0;
  int address_count = 0;
};

Taken walk(const std::vector<platform::PlatformAdapter>& listed) {
  Taken taken;
  for (const auto& source : listed) {
    if (taken.address_count == max_address_entries || taken.adapter_count == max_adapters) break;
    AdapterEntry& adapter = taken.adapters[taken.adapter_count];
    adapter.type = source.type;
    adapter.mac = source.mac;
    bool named = false;
    for (const auto& [ip, mask] : source.addresses) {
      if (taken.address_count == max_address_entries) break;
      AddressEntry& entry = taken.addresses[taken.address_count++];
      entry.ip = address_of(ip);
      entry.mask = address_of(mask);
      entry.adapter = taken.adapter_count;
      if (!named) {
        adapter.name = source.name.substr(0, max_name_length);
        adapter.name_length = static_cast<int>(adapter.name.size());
        named = true;
      }
    }
    ++taken.adapter_count;
  }
  return taken;
}

// Keeps the adapters whose first entry is usable and the usable entries, both in order.
// A usable entry of a removed adapter (its first entry was 0.0.0.0) is kept too; it then
// refers to the kept adapter that took its adapter's place, or to the last kept adapter,
// so that every entry names a valid adapter.
Taken filter(const Taken& taken) {
  Taken kept;
  std::array<int, max_adapters> new_position{};
  for (int a = 0; a < taken.adapter_count; ++a) {
    new_position[a] = kept.adapter_count;
    auto first = std::find_if(taken.addresses.begin(), taken.addresses.begin() + taken.address_count,
                              [a](const AddressEntry& entry) { return entry.adapter == a; });
    bool stays = first != taken.addresses.begin() + taken.address_count && usable(*first);
    if (stays) kept.adapters[kept.adapter_count++] = taken.adapters[a];
  }
  if (kept.adapter_count == 0) return kept;
  for (int e = 0; e < taken.address_count; ++e) {
    if (!usable(taken.addresses[e])) continue;
    AddressEntry& entry = kept.addresses[kept.address_count++];
    entry = taken.addresses[e];
    entry.adapter = std::min(new_position[entry.adapter], kept.adapter_count - 1);
  }
  return kept;
}

// Host-number counters for address assignment; warns about subnets with 2 or fewer
// assignable hosts, each box repeating the paragraphs of the earlier ones.
void count_hosts(Taken& kept, ui::MessageSink& messages) {
  std::string warning;
  for (int e = 0; e < kept.address_count; ++e) {
    AddressEntry& entry = kept.addresses[e];
    entry.host_capacity = static_cast<int>(std::min<std::uint32_t>((~entry.mask).host_order(), 255));
    if (entry.host_capacity > large_subnet_capacity) {
      entry.last_host = 254;
    } else {
      if (entry.host_capacity <= small_subnet_capacity) {
        warning += ui::texts::small_subnet_prefix + entry.ip.dotted() + "/" + entry.mask.dotted() + "\r\n" +
                   ui::texts::small_subnet_advice;
        messages.show_message(ui::texts::caption_notice, warning, ui::Icon::none, ui::Buttons::ok);
      }
      entry.last_host = entry.host_capacity - 1;
    }
    entry.first_host = 1;
    entry.next_host = 1;
  }
}

}  // namespace

int build_adapter_table(AdapterTable& table, const platform::AdapterListing& listing, ui::MessageSink& messages,
                        const CaptureMatcher& match_capture_devices) {
  if (listing.status != 0) return listing.status;
  if (listing.adapters.empty()) return build_no_data;
  Taken taken = walk(listing.adapters);
  // Every walked adapter counts as taken, so a walk without entries always has adapters
  // and build_no_adapter cannot arise here.
  if (taken.address_count == 0) return build_no_address_entry;
  Taken kept = filter(taken);
  if (kept.adapter_count == 0) return build_no_usable_address;
  count_hosts(kept, messages);

  table.adapters = kept.adapters;
  table.addresses = kept.addresses;
  table.adapter_count = kept.adapter_count;
  table.address_count = kept.address_count;
  if (match_capture_devices) match_capture_devices(table);
  table.adapter_table_valid = true;
  return 0;
}

}  // namespace netenv
