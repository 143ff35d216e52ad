#pragma once
// The records of the machine-readable formats: one per listed module (search), per module
// and cycle (poll) and per upload (serve), each as a CSV row under its header or as one
// JSON object.
#include <cstdint>
#include <optional>
#include <string>

#include "discovery/module_table.h"
#include "netenv/adapter_table.h"
#include "polling/polling_table.h"
#include "polling/reading_lines.h"
#include "server/upload_server.h"

namespace cli {

// A listed module as the search found it.
struct ModuleFields {
  int number = 0;  // list position + 1
  std::string ip;
  int adapter = 0;  // number of the PC's adapter it answered on (from 1); 0 when unknown
  std::string adapter_address;
  std::string mac;
  std::string work_mode;       // TCP, UDP, SNMP, AUDP, ATCP or none
  std::optional<int> port;     // none for a module seen only by its ARP frames
  std::string gateway;         // for such a module: the address it asked for
  std::optional<std::string> mask;
  bool wireless = false;
  bool raw_only = false;
  bool sensor_module = false;
};

ModuleFields module_fields(const discovery::ModuleTable& modules, const netenv::AdapterTable& adapters, int position);
std::string module_csv_header();
std::string module_csv(const ModuleFields& module);
std::string module_json(const ModuleFields& module);

// A module's outcome in one polling cycle.
struct PollFields {
  std::string timestamp;  // ISO 8601 with offset
  std::string ip;
  std::string mac;
  std::string name;  // an SNMP module's name as it sent it; empty for text modules
  polling::ModuleReading reading;
  std::string raw_hex;  // the stored reply (text modules) or name and values (SNMP)
};

PollFields poll_fields(const discovery::ModuleTable& modules, const polling::PollingTable& polling, int position,
                       bool first, const std::string& timestamp);
// "ok", "no response", "not in subnet", ...
const char* status_text(polling::ReadingStatus status);
std::string poll_csv_header();
std::string poll_csv(const PollFields& fields);
std::string poll_json(const PollFields& fields);

std::string upload_csv_header();
std::string upload_csv(const std::string& timestamp, const server::UploadEvent& event);
std::string upload_json(const std::string& timestamp, const server::UploadEvent& event);

}  // namespace cli
