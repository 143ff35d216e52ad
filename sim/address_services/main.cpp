// address-services hosts   prints the hosts-file lines "ADDRESS NAME" of the four sites
// address-services conf    prints a quorvane.conf that names the four sites as services A-D
// address-services serve   serves the four sites on port 80 of their addresses (which must
//                          exist in this network namespace) until killed; each also serves
//                          the test pages /pieces/... (see test_pieces)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "address_services/service_pages.h"
#include "fd_handle.h"

namespace {

constexpr std::uint16_t http_port = 80;
constexpr std::size_t max_request_bytes = 4096;
constexpr int request_wait_s = 2;
constexpr useconds_t piece_pause_us = 300000;

int fail(const std::string& message) {
  std::fprintf(stderr, "address-services: %s\n", message.c_str());
  return 1;
}

sim::FdHandle listen_on(std::string_view address) {
  sim::FdHandle socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket.valid()) return socket;
  int on = 1;
  ::setsockopt(socket.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(http_port);
  if (::inet_pton(AF_INET, std::string(address).c_str(), &local.sin_addr) != 1 ||
      ::bind(socket.get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || ::listen(socket.get(), 8) != 0)
    socket.reset();
  return socket;
}

// The request head, up to its blank line; shorter when the client stops sending.
std::string read_request(int fd) {
  timeval wait{request_wait_s, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  std::string request;
  char buffer[1024];
  while (request.size() < max_request_bytes && request.find("\r\n\r\n") == std::string::npos) {
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<std::size_t>(n));
  }
  return request;
}

std::string header_value(const std::string& request, const std::string& name) {
  std::string key = "\r\n" + name + ": ";
  std::size_t at = request.find(key);
  if (at == std::string::npos) return "";
  at += key.size();
  return request.substr(at, request.find("\r\n", at) - at);
}

// "GET /path HTTP/1.1" -> "/path"; empty for anything else.
std::string get_path(const std::string& request) {
  std::size_t end = request.find(" HTTP/1.1\r\n");
  if (request.rfind("GET ", 0) != 0 || end == std::string::npos) return "";
  return request.substr(4, end - 4);
}

constexpr unsigned long max_piece_bytes = 1 << 20;  // a typo in a test's path cannot exhaust memory

// A test page, GET /pieces/N1/N2.../hold or .../close: N1 bytes of 'a', N2 bytes of 'b' 300 ms
// later, and so on; then the connection is held until the client closes it, or closed.
bool test_pieces(const std::string& path, std::vector<std::string>& pieces, bool& hold) {
  if (path.rfind("/pieces/", 0) != 0) return false;
  char letter = 'a';
  for (std::size_t at = 8; at < path.size();) {
    std::size_t end = std::min(path.find('/', at), path.size());
    std::string part = path.substr(at, end - at);
    at = end + 1;
    hold = part == "hold";
    if (hold || part == "close") continue;
    pieces.emplace_back(std::min(std::strtoul(part.c_str(), nullptr, 10), max_piece_bytes), letter++);
  }
  return true;
}

void serve_one(int listener, std::size_t site) {
  sockaddr_in peer{};
  socklen_t peer_size = sizeof peer;
  sim::FdHandle connection(::accept4(listener, reinterpret_cast<sockaddr*>(&peer), &peer_size, SOCK_CLOEXEC));
  if (!connection.valid()) return;
  char client[INET_ADDRSTRLEN] = "";
  ::inet_ntop(AF_INET, &peer.sin_addr, client, sizeof client);
  std::string request = read_request(connection.get());
  std::string path = get_path(request);
  std::vector<std::string> pieces;
  bool hold = false;
  if (!test_pieces(path, pieces, hold))
    pieces = {sim::site_response(site, header_value(request, "Host"), path, client)};
  std::size_t bytes = 0;
  for (const std::string& piece : pieces) bytes += piece.size();
  std::printf("%s GET %s from %s: %zu bytes\n", std::string(sim::sites[site].host).c_str(), path.c_str(), client,
              bytes);
  std::fflush(stdout);
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    if (k > 0) ::usleep(piece_pause_us);
    for (std::size_t sent = 0; sent < pieces[k].size();) {
      ssize_t n = ::send(connection.get(), pieces[k].data() + sent, pieces[k].size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<std::size_t>(n);
    }
  }
  // A held page waits for the client to close. Closing with unread bytes would reset the
  // connection and could lose the page's tail.
  if (!hold) ::shutdown(connection.get(), SHUT_WR);
  char drain[256];
  while (::recv(connection.get(), drain, sizeof drain, 0) > 0) {
  }
}

int serve() {
  std::array<sim::FdHandle, sim::sites.size()> listeners;
  std::array<pollfd, sim::sites.size()> waits{};
  for (std::size_t k = 0; k < sim::sites.size(); ++k) {
    listeners[k] = listen_on(sim::sites[k].address);
    if (!listeners[k].valid())
      return fail("cannot listen on " + std::string(sim::sites[k].address) + ":80: " + std::strerror(errno));
    waits[k] = {listeners[k].get(), POLLIN, 0};
  }
  std::printf("address services ready\n");
  std::fflush(stdout);
  for (;;) {
    if (::poll(waits.data(), waits.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return fail(std::string("poll: ") + std::strerror(errno));
    }
    for (std::size_t k = 0; k < waits.size(); ++k)
      if ((waits[k].revents & POLLIN) != 0) serve_one(waits[k].fd, k);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc == 2 ? argv[1] : "";
  if (command == "hosts") {
    for (const sim::Site& site : sim::sites)
      std::printf("%s %s\n", std::string(site.address).c_str(), std::string(site.host).c_str());
    return 0;
  }
  if (command == "conf") {
    std::printf("[address-services]\n");
    const char keys[] = "ABCD";
    for (std::size_t k = 0; k < sim::sites.size(); ++k)
      std::printf("%c = %s\n", keys[k], std::string(sim::sites[k].host).c_str());
    return 0;
  }
  if (command == "serve") return serve();
  return fail("usage: address-services hosts|conf|serve");
}
