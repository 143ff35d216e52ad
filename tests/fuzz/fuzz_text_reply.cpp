// Text replies from the network: the bytes are checked as a stored reply, decoded by the
// three reading decoders at every offset, and stored in a reading record the way the
// polling cycle stores them, then shown as a text row and as an SNMP row. Nothing reads
// out of bounds and a listed row has a line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "polling/query_frames.h"
#include "polling/reading_decoders.h"
#include "polling/reading_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> reply(data, size);
  polling::text_reply_valid(reply);
  polling::offers_extended_reading(reply);

  std::string line;
  for (std::size_t offset = 0; offset <= size + 1; ++offset) {
    polling::temperature_decoder(reply, offset, line);
    polling::humidity_decoder(reply, offset, line);
    polling::digital_input_decoder(reply, offset, line);
  }

  discovery::ModuleTable modules;
  polling::PollingTable polling;
  modules.shown_count = 1;
  modules.rows[0].sensor_module = true;
  polling::PollingRow& row = polling.rows[0];
  row.connected = polling::ready;
  row.status = 1;
  const std::size_t stored = size < polling::extended_reply_bytes ? size : polling::extended_reply_bytes;
  for (std::size_t i = 0; i < stored; ++i) row.record[i] = data[i];
  row.record[polling::record_length_index] = static_cast<std::uint8_t>(size);
  for (std::uint8_t mode : {discovery::tcp, discovery::snmp}) {
    modules.rows[0].work_mode = mode;
    for (bool extended : {false, true}) {
      row.extended = extended;
      if (polling::reading_line(modules, polling, 0, false).empty()) std::abort();
    }
  }
  return 0;
}
