#include "app/change_record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "config/wireless_block.h"
#include "netenv/address_checks.h"
#include "platform/socket_handle.h"  // owns any descriptor

namespace app {
namespace {

std::string octets(platform::Ipv4Address ip, const char* after) {
  char text[32];
  std::snprintf(text, sizeof text, "%03u.%03u.%03u.%03u%s", unsigned{ip.octet(0)}, unsigned{ip.octet(1)},
                unsigned{ip.octet(2)}, unsigned{ip.octet(3)}, after);
  return text;
}

std::string zero_ended(const config::WirelessBlock& block, std::size_t offset, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(block.data() + offset);
  return std::string(text, strnlen(text, size));
}

std::string wep_text(std::uint8_t security, bool adhoc, std::uint8_t key_index) {
  std::string text = (security >> 5) == 1 ? "WEP64-" : "WEP128-";
  text += (security & 0x1C) ? "SHARED" : "OPEN";
  if (adhoc) {
    char kid[16];
    std::snprintf(kid, sizeof kid, "-KID%d;", key_index + 1);
    text += kid;
  }
  return text;
}

bool write_whole(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string change_line(std::uint32_t counter, const std::tm& now, const discovery::ModuleRow& row,
                        const netenv::PendingParameters& pending) {
  char head[128];
  std::snprintf(head, sizeof head, "%05u, <%04d/%02d/%02d-%02d/%02d/%02d>, <MAC:%02X%02X%02X-%02X%02X%02X>, IP/MK/GIP:",
                static_cast<unsigned>(counter), now.tm_year + 1900, now.tm_mon + 1, now.tm_mday, now.tm_hour,
                now.tm_min, now.tm_sec, row.mac[0], row.mac[1], row.mac[2], row.mac[3], row.mac[4], row.mac[5]);
  return head + octets(row.ip, "/") + octets(netenv::mask_from_host_bits(row.host_bits), "/") +
         octets(row.gateway, ", To--> ") + octets(pending.new_module_ip, "/") +
         octets(netenv::mask_from_host_bits(pending.host_bits), "/") +
         octets(pending.new_gateway, "\r\n");
}

std::string wifi_line(std::uint32_t counter, const config::WirelessBlock& block) {
  namespace w = config::wifi;
  char text[64];
  std::snprintf(text, sizeof text, "%05u, ------------WIFIQV9K , SSID=", static_cast<unsigned>(counter));
  std::string line = text + zero_ended(block, w::ssid, w::ssid_bytes) + ";";
  const std::uint8_t network = block[w::topology];
  const std::uint8_t security = block[w::security];
  const bool adhoc = network & 1;
  if (adhoc) {
    std::snprintf(text, sizeof text, " AD-HOC; CH=%02d; SEC=", network >> 4);
    line += text;
  } else {
    line += " INFRASTRUCTURE; SEC=";
  }
  switch (security & 3) {
    case w::suite_none: line += "NONE; "; break;
    case w::suite_wep: line += wep_text(security, adhoc, block[w::key_index]); break;
    case w::suite_wpa: line += "WPA_PSK-TKIP;"; break;
    default: line += (security >> 5) == 3 ? "WPA2_PSK-TKIP;" : "WPA2_PSK-CCMP(AES);"; break;
  }
  if ((security & 3) != 0) {
    const int length = block[w::key_length];
    std::snprintf(text, sizeof text, " KEY: L=%02d,", length);
    line += text;
    if (block[w::key_type] & 3) {
      line += "PASSPHRASE, " + zero_ended(block, w::key, w::key_bytes);
    } else {
      line += "HEX, ";
      // The length byte comes from the module: never past the key's 64 bytes.
      for (int i = 0; i < length && i < static_cast<int>(w::key_bytes); ++i) {
        std::snprintf(text, sizeof text, "%02X", block[w::key + static_cast<std::size_t>(i)]);
        line += text;
      }
    }
  }
  return line + "\r\n";
}

int append_change_record(const std::string& path, std::uint32_t& counter, const std::tm& now,
                         const discovery::ModuleRow& row, const netenv::PendingParameters& pending,
                         const config::WirelessBlock* wifi) {
  constexpr int flags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC;
  platform::SocketHandle file(::open(path.c_str(), flags | O_EXCL, 0600));
  const bool created = file.valid();
  if (!created && errno == EEXIST) file = platform::SocketHandle(::open(path.c_str(), flags, 0600));
  if (!file.valid()) return change_record_not_opened;
  if (created) counter = 0;
  const std::uint32_t next = counter;
  if (!write_whole(file.fd(), change_line(next, now, row, pending)) || ::fsync(file.fd()) != 0)
    return change_record_not_written;
  if (wifi && write_whole(file.fd(), wifi_line(next, *wifi))) ::fsync(file.fd());
  counter = next >= max_change_record_counter ? 0 : next + 1;
  return 0;
}

}  // namespace app
