#pragma once
// The module list: one fixed-layout line per listed row, in display order, telling mode,
// place, wireless, address, subnet, dynamic address, MAC, capabilities, port, gateway, mask.
#include <cstdint>
#include <optional>
#include <string>

#include "discovery/module_table.h"
#include "netenv/adapter_table.h"
#include "ui/main_view.h"

namespace discovery {

// The line of list position (0-based); remote_ip, when given, is shown instead of
// the row's own address. Empty when position or its row number is out of range.
std::string search_result_line(const ModuleTable& table, const netenv::AdapterTable& adapters, int position,
                               std::optional<platform::Ipv4Address> remote_ip = std::nullopt);

// Rebuilds the module list from the table (nothing when no row is listed): classifies the
// rows (not in remote mode, given by remote_ip), lists at most 32, selects the first.
void refresh_module_list(ModuleTable& table, const netenv::AdapterTable& adapters, std::uint16_t expected_port,
                         ui::MainView& view, std::optional<platform::Ipv4Address> remote_ip = std::nullopt);

}  // namespace discovery
