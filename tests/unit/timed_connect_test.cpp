// The deadline-bound connect over loopback: a listener accepts, a cancelled operation never
// starts the connect; the socket is blocking again afterwards. A refused connect is the polling
// LAN test's (its refusing module is not pollable), the deadline the dropped-SYN LAN test's.
#include "platform/timed_connect.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include "platform/socket_handle.h"
#include "support/fake_wait_clock.h"
#include "support/loopback_socket.h"

namespace {

sockaddr_in address_of(const platform::SocketHandle& bound) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(test::local_port(bound.fd()));
  return address;
}

platform::SocketHandle tcp_socket() { return platform::SocketHandle(::socket(AF_INET, SOCK_STREAM, 0)); }

TEST(TimedConnect, ConnectsAndHonoursCancel) {
  test::FakeWaitClock clock;
  platform::SocketHandle listener = test::loopback_socket(SOCK_STREAM);
  ASSERT_EQ(::listen(listener.fd(), 1), 0);
  platform::SocketHandle client = tcp_socket();
  EXPECT_EQ(platform::connect_within(clock, client.fd(), address_of(listener), 3, 0),
            platform::ConnectResult::connected);
  EXPECT_EQ(::fcntl(client.fd(), F_GETFL) & O_NONBLOCK, 0);

  clock.cancel();
  platform::SocketHandle abandoned = tcp_socket();
  EXPECT_EQ(platform::connect_within(clock, abandoned.fd(), address_of(listener), 3, 0),
            platform::ConnectResult::cancelled);
}

}  // namespace
