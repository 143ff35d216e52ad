#pragma once
// Every window, dialog and message text of the program, verbatim, one header per subsystem.
#include "ui/texts/common.h"
#include "ui/texts/main_window.h"
#include "ui/texts/netenv.h"
#include "ui/texts/files.h"
#include "ui/texts/discovery.h"
#include "ui/texts/polling.h"
#include "ui/texts/netenv_checks.h"
#include "ui/texts/capture.h"
#include "ui/texts/basic_settings.h"
#include "ui/texts/server.h"
#include "ui/texts/active_upload.h"
#include "ui/texts/wireless.h"
