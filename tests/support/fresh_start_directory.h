#pragma once
// A fresh temporary directory made the current one for the test's lifetime: the program
// takes the current directory as its start directory and keeps its files there. The site
// configuration is looked for there and in the directory's own XDG config home only, so a
// quorvane.conf of the user running the tests never reaches them.
#include <optional>
#include <string>

#include "support/temporary_directory.h"

namespace test {

class FreshStartDirectory : public TemporaryDirectory {
 public:
  FreshStartDirectory();
  ~FreshStartDirectory();

 private:
  std::string previous_;
  std::optional<std::string> previous_config_;
  std::optional<std::string> previous_xdg_config_home_;
};

}  // namespace test
