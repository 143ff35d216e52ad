#pragma once
// Module repair on the real network: the presence probe, the Discovery-port broadcast
// socket, the address-in-use probe of the address checks, the WaitClock's pauses and the
// setup-port login and script.
#include <string>

#include "maint/module_repair.h"
#include "platform/socket_handle.h"
#include "platform/wait_clock.h"
#include "rawlink/raw_ethernet.h"
#include "ui/message_sink.h"

namespace maint {

// What the setup follow-up types: the menu password and how four prompts are answered.
struct SetupAnswers {
  std::string password;
  bool answer_mode = false;
};

class RepairNetwork : public RepairLink {
 public:
  // messages: told once when the presence probe cannot catch answers for want of the right.
  RepairNetwork(rawlink::RawEthernet raw, platform::WaitClock& clock, ui::MessageSink& messages,
                SetupAnswers answers)
      : raw_(raw), clock_(clock), messages_(messages), answers_(std::move(answers)) {}

  int presence_probe(int entry, MacTail tail) override;
  bool open_broadcast_socket() override;
  bool send_assignment(platform::Ipv4Address destination, const AddressAssignment& request) override;
  void close_broadcast_socket() override { socket_.reset(); }
  int address_in_use(platform::Ipv4Address ip) override;
  void wait_ms(int milliseconds) override { clock_.sleep_ms(milliseconds); }
  int restore_by_setup_port(platform::Ipv4Address ip) override;
  bool cancelled() const override { return clock_.cancelled(); }

 private:
  rawlink::RawEthernet raw_;
  platform::WaitClock& clock_;
  ui::MessageSink& messages_;
  SetupAnswers answers_;
  platform::SocketHandle socket_;
  bool raw_right_reported_ = false;
};

}  // namespace maint
