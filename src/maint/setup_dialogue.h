#pragma once
// The login to the module's setup menu and the key script that sets it back to 38400 baud
// and data port 10050. The script does not parse the menu: it paces itself on how many
// bytes each key brings back and on a few marker words.
#include <string>

#include "maint/setup_connection.h"

namespace maint {

// The menu's password when quorvane.conf names none ([setup] password).
inline constexpr const char* default_setup_password = "0000";
constexpr std::size_t setup_password_chars = 4;

// Codes of setup_login.
constexpr int login_menu_received = 1;
constexpr int login_nothing_came = -1;
constexpr int login_failed = -3;
// Code of setup_script.
constexpr int script_receive_failed = -1;

// Answers the password prompt, if any, with password, then a carriage return, and reads
// the menu: login_menu_received when it came whole (1101 bytes at least), else a code.
int setup_login(SetupConnection& connection, const std::string& password);

// Types the key script; answer_mode 1 answers four prompts with '0' instead of a carriage
// return. 0 when the final '9' was sent and read after, script_receive_failed when any
// receive failed.
int setup_script(SetupConnection& connection, const std::string& password, bool answer_mode);

}  // namespace maint
