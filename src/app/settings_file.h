#pragma once
// The Settings file "qorvan24.cfg": the operator's settings, read when the main window is
// created and written when it closes. A 20-byte little-endian header, then an optional
// directory block that is kept and written back unchanged.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/output_file.h"
#include "ui/message_sink.h"

namespace app {

inline constexpr const char* settings_file_name = "qorvan24.cfg";
constexpr std::size_t settings_header_bytes = 20;
constexpr std::size_t max_directory_block_bytes = 260;
// The refresh period read from the file is held to the basic settings dialog's range.
constexpr std::uint16_t min_stored_refresh_period_ms = 1000;
constexpr std::uint16_t max_stored_refresh_period_ms = 10000;

// The values in memory; the defaults are those in force when the file is missing.
struct Settings {
  std::uint8_t baud_index = 1;  // 19200
  std::uint8_t data_file_saving = 0;
  std::uint8_t setup_answer_mode = 0;
  std::uint16_t refresh_period_ms = 1000;
  std::uint16_t expected_port = 10050;
  std::uint32_t change_record_counter = 0;
  std::vector<std::uint8_t> directory_block;  // at most max_directory_block_bytes

  bool operator==(const Settings&) const = default;
};

enum class SettingsDecodeStatus {
  ok,
  short_header,        // fewer than 20 bytes: every setting stays at its default
  unreadable_block,    // the header values are taken, the directory block is left empty
};

struct DecodedSettings {
  SettingsDecodeStatus status = SettingsDecodeStatus::ok;
  Settings settings;
};

// A directory block length N is unreadable when it is negative, when fewer than N bytes
// follow the header, or when N exceeds 260: the program never writes such a block, so a
// larger one is refused whole rather than cut to a path that would no longer be the one
// stored. Bytes after the block are ignored.
DecodedSettings decode_settings(std::span<const std::uint8_t> bytes);

// Header with mode byte 1 and zero reserved bytes, then the directory block (at most 260
// bytes of it).
std::vector<std::uint8_t> encode_settings(const Settings& settings);

// Codes of read_settings.
constexpr int settings_not_opened = -1;
constexpr int settings_unreadable = -2;
// Codes of write_settings.
constexpr int settings_not_created = -1;
constexpr int settings_header_not_written = -2;
constexpr int settings_block_not_written = -3;
constexpr int settings_not_replaced = -4;  // flushing or renaming the new file failed

// Reads the file at path into settings. A missing file (-1) or a short header (-2) leaves
// settings unchanged and shows nothing; an unreadable directory block shows "read file
// path1 err" and returns -2 with the header values taken. 0 on success.
int read_settings(const std::string& path, Settings& settings, ui::MessageSink& messages);

// Writes the whole file at path through a temporary file renamed over it, so that any
// failure leaves the old file as it was: -1 when the temporary file cannot be created, -2
// header not written ("write cfg err!"), -3 block not written ("write path err"), -4 not
// flushed or renamed ("rename cfg err!"), 0 on success.
int write_settings(const std::string& path, const Settings& settings, ui::MessageSink& messages);
// The same steps after the file is open, into any sink.
int write_settings(ByteSink& file, const Settings& settings, ui::MessageSink& messages);

}  // namespace app
