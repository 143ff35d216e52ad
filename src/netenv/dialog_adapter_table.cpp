#include "netenv/dialog_adapter_table.h"

#include "ui/texts.h"

namespace netenv {

bool ensure_adapter_table(const AdapterTableBuilder& build_adapters, ui::DialogView& view) {
  if (build_adapters(view) == 0) return true;
  view.set_wait_cursor(false);
  view.warn(ui::texts::caption_error, ui::texts::no_network_device);
  view.close_dialog(0);
  return false;
}

}  // namespace netenv
