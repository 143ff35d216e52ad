// The main window's client area inside the window manager's frame: the whole window fits
// 1024 x 720 where the controls still fit inside.
#include "ui/qt/window_frame.h"

#include <gtest/gtest.h>

namespace {

using ui::qt::ClientSize;
using ui::qt::client_size_within_frame;

TEST(WindowFrame, TheClientAreaIsWhatTheFrameLeavesOf1024By720) {
  struct Case {
    const char* what;
    int frame_width, frame_height;
    ClientSize client;
  } cases[] = {
      {"no frame (no window manager)", 0, 0, {1024, 720, true}},
      {"wide border and tall title bar", 20, 43, {1004, 677, true}},
      {"a border too wide for the lists", 21, 24, {1024, 720, false}},
      {"a title bar too tall for the buttons", 2, 44, {1024, 720, false}},
  };
  for (const Case& c : cases) EXPECT_EQ(client_size_within_frame(c.frame_width, c.frame_height), c.client) << c.what;
}

}  // namespace
