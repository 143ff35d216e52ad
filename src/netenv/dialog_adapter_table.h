#pragma once
// The first step of the dialogs that show the PC's addresses: the Adapter table, built
// when it is not valid yet.
#include "netenv/adapter_table.h"
#include "ui/dialog.h"

namespace netenv {

// True when the table is ready. Otherwise restores the cursor, tells the operator that no
// network device was found, closes the dialog with 0 and returns false.
bool ensure_adapter_table(const AdapterTableBuilder& build_adapters, ui::DialogView& view);

}  // namespace netenv
