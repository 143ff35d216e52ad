#include "setup_menu.h"

#include <cstdio>
#include <cstdlib>

namespace sim {
namespace {

// Serial rates by record baud code.
constexpr unsigned long baud_rates[] = {38400, 19200, 9600, 4800, 2400, 1200, 600, 300, 115200, 57600, 230400};

const char* const channel_questions[] = {"Baudrate",   "Interface mode", "Flow control", "Port number", "Setting 5",
                                         "Setting 6",  "Setting 7",      "Setting 8",    "Setting 9",   "Setting 10",
                                         "Setting 11", "Setting 12",     "Setting 13",   "Setting 14"};
constexpr int channel_question_count = sizeof channel_questions / sizeof channel_questions[0];
constexpr int baud_question = 0;
constexpr int port_question = 3;

constexpr const char* choice_prompt = "\r\nYour choice ? ";

bool numeric(const std::string& text) {
  return !text.empty() && text.size() <= 6 && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

std::optional<std::uint8_t> baud_code_of_rate(unsigned long rate) {
  for (std::uint8_t code = 0; code < sizeof baud_rates / sizeof baud_rates[0]; ++code)
    if (baud_rates[code] == rate) return code;
  return std::nullopt;
}

SetupMenu::SetupMenu(SetupMenuOptions options, const Mac& mac, std::uint8_t baud_code, std::uint16_t port)
    : options_(std::move(options)),
      mac_(mac),
      baud_code_(baud_code),
      port_(port),
      state_(options_.ask_password ? State::password : State::press_enter) {}

std::string SetupMenu::banner() const {
  char text[160];
  std::snprintf(text, sizeof text, "*** emulated sensor module ***\r\nMAC address %02X%02X%02X%02X%02X%02X\r\n",
                mac_[0], mac_[1], mac_[2], mac_[3], mac_[4], mac_[5]);
  std::string shown = text;
  shown += options_.ask_password ? "\r\nPassword :" : "Press Enter for the menu ";
  return shown;
}

std::string SetupMenu::main_menu() const {
  std::string menu = "\r\n*** basic parameters\r\n";
  const unsigned long rate = baud_code_ < sizeof baud_rates / sizeof baud_rates[0] ? baud_rates[baud_code_] : 0;
  char line[120];
  std::snprintf(line, sizeof line, "*** Channel 1\r\nBaudrate %lu, Interface mode 4C, Flow control 00\r\nPort %05u\r\n", rate, port_);
  menu += line;
  // The rest of a real menu: enough lines to pass the PC's length check, or too few.
  const int filler_lines = options_.short_menu ? 8 : 22;
  for (int i = 0; i < filler_lines; ++i) {
    std::snprintf(line, sizeof line, "  setting %02d ........................................ default\r\n", i);
    menu += line;
  }
  menu += "\r\nChange Setup:\r\n  0 Server\r\n  1 Channel 1\r\n  6 Security\r\n  7 Defaults\r\n"
          "  8 Exit without save\r\n  9 Save and exit";
  menu += choice_prompt;
  return menu;
}

std::string SetupMenu::channel_question() const {
  return std::string("\r\n") + channel_questions[question_] + " ? ";
}

std::string SetupMenu::type(std::span<const std::uint8_t> bytes) {
  std::string shown;
  for (std::uint8_t byte : bytes) {
    if (ended_) break;
    const char key = static_cast<char>(byte);
    if (key == '\r') {
      shown += "\r\n";
      shown += on_line(line_);
      line_.clear();
      continue;
    }
    if (key == '\n' || key == '\0') continue;
    shown += key;
    const bool yes_no = key == 'Y' || key == 'N' || key == 'y' || key == 'n';
    if (yes_no && line_.empty() && state_ == State::main_menu) {
      shown += choice_prompt;
      continue;
    }
    line_ += key;
  }
  return shown;
}

std::string SetupMenu::on_line(const std::string& line) {
  switch (state_) {
    case State::password:
      if (line != options_.password) {
        ended_ = true;
        return "Invalid password\r\n";
      }
      state_ = State::main_menu;
      return main_menu();
    case State::press_enter:
      state_ = State::main_menu;
      return main_menu();
    case State::main_menu:
      if (line == "1") {
        state_ = State::channel;
        question_ = 0;
        return channel_question();
      }
      if (line == "9") {
        stored_ = true;
        ended_ = true;
        return "Parameters stored ...\r\n";
      }
      if (line == "8") {
        ended_ = true;
        return "Exiting without save !\r\n";
      }
      return choice_prompt;
    case State::channel:
      if (numeric(line)) {
        const unsigned long value = std::strtoul(line.c_str(), nullptr, 10);
        if (question_ == baud_question) {
          if (auto code = baud_code_of_rate(value)) baud_code_ = *code;
        } else if (question_ == port_question && value > 0 && value <= 65535) {
          port_ = static_cast<std::uint16_t>(value);
        }
      }
      if (++question_ < channel_question_count) return channel_question();
      state_ = State::main_menu;
      return main_menu();
  }
  return {};
}

}  // namespace sim
