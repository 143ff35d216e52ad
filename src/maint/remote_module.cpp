#include "maint/remote_module.h"

#include <array>

#include "discovery/configuration_record.h"
#include "discovery/discovery_datagrams.h"
#include "netenv/sensor_port.h"

namespace maint {
namespace {

class SystemQuerySocket final : public QuerySocket {
 public:
  SystemQuerySocket(platform::SocketHandle socket, platform::WaitClock& clock)
      : socket_(std::move(socket)), clock_(clock) {}
  bool send(platform::Ipv4Address ip, std::uint16_t port, std::span<const std::uint8_t> bytes) override {
    return platform::send_datagram(socket_.fd(), ip, port, bytes) == static_cast<int>(bytes.size());
  }
  platform::WaitResult wait_readable(long seconds, long microseconds) override {
    return clock_.wait_readable(socket_.fd(), seconds, microseconds);
  }
  int receive(std::span<std::uint8_t> buffer, platform::Datagram& info) override {
    return platform::receive_datagram(socket_.fd(), buffer, info);
  }

 private:
  platform::SocketHandle socket_;
  platform::WaitClock& clock_;
};

// Up to three attempts of one query; true with the accepted reply in `reply` (its length
// in `info`). `accept` judges each datagram received.
template <std::size_t buffer_bytes, typename Accept>
bool ask(QuerySocket& socket, platform::Ipv4Address remote_ip, std::span<const std::uint8_t> query,
         std::array<std::uint8_t, buffer_bytes>& reply, platform::Datagram& info, Accept accept) {
  for (int attempt = 0; attempt < remote_query_attempts; ++attempt) {
    if (!socket.send(remote_ip, discovery::discovery_port, query)) continue;
    for (;;) {
      const platform::WaitResult waited = socket.wait_readable(remote_reply_wait_s, remote_reply_wait_us);
      if (waited == platform::WaitResult::cancelled) return false;
      if (waited != platform::WaitResult::ready) break;
      if (socket.receive(reply, info) < 0) break;
      // A datagram longer than the buffer keeps its real length, so it never passes for a reply.
      if (info.length <= static_cast<int>(reply.size()) &&
          accept(std::span<const std::uint8_t>(reply).first(static_cast<std::size_t>(info.length))))
        return true;
    }
  }
  return false;
}

}  // namespace

QuerySocketOpener system_query_sockets(platform::WaitClock& clock) {
  return [&clock](platform::Ipv4Address local_ip) -> std::unique_ptr<QuerySocket> {
    platform::SocketHandle socket = platform::open_udp_socket();
    if (!socket.valid() || !platform::bind_ipv4(socket.fd(), local_ip, 0)) return nullptr;
    return std::make_unique<SystemQuerySocket>(std::move(socket), clock);
  };
}

int read_remote_module(const QuerySocketOpener& open_socket, platform::WaitClock& clock, const RemoteTarget& target,
                       discovery::ModuleTable& table, int& selected_work_mode) {
  std::unique_ptr<QuerySocket> socket = open_socket(target.local_ip);
  if (!socket) return remote_socket_failed;

  std::array<std::uint8_t, discovery::configuration_reply_buffer_bytes> configuration{};
  platform::Datagram configuration_info;
  if (!ask(*socket, target.remote_ip, discovery::configuration_query, configuration, configuration_info,
           discovery::is_configuration_reply))
    return remote_no_configuration;
  if (!clock.sleep_ms(remote_query_pause_ms)) return remote_no_device;
  std::array<std::uint8_t, discovery::device_reply_buffer_bytes> device{};
  platform::Datagram device_info;
  if (!ask(*socket, target.remote_ip, discovery::device_query, device, device_info, discovery::is_device_reply))
    return remote_no_device;
  socket.reset();

  discovery::reset_module_table(table);
  discovery::decode_configuration_reply(table, 0,
                                        std::span<const std::uint8_t, discovery::configuration_reply_bytes>(
                                            configuration.data(), discovery::configuration_reply_bytes),
                                        target.remote_ip, target.subnet_index);
  discovery::store_device_reply(
      table, std::span<const std::uint8_t, discovery::device_reply_bytes>(device.data(), discovery::device_reply_bytes),
      device_info.source_ip);
  discovery::ModuleRow& row = table.rows[0];
  const discovery::DeviceReply& identity = table.device_replies[0];
  row.reply_source = identity.source_ip;
  row.device_type = identity.device_type;
  row.mac = identity.mac;
  row.wireless = identity.device_type[0] == 'W' && identity.device_type[1] == '8';
  row.sensor_module = row.port == target.expected_port;
  row.dynamic_ip = row.ip == discovery::record::dynamic_ip_zero || row.ip == discovery::record::dynamic_ip_marker;
  row.raw_only = false;
  row.outside_subnet = false;
  table.found_count = 1;
  table.shown_count = 1;
  table.display_order[0] = 0;
  selected_work_mode = row.work_mode;
  return 0;
}

void set_remote_module_by_hand(discovery::ModuleTable& table, polling::PollingTable& polling, int subnet_index,
                               int work_mode) {
  discovery::reset_module_table(table);
  polling::reset_polling_rows(polling);
  discovery::ModuleRow& row = table.rows[0];
  row.raw_only = false;
  row.sensor_module = true;
  row.snmp_capable = true;
  row.subnet_index = static_cast<std::uint8_t>(subnet_index);
  row.work_mode = static_cast<std::uint8_t>(work_mode);
  row.port = netenv::sensor_data_port;
  table.found_count = 1;
  table.shown_count = 1;
  table.display_order[0] = 0;
  polling.rows[0].status = status_set_by_hand;
}

}  // namespace maint
