#include "config/attention_flash.h"

#include "ui/texts.h"

namespace config {

void flash_button(ui::DialogView& view, platform::WaitClock& clock, int button_id) {
  view.focus(button_id);
  if (!clock.sleep_ms(flash_lead_ms)) return;
  for (int flash = 0; flash < 2; ++flash) {
    if (flash > 0 && !clock.sleep_ms(flash_gap_ms)) return;
    view.enable(button_id, false);
    const bool waited = clock.sleep_ms(flash_off_ms);
    view.enable(button_id, true);
    if (!waited) return;
  }
}

void remind_upload_parameters(ui::DialogView& view, platform::WaitClock& clock, int upload_button_id) {
  view.show_message(ui::texts::caption_notice, ui::texts::upload_confirm_first, ui::Icon::none, ui::Buttons::ok);
  flash_button(view, clock, upload_button_id);
}

}  // namespace config
