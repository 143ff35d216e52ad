#pragma once
// Tells the operator, in one message box, what in the site configuration file was not used.
#include <string>

#include "platform/program_config_file.h"
#include "ui/message_sink.h"

namespace app {

constexpr int max_listed_config_problems = 20;

// The box text: the file's path, then one line per problem (at most
// max_listed_config_problems, then how many more). "" when there is nothing to report.
std::string config_problems_text(const platform::LoadedConfig& loaded);

// Shows that text once as a warning; nothing when the file had no problem.
void report_config_problems(const platform::LoadedConfig& loaded, ui::MessageSink& messages);

}  // namespace app
