// The deadline-bound connect over loopback: a listener accepts, a closed port refuses, a
// cancelled operation never starts the connect; the socket is blocking again afterwards.
#include "platform/timed_connect.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include "platform/socket_handle.h"
#include "support/fake_wait_clock.h"

namespace {

sockaddr_in loopback_port(int listener_fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(listener_fd, reinterpret_cast<sockaddr*>(&address), &length);
  return address;
}

platform::SocketHandle tcp_socket() { return platform::SocketHandle(::socket(AF_INET, SOCK_STREAM, 0)); }

// A bound loopback socket on a kernel-chosen port, listening when asked.
platform::SocketHandle bound_socket(bool listening) {
  platform::SocketHandle socket = tcp_socket();
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  EXPECT_EQ(::bind(socket.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  if (listening) {
    EXPECT_EQ(::listen(socket.fd(), 1), 0);
  }
  return socket;
}

TEST(TimedConnect, ConnectsRefusesAndHonoursCancel) {
  test::FakeWaitClock clock;
  platform::SocketHandle listener = bound_socket(true);
  platform::SocketHandle client = tcp_socket();
  EXPECT_EQ(platform::connect_within(clock, client.fd(), loopback_port(listener.fd()), 3, 0),
            platform::ConnectResult::connected);
  EXPECT_EQ(::fcntl(client.fd(), F_GETFL) & O_NONBLOCK, 0);

  platform::SocketHandle closed = bound_socket(false);
  platform::SocketHandle refused = tcp_socket();
  EXPECT_EQ(platform::connect_within(clock, refused.fd(), loopback_port(closed.fd()), 3, 0),
            platform::ConnectResult::failed);

  clock.cancel();
  platform::SocketHandle abandoned = tcp_socket();
  EXPECT_EQ(platform::connect_within(clock, abandoned.fd(), loopback_port(listener.fd()), 3, 0),
            platform::ConnectResult::cancelled);
}

}  // namespace
