#pragma once
// A fresh temporary directory made the current one for the test's lifetime: the program
// takes the current directory as its start directory and keeps its files there.
#include <string>

#include "support/temporary_directory.h"

namespace test {

class FreshStartDirectory : public TemporaryDirectory {
 public:
  FreshStartDirectory();
  ~FreshStartDirectory();

 private:
  std::string previous_;
};

}  // namespace test
