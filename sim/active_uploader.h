#pragma once
// Active upload: a module in ATCP or AUDP work mode pushes its upload record, unasked, to
// its configured receiver (server_ip:server_port) once per upload period. Over TCP it keeps
// one connection and connects again at the next period when the connection drops or fails.
//
// Upload record (26 ASCII bytes, no terminator):
//   0  MAC address as 12 hex digits     12  module_code as 4 hex digits
//  16  temperature (4)   20  humidity (4)   24  digital inputs (2), each encoded as in the
//      reading reply (FFFF when a reading is not available)
#include <cstdint>
#include <string>
#include <vector>

#include "emulated_module.h"
#include "fd_handle.h"

namespace sim {

bool active_upload_mode(const ModuleConfig& config);
bool uploads_over_tcp(const ModuleConfig& config);
// upload_interval_ms when set, else (upload_interval x 5 + 5) seconds.
unsigned upload_period_ms(const ModuleConfig& config);
std::vector<std::uint8_t> encode_upload_record(const ModuleConfig& config);

class ActiveUploader : public Responder {
 public:
  ActiveUploader(ModuleState& state, EventLoop& loop) : state_(state), loop_(loop) {}
  std::string start() override;

 private:
  void on_period();
  void open_connection();
  // Polls the pending connect until it completes, fails or the attempt is superseded.
  void check_connect(unsigned attempt);
  void on_connection_readable();
  void drop_connection();
  void send_record();

  ModuleState& state_;
  EventLoop& loop_;
  FdHandle socket_;         // UDP socket, or the TCP connection
  bool connected_ = false;  // TCP: the connect has completed
  unsigned attempt_ = 0;    // TCP: numbers the connects, so stale checks stop
};

}  // namespace sim
