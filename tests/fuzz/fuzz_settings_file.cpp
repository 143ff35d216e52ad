// Settings file bytes from disk: decoding never reads out of bounds, never keeps more than
// the 260-byte directory block, and what it accepts encodes back to the same settings.
#include <cstddef>
#include <cstdint>

#include "app/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const app::DecodedSettings decoded = app::decode_settings({data, size});
  if (decoded.settings.directory_block.size() > app::max_directory_block_bytes) __builtin_trap();
  if (decoded.status == app::SettingsDecodeStatus::ok) {
    const auto again = app::decode_settings(app::encode_settings(decoded.settings));
    if (again.status != app::SettingsDecodeStatus::ok || !(again.settings == decoded.settings)) __builtin_trap();
  }
  return 0;
}
