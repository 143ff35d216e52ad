#pragma once
// The module's setup menu on TCP 9999 as a conversation: bytes typed in, bytes shown back.
// A banner with the "Password :" prompt (unless the module asks none), the main menu of
// more than 1101 bytes once logged in, an echo of every key, and the channel section
// (choice 1) whose questions set the serial baud rate (first answer) and the data port
// (fourth answer). Any other choice gets a short prompt; choice 9 saves and ends the
// session, choice 8 ends it without saving. Y and N keys answer at once, without CR.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "module_config.h"

namespace sim {

struct SetupMenuOptions {
  std::string password = "0000";
  bool ask_password = true;
  bool short_menu = false;  // a main menu of some 600 bytes: the PC's login gives up
};

class SetupMenu {
 public:
  SetupMenu(SetupMenuOptions options, const Mac& mac, std::uint8_t baud_code, std::uint16_t port);

  // What the module shows when the connection opens.
  std::string banner() const;
  // Takes typed bytes and returns what the module shows for them.
  std::string type(std::span<const std::uint8_t> bytes);

  bool ended() const { return ended_; }
  // Set once choice 9 stored the settings.
  bool stored() const { return stored_; }
  std::uint8_t baud_code() const { return baud_code_; }
  std::uint16_t port() const { return port_; }

 private:
  enum class State { password, press_enter, main_menu, channel };
  std::string main_menu() const;
  std::string on_line(const std::string& line);
  std::string channel_question() const;

  SetupMenuOptions options_;
  Mac mac_;
  std::uint8_t baud_code_;
  std::uint16_t port_;
  State state_;
  std::string line_;
  int question_ = 0;
  bool ended_ = false;
  bool stored_ = false;
};

// The baud code (record byte 17) of a rate, if the module knows the rate.
std::optional<std::uint8_t> baud_code_of_rate(unsigned long rate);

}  // namespace sim
