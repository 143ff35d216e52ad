#include "support/fresh_start_directory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace test {

FreshStartDirectory::FreshStartDirectory() : previous_(std::filesystem::current_path().string()) {
  EXPECT_EQ(chdir(path().c_str()), 0);
}

FreshStartDirectory::~FreshStartDirectory() { EXPECT_EQ(chdir(previous_.c_str()), 0); }

}  // namespace test
