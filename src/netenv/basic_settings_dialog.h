#pragma once
// The basic settings dialog: shows the PC's adapters, addresses and masks, and sets the
// polling period, data-file saving and one of the three special modes.
#include <cstdint>
#include <functional>

#include "netenv/adapter_table.h"
#include "netenv/sensor_port.h"
#include "ui/dialog.h"

namespace netenv {

// The settings the dialog reads and changes. The caller copies them in before and back
// after the dialog whatever its result: the adjustments made on opening and the
// settings_changed flag hold also when the dialog is left without OK.
struct BasicSettings {
  int refresh_period_ms = 1000;
  bool data_file_saving = false;
  std::uint16_t expected_port = sensor_data_port;
  bool setup_answer_mode = false;
  bool repair_enabled = false;
  bool remote_mode = false;
  bool server_mode = false;
  bool settings_changed = false;
  bool remote_answered = false;
};

constexpr int min_refresh_period_ms = 1000;
constexpr int max_refresh_period_ms = 10000;

// The period typed by the operator: a field that is not a number reads as 0, and the
// value is held to 1000..10000.
int clamp_refresh_period(const std::string& text);

class BasicSettingsDialog : public ui::DialogLogic {
 public:
  enum Control {
    adapters_text = 1,
    addresses_text,
    masks_text,
    period_edit,
    data_file_box,
    repair_box,
    remote_box,
    server_box,
    ok_button,
    leave_button,
  };

  BasicSettingsDialog(BasicSettings& settings, const AdapterTable& adapters, AdapterTableBuilder build_adapters);

  const ui::DialogTable& table() const override;
  void on_open(ui::DialogView& view) override;
  void on_click(ui::DialogView& view, int id) override;

 private:
  void fill_adapter_fields(ui::DialogView& view) const;

  BasicSettings& settings_;
  const AdapterTable& adapters_;
  AdapterTableBuilder build_adapters_;
};

}  // namespace netenv
