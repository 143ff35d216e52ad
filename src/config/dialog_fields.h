#pragma once
// How the configuration dialogs read their fields: a field holds only as many characters as
// its buffer (longer text is cut), numbers read as the window system's number fields read
// them, and addresses pass a structure test before they are converted.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ipv4_address.h"

namespace config {

// The first max_chars bytes of text.
std::string first_chars(const std::string& text, std::size_t max_chars);

// A number field: leading blanks, a '-' when signed, decimal digits and nothing else.
// Anything else reads as 0; values beyond 9 digits are held at 999999999.
long read_number(const std::string& text, bool is_signed);

// Codes of read_address_field.
constexpr int address_structure_error = -1;  // empty, or fewer than three '.'
constexpr int address_not_convertible = -2;  // no dotted IPv4 address, or 255.255.255.255

constexpr std::size_t address_field_chars = 19;

// Reads the first address_field_chars characters of an address field into address.
int read_address_field(const std::string& text, platform::Ipv4Address& address);

}  // namespace config
