#include "maint/setup_dialogue.h"

namespace maint {

namespace {

constexpr std::uint8_t carriage_return = 13;
constexpr int menu_min_bytes = 1101;
constexpr int menu_first_parts_bytes = 800;

// Stops the script at the first failed receive; send results are ignored throughout.
struct ScriptFailed {};

class Script {
 public:
  Script(SetupConnection& connection, const std::string& password) : c_(connection), password_(password) {}

  int receive(int size) {
    int r = c_.receive(size);
    if (r < 0) throw ScriptFailed{};
    return r;
  }
  void line(char key) { c_.send_key_line(key); }
  void key(char key) { c_.send_key(static_cast<std::uint8_t>(key)); }
  void cr() { c_.send_key(carriage_return); }
  void password() { c_.send_text(password_); }
  void sleep(int ms) { c_.sleep_ms(ms); }
  bool contains(int count, const char* word) const { return c_.contains(count, word); }
  void send_text(const char* text) { c_.send_text(text); }

 private:
  SetupConnection& c_;
  const std::string& password_;
};

void run_script(Script& s, bool answer_mode) {
  s.line('7');
  s.sleep(30);
  if (s.receive(300) < 100) {
    s.sleep(20);
    s.receive(300);
  }

  s.sleep(5);
  s.line('0');
  if (s.receive(100) > 40) {
    s.line('1');
    s.receive(100);
  }
  for (int i = 0; i < 4; ++i) {
    if (answer_mode)
      s.line('0');
    else
      s.cr();
    s.receive(100);
  }
  s.key('Y');
  s.receive(100);
  for (int i = 0; i < 4; ++i) {
    s.line('0');
    s.receive(100);
  }
  s.line('0');
  if (int r = s.receive(100); !s.contains(r, "telne")) {
    s.cr();
    s.receive(100);
  }
  s.key('Y');
  s.receive(100);

  s.password();
  int c = s.receive(300);
  if (c < 60) {
    s.cr();
    c = s.receive(300);
    if (c < 50) {
      s.cr();
      s.receive(300);
    }
  }

  s.sleep(3);
  s.line('1');
  s.receive(100);
  s.send_text("38400\r");
  s.receive(100);
  s.cr();
  s.receive(100);
  s.cr();
  s.receive(100);
  s.send_text("10050\r");
  s.receive(100);
  s.cr();
  s.receive(100);
  for (int i = 0; i < 18; ++i) {
    s.cr();
    if (s.receive(250) > 100) break;
  }

  s.sleep(3);
  s.line('6');
  s.receive(100);
  int r = 0;
  for (int i = 0; i < 5; ++i) {
    s.cr();
    r = s.receive(100);
  }
  if (r > 35) {
    s.cr();
    s.receive(100);
  }
  s.key('N');
  if (int n = s.receive(100); s.contains(n, "Setup")) {
    s.key('Y');
    s.receive(100);
  }
  for (int i = 0; i < 3; ++i) {
    s.cr();
    s.receive(300);
  }

  s.sleep(3);
  s.line('9');
  s.sleep(20);
  s.receive(300);
}

}  // namespace

int setup_login(SetupConnection& connection, const std::string& password) {
  int r = connection.receive(300);
  if (r < 1) return login_nothing_came;
  if (connection.contains(r, "Password")) {
    connection.send_text(password);
    if (connection.receive(100) < 0) return login_failed;
  }
  connection.send_key(carriage_return);
  int a = connection.receive(1500);
  if (a < 0) return login_failed;
  int b = connection.receive(1500);
  if (b < 0) return login_failed;
  int c = connection.receive(1500);
  int total = a + b;
  if (total < menu_first_parts_bytes) {
    if (c < 0) return login_failed;
    total += c;
    c = connection.receive(1500);
  }
  if (c < 0 || total + c < menu_min_bytes) return login_failed;
  return login_menu_received;
}

int setup_script(SetupConnection& connection, const std::string& password, bool answer_mode) {
  Script script(connection, password);
  try {
    run_script(script, answer_mode);
  } catch (const ScriptFailed&) {
    return script_receive_failed;
  }
  return 0;
}

}  // namespace maint
