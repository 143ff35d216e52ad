#include "discovery_datagrams.h"

#include <algorithm>

namespace sim {
namespace {

constexpr std::uint8_t device_query_command = 0xF6;
constexpr std::uint8_t device_reply_command = 0xF7;
constexpr std::uint8_t configuration_query_command = 0xF8;
constexpr std::uint8_t configuration_reply_command = 0xF9;
constexpr std::size_t device_reply_bytes = 30;
constexpr std::size_t configuration_reply_bytes = 4 + record_size_bytes;

std::vector<std::uint8_t> apply_reply_shape(std::vector<std::uint8_t> reply, const ReplyShape& shape) {
  if (shape.command) reply[3] = *shape.command;
  if (shape.length_bytes) reply.resize(*shape.length_bytes, 0);
  return reply;
}

}  // namespace

std::optional<DiscoveryQuery> parse_discovery_query(std::span<const std::uint8_t> d) {
  if (d.size() != 4 || d[0] != 0 || d[1] != 0 || d[2] != 0) return std::nullopt;
  if (d[3] == device_query_command) return DiscoveryQuery::device;
  if (d[3] == configuration_query_command) return DiscoveryQuery::configuration;
  return std::nullopt;
}

std::vector<std::uint8_t> encode_device_reply(const ModuleConfig& c) {
  std::vector<std::uint8_t> d(device_reply_bytes, 0);
  d[3] = device_reply_command;
  d[8] = static_cast<std::uint8_t>(c.device_type[0]);
  d[9] = static_cast<std::uint8_t>(c.device_type[1]);
  std::copy(c.mac.begin(), c.mac.end(), d.begin() + 24);
  return apply_reply_shape(std::move(d), c.device_reply);
}

std::vector<std::uint8_t> encode_configuration_reply(const ConfigurationRecord& record, const ReplyShape& shape) {
  std::vector<std::uint8_t> d(configuration_reply_bytes, 0);
  d[3] = configuration_reply_command;
  std::copy(record.begin(), record.end(), d.begin() + 4);
  return apply_reply_shape(std::move(d), shape);
}

}  // namespace sim
