#pragma once
// The main window's outer size is 1024 x 720, its frame included, so that it fits a
// 1024-pixel-wide screen. The client area is what is left inside the window manager's
// frame, unless that is too small for the controls: then the client area stays 1024 x 720
// and the frame lies outside it.
namespace ui::qt {

constexpr int window_outer_width = 1024;
constexpr int window_outer_height = 720;
// The two lists end 1002 pixels from the left, the data list 632 from the top; the
// buttons, 35 high, stand 40 above the client area's bottom border line.
constexpr int min_client_width = 1004;
constexpr int min_client_height = 677;

struct ClientSize {
  int width = window_outer_width;
  int height = window_outer_height;
  bool frame_fits = true;  // false: the whole window is larger than 1024 x 720

  bool operator==(const ClientSize&) const = default;
};

// The client area inside a frame that adds frame_width and frame_height pixels.
constexpr ClientSize client_size_within_frame(int frame_width, int frame_height) {
  const int width = window_outer_width - (frame_width > 0 ? frame_width : 0);
  const int height = window_outer_height - (frame_height > 0 ? frame_height : 0);
  if (width < min_client_width || height < min_client_height) return {window_outer_width, window_outer_height, false};
  return {width, height, true};
}

}  // namespace ui::qt
