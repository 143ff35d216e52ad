// The GUI tests need one QApplication for the whole run, on the offscreen platform.
#include <QApplication>
#include <gtest/gtest.h>

#include "support/offscreen_screen.h"

int main(int argc, char** argv) {
  auto screen_config = test::use_wide_offscreen_screen();
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
