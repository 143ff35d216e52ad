#include "app/settings_file.h"

#include <algorithm>
#include <fstream>

#include "app/replacing_file.h"
#include "ui/texts.h"

namespace app {
namespace {

//  0      1      2      3      4      5      6 - 7    8 - 9    10-11   12 - 15   16-17  18-19  20 ..
// +------+------+------+------+------+------+--------+--------+-------+---------+------+------+-------+
// | mode | baud | data | rsvd |setup | rsvd |refresh | expect.| rsvd  | change  | N    | rsvd | block |
// | = 1  | index| file |      |answer|      |  ms    | port   |       | counter | s16  |      | N     |
// +------+------+------+------+------+------+--------+--------+-------+---------+------+------+-------+
constexpr std::size_t baud_offset = 1;
constexpr std::size_t data_file_saving_offset = 2;
constexpr std::size_t setup_answer_offset = 4;
constexpr std::size_t refresh_offset = 6;
constexpr std::size_t expected_port_offset = 8;
constexpr std::size_t counter_offset = 12;
constexpr std::size_t block_length_offset = 16;
constexpr std::uint8_t mode_byte = 1;

std::uint16_t get_u16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

std::uint32_t get_u32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(get_u16(bytes, offset)) | static_cast<std::uint32_t>(get_u16(bytes, offset + 2)) << 16;
}

void put_u16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put_u32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  put_u16(bytes, offset, static_cast<std::uint16_t>(value));
  put_u16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

void show_file_error(ui::MessageSink& messages, const char* text) {
  messages.show_message(ui::texts::caption_file_error, text, ui::Icon::none, ui::Buttons::ok);
}

}  // namespace

DecodedSettings decode_settings(std::span<const std::uint8_t> bytes) {
  DecodedSettings decoded;
  if (bytes.size() < settings_header_bytes) {
    decoded.status = SettingsDecodeStatus::short_header;
    return decoded;
  }
  Settings& settings = decoded.settings;
  settings.baud_index = bytes[baud_offset];
  settings.data_file_saving = bytes[data_file_saving_offset];
  settings.setup_answer_mode = bytes[setup_answer_offset];
  // A period of 0 would run the cycles back to back: held to what the basic settings allow.
  settings.refresh_period_ms =
      std::clamp(get_u16(bytes, refresh_offset), min_stored_refresh_period_ms, max_stored_refresh_period_ms);
  settings.expected_port = get_u16(bytes, expected_port_offset);
  settings.change_record_counter = get_u32(bytes, counter_offset);

  const int block_length = static_cast<std::int16_t>(get_u16(bytes, block_length_offset));
  if (block_length == 0) return decoded;
  auto block = bytes.subspan(settings_header_bytes);
  if (block_length < 0 || static_cast<std::size_t>(block_length) > max_directory_block_bytes ||
      block.size() < static_cast<std::size_t>(block_length)) {
    decoded.status = SettingsDecodeStatus::unreadable_block;
    return decoded;
  }
  settings.directory_block.assign(block.begin(), block.begin() + block_length);
  return decoded;
}

std::vector<std::uint8_t> encode_settings(const Settings& settings) {
  const std::size_t block_length = std::min(settings.directory_block.size(), max_directory_block_bytes);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(settings_header_bytes + block_length);  // one allocation (and no false -Warray-bounds in GCC 12)
  bytes.resize(settings_header_bytes, 0);
  bytes[0] = mode_byte;
  bytes[baud_offset] = settings.baud_index;
  bytes[data_file_saving_offset] = settings.data_file_saving;
  bytes[setup_answer_offset] = settings.setup_answer_mode;
  put_u16(bytes, refresh_offset, settings.refresh_period_ms);
  put_u16(bytes, expected_port_offset, settings.expected_port);
  put_u32(bytes, counter_offset, settings.change_record_counter);
  put_u16(bytes, block_length_offset, static_cast<std::uint16_t>(block_length));
  bytes.insert(bytes.end(), settings.directory_block.begin(), settings.directory_block.begin() + block_length);
  return bytes;
}

int read_settings(const std::string& path, Settings& settings, ui::MessageSink& messages) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return settings_not_opened;
  // Nothing past the largest block that can be taken matters.
  std::vector<std::uint8_t> bytes(settings_header_bytes + max_directory_block_bytes);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(file.gcount()));

  DecodedSettings decoded = decode_settings(bytes);
  switch (decoded.status) {
    case SettingsDecodeStatus::short_header:
      return settings_unreadable;
    case SettingsDecodeStatus::unreadable_block:
      settings = decoded.settings;
      show_file_error(messages, ui::texts::read_path_error);
      return settings_unreadable;
    case SettingsDecodeStatus::ok:
      settings = decoded.settings;
      return 0;
  }
  return settings_unreadable;
}

int write_settings(const std::string& path, const Settings& settings, ui::MessageSink& messages) {
  ReplacingFile file(path);
  if (!file.is_open()) return settings_not_created;
  if (const int written = write_settings(file, settings, messages); written != 0) return written;
  if (!file.commit()) {
    show_file_error(messages, ui::texts::replace_cfg_error);
    return settings_not_replaced;
  }
  return 0;
}

int write_settings(ByteSink& file, const Settings& settings, ui::MessageSink& messages) {
  const std::vector<std::uint8_t> bytes = encode_settings(settings);
  std::span<const std::uint8_t> all(bytes);
  if (!file.write_all(all.first(settings_header_bytes))) {
    show_file_error(messages, ui::texts::write_cfg_error);
    return settings_header_not_written;
  }
  if (all.size() > settings_header_bytes && !file.write_all(all.subspan(settings_header_bytes))) {
    show_file_error(messages, ui::texts::write_path_error);
    return settings_block_not_written;
  }
  return 0;
}

}  // namespace app
