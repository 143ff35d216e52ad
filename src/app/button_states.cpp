#include "app/button_states.h"

#include "ui/texts.h"

namespace app {

ButtonStates button_states(RunState run, const ButtonLayout& layout, const ButtonOffers& offers) {
  using ui::ButtonId;
  const bool idle = run == RunState::idle;
  const bool polling = run == RunState::polling;
  ButtonStates states{{{
                          {ButtonId::search, !layout.server && !layout.remote, offers.search && !polling},
                          {ButtonId::basic_settings, true, true},
                          {ButtonId::start, true, offers.start && idle},
                          {ButtonId::stop, true, !idle},
                          {ButtonId::exit, true, true},
                          {ButtonId::parameter_settings, !(layout.server && !layout.remote),
                           offers.parameter_settings && !polling},
                          {ButtonId::module_repair, layout.repair, offers.module_repair && !polling},
                          {ButtonId::remote_test, layout.remote && !layout.repair, offers.remote_test && idle},
                      }},
                      ui::texts::button_start_initial};
  if (layout.start_caption == StartCaption::start) states.start_caption = ui::texts::button_start;
  if (layout.start_caption == StartCaption::server) states.start_caption = ui::texts::button_start_server;
  return states;
}

void show_button_states(ui::MainView& view, const ButtonStates& states) {
  for (const ButtonState& button : states.buttons) {
    view.button_show(button.id, button.shown);
    view.button_enable(button.id, button.enabled);
  }
  view.button_caption(ui::ButtonId::start, states.start_caption);
}

}  // namespace app
