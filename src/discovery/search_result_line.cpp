#include "discovery/search_result_line.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "netenv/address_checks.h"

namespace discovery {

namespace {

// Appends one printf-formatted piece of a line; every piece is far shorter than 32 bytes.
__attribute__((format(printf, 2, 3))) void append(std::string& text, const char* format, ...) {
  char piece[32];
  va_list arguments;
  va_start(arguments, format);
  const int n = std::vsnprintf(piece, sizeof piece, format, arguments);
  va_end(arguments);
  if (n > 0) text.append(piece, std::min(static_cast<std::size_t>(n), sizeof piece - 1));
}

const char* mode_mark(const ModuleRow& row) {
  if (row.raw_only) return "  ";
  switch (row.work_mode) {
    case tcp: return " T";
    case udp: return " U";
    case snmp: return " S";
    case audp: return "AU";
    case atcp: return "AT";
    default: return " E";
  }
}

const char* capability_mark(const ModuleRow& row) {
  if (row.raw_only || (!row.active_capable && !row.snmp_capable)) return "> ";
  return row.active_capable ? ">A" : ">S";
}

// Rows listed "AU" or "AT".
bool listed_as_active(const ModuleRow& row) {
  return !row.raw_only && (row.work_mode == audp || row.work_mode == atcp);
}

}  // namespace

std::string search_result_line(const ModuleTable& table, const netenv::AdapterTable& adapters, int position,
                               std::optional<platform::Ipv4Address> remote_ip) {
  if (position < 0 || position >= max_rows) return {};
  const int r = table.display_order[position];
  if (r < 0 || r >= max_rows) return {};
  const ModuleRow& row = table.rows[r];
  // A row without an address entry (a captured frame on an adapter without one) shows
  // the empty entry: adapter 1, address 0.
  const netenv::AddressEntry* found_entry = subnet_entry(row, adapters);
  const netenv::AddressEntry entry = found_entry != nullptr ? *found_entry : netenv::AddressEntry{};
  const platform::Ipv4Address ip = remote_ip.value_or(row.ip);
  const platform::Ipv4Address own_ip = entry.ip;
  const auto& mac = row.mac;

  std::string text;
  append(text, "%02d ", position + 1);
  text += mode_mark(row);
  text += !row.raw_only && position < table.inside_count ? " -" : " *";
  text += row.wireless ? "W " : "  ";
  append(text, "%3u.%3u.%3u.%3u ", ip.octet(0), ip.octet(1), ip.octet(2), ip.octet(3));
  append(text, "[%d:", entry.adapter + 1);
  append(text, "%3u.%3u.xx", own_ip.octet(0), own_ip.octet(1));
  text += !row.raw_only && row.dynamic_ip ? "]D " : "]  ";
  append(text, "<%02X%02X%02X-%02X%02X%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
  text += capability_mark(row);
  text += " ";
  if (row.raw_only) {
    text += " ----- <";
  } else {
    append(text, " %5d <", row.port);
  }
  text += row.gateway.dotted() + "/";
  text += row.raw_only ? "--.--.--.-->" : netenv::mask_from_host_bits(row.host_bits).dotted() + ">";
  return text;
}

void refresh_module_list(ModuleTable& table, const netenv::AdapterTable& adapters, std::uint16_t expected_port,
                         ui::MainView& view, std::optional<platform::Ipv4Address> remote_ip) {
  if (table.shown_count <= 0) return;
  if (!remote_ip) classify_rows(table, adapters, expected_port);
  table.shown_count = std::min(table.shown_count, max_rows);
  view.list_clear(ui::ListId::modules);
  for (int a = 0; a < table.shown_count; ++a) {
    const int r = table.display_order[a];
    if (r >= 0 && r < max_rows && listed_as_active(table.rows[r])) table.active_module_seen = true;
    view.list_add(ui::ListId::modules, search_result_line(table, adapters, a, remote_ip));
  }
  view.list_select(ui::ListId::modules, 0);
}

}  // namespace discovery
