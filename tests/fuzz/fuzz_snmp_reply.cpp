// SNMP replies from the network, read at fixed positions: a name is at most 19 bytes. The
// name and values are stored the way the polling cycle stores them and shown as an SNMP row.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "polling/reading_lines.h"
#include "polling/snmp_replies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> reply(data, size);
  const polling::SnmpName name = polling::parse_snmp_name(reply);
  if (name.length < 0 || name.length > polling::snmp_name_max_bytes) std::abort();
  const polling::SnmpReading reading = polling::parse_snmp_reading(reply);

  discovery::ModuleTable modules;
  polling::PollingTable polling;
  modules.shown_count = 1;
  modules.rows[0].sensor_module = true;
  modules.rows[0].work_mode = discovery::snmp;
  polling::PollingRow& row = polling.rows[0];
  row.connected = polling::ready;
  row.status = 1;
  row.record[0] = static_cast<std::uint8_t>(name.length);
  std::copy(name.bytes.begin(), name.bytes.begin() + name.length, row.record.begin() + 1);
  std::copy(reading.values.begin(), reading.values.end(), row.record.begin() + 1 + name.length);
  if (polling::reading_line(modules, polling, 0, false).empty()) std::abort();
  return 0;
}
