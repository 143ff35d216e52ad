#pragma once
// Whether the Pending parameter set asks a module for anything it does not already have.
// It reads a Module table row, so it lives beside the table rather than with the checks.
#include "discovery/module_table.h"
#include "netenv/pending_parameters.h"

namespace discovery {

// Codes of parameters_unchanged: the first difference found.
constexpr int changed_wireless = -1;
constexpr int changed_address = -2;  // module IP, gateway or host bits
constexpr int changed_work_mode = -3;
constexpr int changed_upload_port_or_interval = -4;
constexpr int changed_port = -5;
constexpr int changed_baud = -6;
constexpr int changed_to_ip_mode = -9;
constexpr int changed_server_ip = -10;
constexpr int changed_to_name_mode = -11;
constexpr int changed_dns_ip = -12;
constexpr int changed_server_name = -13;

// 0 when pending holds nothing new for row, else the code of the first difference. In
// remote mode only the work mode is compared. The module code is not compared.
int parameters_unchanged(const netenv::PendingParameters& pending, const ModuleRow& row, bool wireless_changed,
                         bool remote_mode);

}  // namespace discovery
