#pragma once
// Bounds-checked reads of fixed-offset fields from a byte span. A read outside the span
// gives 0 and fails the reader; once failed it stays failed and every later read gives 0,
// so a decoder may read all its fields and check ok() once.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/ipv4_address.h"

namespace platform {

class ByteReader {
 public:
  constexpr explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  constexpr std::uint8_t u8(std::size_t at) { return fits(at, 1) ? bytes_[at] : 0; }
  constexpr std::uint16_t be16(std::size_t at) {
    return fits(at, 2) ? static_cast<std::uint16_t>(bytes_[at] << 8 | bytes_[at + 1]) : 0;
  }
  constexpr std::uint16_t le16(std::size_t at) {
    return fits(at, 2) ? static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8) : 0;
  }
  constexpr std::uint32_t be32(std::size_t at) {
    return fits(at, 4) ? std::uint32_t{be16(at)} << 16 | be16(at + 2) : 0;
  }
  // Four bytes in wire order (first octet first) as an address.
  constexpr Ipv4Address ipv4(std::size_t at) { return Ipv4Address::from_host_order(be32(at)); }
  constexpr bool ok() const { return ok_; }

 private:
  constexpr bool fits(std::size_t at, std::size_t width) {
    if (ok_ && (at > bytes_.size() || width > bytes_.size() - at)) ok_ = false;
    return ok_;
  }

  std::span<const std::uint8_t> bytes_;
  bool ok_ = true;
};

}  // namespace platform
