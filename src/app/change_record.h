#pragma once
// The change record "chg_record.txt": one line per parameter write of the parameter
// settings command (the module's MAC, its old and new IP, mask and gateway), and for a
// wireless module a second line with its Wi-Fi settings and key, under the same counter.
// The file holds keys in clear, so it is created readable by its owner only.
#include <cstdint>
#include <ctime>
#include <string>

#include "config/wireless_frames.h"
#include "discovery/module_table.h"
#include "netenv/pending_parameters.h"

namespace app {

inline constexpr const char* change_record_file_name = "chg_record.txt";
constexpr std::uint32_t max_change_record_counter = 99999;

// Codes of append_change_record.
constexpr int change_record_not_opened = -1;
constexpr int change_record_not_written = -2;

std::string change_line(std::uint32_t counter, const std::tm& now, const discovery::ModuleRow& row,
                        const netenv::PendingParameters& pending);
std::string wifi_line(std::uint32_t counter, const config::WirelessBlock& block);

// Appends the lines for row (old values) and pending (new values) to the file at path, the
// Wi-Fi line when wifi is given. A file created here restarts the counter at 0. The lines
// reach the disk before counter advances (wrapping after 99999); a failure leaves it alone.
int append_change_record(const std::string& path, std::uint32_t& counter, const std::tm& now,
                         const discovery::ModuleRow& row, const netenv::PendingParameters& pending,
                         const config::WirelessBlock* wifi);

}  // namespace app
