#pragma once
// Reads the emulator's config text: one "[module]" section per module, "key = value" lines,
// full-line "#" comments. Every module needs a mac; the other keys have defaults.
#include <string>
#include <string_view>
#include <vector>

#include "module_config.h"

namespace sim {

struct ConfigParseResult {
  std::vector<ModuleConfig> modules;
  std::string error;  // empty on success, else "FILE:LINE: what is wrong"
};

ConfigParseResult parse_config_text(std::string_view text, const std::string& file_name);

}  // namespace sim
