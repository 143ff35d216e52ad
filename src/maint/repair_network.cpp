#include "maint/repair_network.h"

#include "discovery/discovery_socket.h"
#include "rawlink/address_probe.h"
#include "maint/presence_probe.h"
#include "maint/setup_dialogue.h"
#include "maint/socket_setup_stream.h"
#include "platform/udp_socket.h"
#include "ui/texts.h"

namespace maint {

int RepairNetwork::presence_probe(int entry, MacTail tail) {
  const PresenceProbeResult result = maint::presence_probe(raw_.adapters, entry, tail, clock_);
  if (result.raw_not_permitted && !raw_right_reported_) {
    raw_right_reported_ = true;
    messages_.warn(ui::texts::caption_error, ui::texts::repair_raw_right_missing);
  }
  return result.code;
}

bool RepairNetwork::open_broadcast_socket() {
  return discovery::open_broadcast_socket(socket_) == 0 && platform::enable_broadcast(socket_.fd());
}

bool RepairNetwork::send_assignment(platform::Ipv4Address destination, const AddressAssignment& request) {
  return platform::send_datagram(socket_.fd(), destination, discovery::discovery_port, request) ==
         static_cast<int>(request.size());
}

int RepairNetwork::address_in_use(platform::Ipv4Address ip) {
  return rawlink::probe_address_in_use(raw_, ip);
}

int RepairNetwork::restore_by_setup_port(platform::Ipv4Address ip) {
  SocketSetupStream stream(clock_);
  if (int opened = stream.open(ip); opened != 0) return opened;
  SetupConnection connection(stream);
  const int login = setup_login(connection, answers_.password);
  if (login < 0) return login;
  return setup_script(connection, answers_.password, answers_.answer_mode);
}

}  // namespace maint
