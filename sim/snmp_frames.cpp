#include "snmp_frames.h"

#include <algorithm>
#include <cmath>

namespace sim {
namespace {

constexpr std::uint8_t tag_integer = 0x02;
constexpr std::uint8_t tag_octet_string = 0x04;
constexpr std::uint8_t tag_null = 0x05;
constexpr std::uint8_t tag_oid = 0x06;
constexpr std::uint8_t tag_sequence = 0x30;
constexpr std::uint8_t tag_get_request = 0xA0;
constexpr std::uint8_t tag_get_response = 0xA2;
constexpr std::uint8_t not_available = 0xEE;
constexpr std::size_t name_value_bytes = 24;

const std::vector<std::uint8_t> name_oid{0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x05, 0x00};
const std::vector<std::uint8_t> reading_oid{0x2B, 0x06, 0x01, 0x04, 0x01, 0xBC, 0x61, 0x01, 0x03, 0x01, 0x05, 0x00};

// Reads one TLV with a short or one-byte long length; advances `in` past it.
bool read_tlv(std::span<const std::uint8_t>& in, std::uint8_t tag, std::span<const std::uint8_t>& value) {
  if (in.size() < 2 || in[0] != tag) return false;
  std::size_t length = in[1];
  std::size_t header = 2;
  if (length == 0x81) {
    if (in.size() < 3) return false;
    length = in[2];
    header = 3;
  } else if (length > 0x7F) {
    return false;
  }
  if (in.size() < header + length) return false;
  value = in.subspan(header, length);
  in = in.subspan(header + length);
  return true;
}

// Every length here stays below 128: the short form.
void append_tlv(std::vector<std::uint8_t>& out, std::uint8_t tag, const std::vector<std::uint8_t>& value) {
  out.push_back(tag);
  out.push_back(static_cast<std::uint8_t>(value.size()));
  out.insert(out.end(), value.begin(), value.end());
}

std::vector<std::uint8_t> tlv(std::uint8_t tag, const std::vector<std::uint8_t>& value) {
  std::vector<std::uint8_t> out;
  append_tlv(out, tag, value);
  return out;
}

std::vector<std::uint8_t> concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::vector<std::uint8_t> to_vector(std::span<const std::uint8_t> s) { return {s.begin(), s.end()}; }

}  // namespace

std::optional<SnmpRequest> parse_snmp_request(std::span<const std::uint8_t> in) {
  std::span<const std::uint8_t> message, version, community, pdu, request_id, error_status, error_index, list,
      binding, oid, value;
  if (!read_tlv(in, tag_sequence, message)) return std::nullopt;
  if (!read_tlv(message, tag_integer, version) || !read_tlv(message, tag_octet_string, community) ||
      !read_tlv(message, tag_get_request, pdu)) {
    return std::nullopt;
  }
  if (!read_tlv(pdu, tag_integer, request_id) || !read_tlv(pdu, tag_integer, error_status) ||
      !read_tlv(pdu, tag_integer, error_index) || !read_tlv(pdu, tag_sequence, list) ||
      !read_tlv(list, tag_sequence, binding) || !read_tlv(binding, tag_oid, oid) ||
      !read_tlv(binding, tag_null, value)) {
    return std::nullopt;
  }
  // Short communities and ids keep every length of the reply in the one-byte form.
  if (community.size() > 32 || request_id.size() > 4 || version.size() > 4) return std::nullopt;
  SnmpRequest request{SnmpObject::name, to_vector(version), to_vector(community), to_vector(request_id)};
  if (std::ranges::equal(oid, reading_oid)) {
    request.object = SnmpObject::reading;
  } else if (!std::ranges::equal(oid, name_oid)) {
    return std::nullopt;
  }
  return request;
}

std::array<std::uint8_t, 4> encode_snmp_values(const ModuleConfig& c) {
  std::array<std::uint8_t, 4> v{not_available, not_available, 0, c.digital_inputs};
  if (c.temperature_c) {
    const long tenths = std::lround(std::fabs(*c.temperature_c) * 10);
    const bool negative = *c.temperature_c < 0 && tenths > 0;
    v[0] = static_cast<std::uint8_t>(std::min(tenths / 10, 127L) | (negative ? 0x80 : 0));
    v[2] = static_cast<std::uint8_t>((tenths % 10) << 4);
  }
  if (c.humidity_percent) {
    const long tenths = std::lround(*c.humidity_percent * 10);
    v[1] = static_cast<std::uint8_t>(std::min(tenths / 10, 255L));
    v[2] = static_cast<std::uint8_t>(v[2] | tenths % 10);
  }
  return v;
}

std::vector<std::uint8_t> encode_snmp_reply(const SnmpRequest& request, const ModuleConfig& c) {
  std::vector<std::uint8_t> value;
  if (request.object == SnmpObject::name) {
    std::vector<std::uint8_t> name(c.snmp_name.begin(), c.snmp_name.end());
    if (name.size() < name_value_bytes) name.resize(name_value_bytes, ' ');
    value = tlv(tag_octet_string, name);
  } else {
    const auto v = encode_snmp_values(c);
    value = tlv(tag_integer, {v.begin(), v.end()});
  }
  const auto& oid = request.object == SnmpObject::name ? name_oid : reading_oid;
  const auto binding = tlv(tag_sequence, concat({tlv(tag_oid, oid), value}));
  const auto pdu = tlv(tag_get_response, concat({tlv(tag_integer, request.request_id), tlv(tag_integer, {0}),
                                                 tlv(tag_integer, {0}), tlv(tag_sequence, binding)}));
  auto reply =
      tlv(tag_sequence, concat({tlv(tag_integer, request.version), tlv(tag_octet_string, request.community), pdu}));
  if (request.object == SnmpObject::reading && c.data_reply_length_bytes) {
    reply.resize(*c.data_reply_length_bytes, 0);
  }
  return reply;
}

}  // namespace sim
