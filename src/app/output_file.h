#pragma once
// Where the settings, data and change record files are written: a sink that takes whole
// pieces (ReplacingFile in the program). Tests put a sink that fails at a chosen piece in
// its place.
#include <cstdint>
#include <span>
#include <string_view>

namespace app {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes every byte; false on an error or when not all of them could be written.
  virtual bool write_all(std::span<const std::uint8_t> bytes) = 0;
  bool write_text(std::string_view text) {
    return write_all({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  }
};

}  // namespace app
