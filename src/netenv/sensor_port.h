#pragma once
// The data port of the maker's sensor modules: what marks a module as one of them, and
// the port a parameter write gives a module.
#include <cstdint>

namespace netenv {

constexpr std::uint16_t sensor_data_port = 10050;

}  // namespace netenv
