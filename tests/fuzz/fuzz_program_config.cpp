// Site configuration file bytes: parsing never reads out of bounds, keeps only valid host
// names, and numbers each problem with a line that exists in the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/program_config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const platform::ParsedConfig parsed = platform::parse_program_config({data, size});
  for (const auto& host : parsed.config.address_service_hosts) {
    if (!host.empty() && !platform::is_host_name(host)) __builtin_trap();
  }
  const auto lines = 1 + std::count(data, data + size, '\n');
  for (const auto& problem : parsed.problems) {
    if (problem.line < 1 || problem.line > lines) __builtin_trap();
  }
  return 0;
}
