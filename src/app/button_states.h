#pragma once
// The main window's run state and the one function that derives every button's caption,
// visibility and enabled state from it, the last mode layout and what the flows offer.
#include <array>
#include <string>

#include "ui/main_view.h"

namespace app {

// Polling and the upload server never run together.
enum class RunState { idle, polling, serving };

enum class StartCaption { initial, start, server };

// What the last confirmed basic settings laid out: the modes the buttons are shown for, or
// the repair layout over them, and the Start caption.
struct ButtonLayout {
  bool server = false;
  bool remote = false;
  bool repair = false;
  StartCaption start_caption = StartCaption::initial;
};

// What the finished flows offer the operator (a search that found modules offers Start, a
// stopped polling offers a new search...); a running polling or server withholds some of it.
struct ButtonOffers {
  bool search = true;
  bool start = false;
  bool parameter_settings = false;
  bool module_repair = true;
  bool remote_test = true;
};

struct ButtonState {
  ui::ButtonId id;
  bool shown;
  bool enabled;
};

struct ButtonStates {
  std::array<ButtonState, 8> buttons;
  std::string start_caption;
};

ButtonStates button_states(RunState run, const ButtonLayout& layout, const ButtonOffers& offers);

// Sets every button of the window to the states.
void show_button_states(ui::MainView& view, const ButtonStates& states);

}  // namespace app
