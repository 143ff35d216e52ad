#pragma once
// The upload server: a TCP listener on one local address, or a UDP socket that keeps what
// was sent to that address or its subnet's broadcast, receiving the records of modules in
// active-upload mode; keeps a 32-slot connection table, logs every
// event to the data list and the summary of modules to the module list. Readiness reaches
// it through the window's socket watcher, between commands.
#include <array>
#include <cstdint>
#include <optional>

#include "netenv/adapter_table.h"
#include "netenv/external_addresses.h"
#include "platform/socket_handle.h"
#include "platform/wait_clock.h"
#include "polling/polling_table.h"
#include "server/server_settings.h"
#include "server/upload_records.h"
#include "ui/main_view.h"

namespace server {

// Codes of start_server. Starting the socket library and registering for readiness, the
// steps the codes -1 and -5 stand for elsewhere, cannot fail here.
constexpr int start_socket_failed = -2;
constexpr int start_bind_failed = -3;
constexpr int start_listen_failed = -4;

constexpr int listen_backlog = 32;
constexpr int receive_buffer_bytes = 200;
constexpr int log_lines_before_reset = 500;

// Codes of a failed receive, printed in the log.
constexpr int receive_failed = -7;
constexpr int receive_nothing = -8;
constexpr int receive_not_for_server = -100;  // a datagram for another address; never printed

struct ConnectionSlot {
  bool in_use = false;
  platform::SocketHandle socket;  // the accepted connection (TCP only)
  PeerAddress peer;
};

// The server's part of the program state; it runs while its socket is open.
struct ServerState {
  platform::SocketHandle socket;  // listening TCP socket or bound UDP socket
  bool listener_paused = false;   // not watched while every slot is taken
  // The bound address entry's address and its subnet's directed broadcast: the UDP server
  // keeps only datagrams sent to one of them.
  platform::Ipv4Address local_ip;
  platform::Ipv4Address local_broadcast;
  std::array<ConnectionSlot, max_slots> connection_table{};
  int connection_count = 0;
  int log_line_number = 0;
  std::array<Identity, max_slots> slot_identities{};  // MAC text and identifier of each slot's latest record
  UploadSummary summary;
  IntervalTable intervals;
};

// Empties the summary and the intervals: done with every clearing of the Module table.
void clear_upload_summary(ServerState& state);

// A record as it was logged, for whoever keeps records as data beside the log.
struct UploadEvent {
  ClockTime time;
  PeerAddress peer;
  Identity identity{};  // MAC text and module identifier as received
  // The readings the log line shows; nullopt where it shows "not available".
  std::optional<double> temperature_c;
  std::optional<double> humidity_percent;
  std::optional<std::uint8_t> inputs;
  std::optional<float> interval_s;  // seconds since the module's previous record
};

class UploadListener {
 public:
  virtual ~UploadListener() = default;
  virtual void on_upload(const UploadEvent& event) = 0;
};

class UploadServer {
 public:
  UploadServer(ServerState& state, const ServerSettings& settings, const netenv::AdapterTable& adapters,
               const netenv::ExternalAddresses& external, polling::PollingTable& polling, ui::MainView& view,
               platform::WaitClock& clock);
  ~UploadServer() { stop_server(); }
  UploadServer(const UploadServer&) = delete;
  UploadServer& operator=(const UploadServer&) = delete;

  // Binds the settings' address entry and port (TCP for protocol atcp; UDP takes the port
  // on every address and filters by destination), frees
  // every slot, restarts the log numbering and watches the socket. 0 on success and when
  // already running or while the polling sockets are open (nothing changes), else a start_* code with nothing left open.
  int start_server();
  // Closes every connection and the server socket; harmless when not running.
  void stop_server();
  bool running() const { return state_.socket.valid(); }
  // The banner and the waiting line that open a run, after a successful start.
  void banner();
  // Told of every record after its log line; none by default.
  void set_listener(UploadListener* listener) { listener_ = listener; }

 private:
  ui::SocketWatcher& watcher() { return view_.socket_watcher(); }
  void watch_listener();
  void on_connection_readable(int fd);
  void on_accept_event(int error);
  void on_read_event(int fd, int error);
  void on_close_event(int fd, int error);
  void on_udp_read_event();

  // Slot holding the connection fd, with its ordinal among the slots in use; -1 if none.
  int find_connection(int fd, int& ordinal) const;
  void close_connection(int slot);
  int receive_from_connection(int slot, std::span<std::uint8_t> buffer);
  // One datagram: its length, or receive_failed (also for one over the buffer's size),
  // receive_nothing, or receive_not_for_server when it was sent to another address.
  int receive_datagram(std::span<std::uint8_t> buffer, PeerAddress& peer);
  // Adds a log line: the stamp (line number and the event's time), then the event.
  void log(const char* event_format, ...) __attribute__((format(printf, 2, 3)));
  void add_log_line(const std::string& line);
  void housekeeping();
  void tell_listener(std::size_t slot, PeerAddress peer, std::optional<float> interval_s);

  ServerState& state_;
  const ServerSettings& settings_;
  const netenv::AdapterTable& adapters_;
  const netenv::ExternalAddresses& external_;
  polling::PollingTable& polling_;
  ui::MainView& view_;
  platform::WaitClock& clock_;  // local time of the log, ticks of the intervals, retry pauses
  ClockTime event_time_;  // local time of the event being handled
  UploadListener* listener_ = nullptr;
};

}  // namespace server
