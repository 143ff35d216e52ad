#pragma once
// The exchanges that carry new parameters to a module: the set-configuration write of a
// Module table row (and of the remote module, with its retries), and the wireless block
// read and write on the Maintenance port. Every wait goes through the clock it is given;
// each exchange opens its own socket and closes it on every path.
#include <cstdint>

#include "config/wireless_block.h"
#include "discovery/module_table.h"
#include "netenv/pending_parameters.h"
#include "platform/wait_clock.h"

namespace config {

// Results of write_module_record and write_selected_module.
constexpr int write_send_failed = -3;
constexpr int write_wait_failed = -4;  // also: no socket could be opened
constexpr int write_no_ack = -5;
constexpr int write_receive_failed = -6;
constexpr int write_not_ack = -7;

// Results of the wireless exchanges (send and wait failures as above).
constexpr int wireless_no_reply = -1;

// Results of write_remote_module.
constexpr int remote_socket_failed = -1;
constexpr int remote_all_attempts_failed = -2;

constexpr long ack_wait_us = 100000;
constexpr long wireless_read_silence_us = 200000;
constexpr long wireless_ack_wait_us = 300000;
constexpr long remote_ack_wait_s = 3;
constexpr long remote_ack_wait_us = 200000;
constexpr int remote_read_delay_ms = 20;
constexpr int remote_attempts = 3;

// Applies pending to row's stored record (network section when with_network), sends it
// behind 00 00 00 FD from socket_fd to the row's IP and waits 100 ms for the acknowledgement.
// The edits stay in the stored record whatever the answer.
int write_module_record(platform::WaitClock& clock, int socket_fd, discovery::ModuleRow& row,
                        const netenv::PendingParameters& pending, bool with_network);

// The main window's write after the parameter dialog: its own broadcast socket, with the network section.
int write_selected_module(platform::WaitClock& clock, discovery::ModuleRow& row,
                          const netenv::PendingParameters& pending);

// The remote module (its record in row) at the address the operator typed, which may not be
// the record's own (a module behind a router that translates addresses): work-mode and
// upload sections only, from a socket bound to the local adapter address local_ip, up to 3
// attempts of a 3.2 s wait each.
int write_remote_module(platform::WaitClock& clock, discovery::ModuleRow& row, const netenv::PendingParameters& pending,
                        platform::Ipv4Address remote_ip, platform::Ipv4Address local_ip);

// Asks row's module for its wireless block; the last valid reply before 200 ms of silence
// goes into both copies. 0, wireless_no_reply, write_send_failed or write_wait_failed.
int read_wireless(platform::WaitClock& clock, int socket_fd, const discovery::ModuleRow& row, WirelessCopies& copies);
int read_selected_wireless(platform::WaitClock& clock, const discovery::ModuleRow& row, WirelessCopies& copies);

// Sends the edited block; 0 when an acknowledgement came before 300 ms of silence.
int write_wireless(platform::WaitClock& clock, int socket_fd, const discovery::ModuleRow& row,
                   const WirelessBlock& edited);
// As write_wireless over its own socket, but sends nothing (and succeeds) when the edited
// block equals the as-read block.
int write_selected_wireless(platform::WaitClock& clock, const discovery::ModuleRow& row, const WirelessCopies& copies);

}  // namespace config
