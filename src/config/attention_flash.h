#pragma once
// The reminder to visit the active-upload dialog: its message, then the button flashes (focus,
// 150 ms, then twice 200 ms disabled and enabled again, 200 ms apart). The waits go through
// the clock, so the window keeps repainting; a cancelled wait leaves the button enabled.
#include "platform/wait_clock.h"
#include "ui/dialog.h"

namespace config {

constexpr int flash_lead_ms = 150;
constexpr int flash_off_ms = 200;
constexpr int flash_gap_ms = 200;

void flash_button(ui::DialogView& view, platform::WaitClock& clock, int button_id);

// Shows the reminder ("系统提示") and flashes the active-upload button.
void remind_upload_parameters(ui::DialogView& view, platform::WaitClock& clock, int upload_button_id);

}  // namespace config
