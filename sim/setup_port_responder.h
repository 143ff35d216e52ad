#pragma once
// The module's setup port, TCP 9999: one menu session per connection (setup_menu.h). Every
// chunk of bytes received is logged in hexadecimal; choice 9 stores the typed baud rate and
// port, and the module restarts with them.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "emulated_module.h"
#include "setup_menu.h"
#include "sockets.h"

namespace sim {

inline constexpr std::uint16_t setup_port = 9999;

class SetupPortResponder : public Responder {
 public:
  SetupPortResponder(ModuleState& state, EventLoop& loop) : state_(state), loop_(loop) {}
  std::string start() override;

 private:
  struct Session {
    FdHandle fd;
    std::unique_ptr<SetupMenu> menu;
  };

  void accept_session();
  void read_session(std::uint64_t id);
  void close_session(std::uint64_t id);
  void store(const SetupMenu& menu);

  ModuleState& state_;
  EventLoop& loop_;
  FdHandle listener_;
  std::map<std::uint64_t, Session> sessions_;
  std::uint64_t next_session_id_ = 1;
};

}  // namespace sim
