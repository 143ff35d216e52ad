#include "tools/page_fetch.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include "platform/socket_handle.h"
#include "platform/timed_connect.h"
#include "platform/udp_socket.h"

namespace tools {

int fetch_page(platform::WaitClock& clock, const PageRequest& request, PageResponse& response) {
  response.length = 0;
  platform::SocketHandle socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket.valid()) return fetch_socket_failed;
  if (!platform::bind_ipv4(socket.fd(), request.local_ip, 0)) return fetch_bind_failed;
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_addr.s_addr = request.server_ip.network_order();
  server.sin_port = htons(request.server_port);
  switch (platform::connect_within(clock, socket.fd(), server, platform::default_connect_wait_s, 0)) {
    case platform::ConnectResult::connected: break;
    case platform::ConnectResult::cancelled: return fetch_cancelled;
    case platform::ConnectResult::failed:
    case platform::ConnectResult::timeout: return fetch_connect_failed;
  }
  switch (clock.wait_writable(socket.fd(), 0, fetch_writable_wait_us)) {
    case platform::WaitResult::cancelled:
      return fetch_cancelled;
    case platform::WaitResult::error:
      return fetch_wait_write_failed;
    case platform::WaitResult::timeout:
      return fetch_wait_write_timeout;
    case platform::WaitResult::ready:
      break;
  }
  if (::send(socket.fd(), request.text.data(), request.text.size(), MSG_NOSIGNAL) !=
      static_cast<ssize_t>(request.text.size()))
    return fetch_send_failed;
  for (;;) {
    switch (clock.wait_readable(socket.fd(), fetch_read_wait_s, fetch_read_wait_us)) {
      case platform::WaitResult::cancelled:
        return fetch_cancelled;
      case platform::WaitResult::error:
        return fetch_wait_read_failed;
      case platform::WaitResult::timeout:
        return fetch_too_short;
      case platform::WaitResult::ready:
        break;
    }
    if (!clock.sleep_ms(fetch_receive_pause_ms)) return fetch_cancelled;
    std::size_t room = response.buffer.size() - response.length;
    ssize_t received = ::recv(socket.fd(), response.buffer.data() + response.length, room, 0);
    if (received < 0) return fetch_receive_failed;
    // Nothing more can come once the server has closed: waiting would only spin.
    if (received == 0) return fetch_too_short;
    response.length += static_cast<std::size_t>(received);
    if (response.length > request.limit_bytes) return 0;
  }
}

}  // namespace tools
