// The change record: its lines byte for byte, and the counter across appends, a deleted
// file, the wrap after 99999 and a failed write. A module's change line and a wireless
// module's second line under the same counter are also in the parameter-settings LAN tests.
#include "app/change_record.h"
#include "config/wireless_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <sys/stat.h>

#include "platform/ipv4_address.h"
#include "support/arp_test_frames.h"
#include "support/fake_wait_clock.h"
#include "support/temporary_directory.h"

namespace {

using test::ipv4;
namespace wifi = config::wifi;

std::tm example_time() { return test::local_time(2016, 7, 20, 14, 5, 9); }

discovery::ModuleRow example_row() {
  discovery::ModuleRow row;
  row.mac = {0x02, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5};
  row.ip = ipv4("192.168.1.50");
  row.host_bits = 8;
  row.gateway = ipv4("192.168.1.1");
  return row;
}

netenv::PendingParameters example_change() {
  netenv::PendingParameters p;
  p.new_module_ip = ipv4("192.168.1.60");
  p.host_bits = 8;
  p.new_gateway = ipv4("192.168.1.1");
  return p;
}

TEST(ChangeRecord, ChangeLineHasEveryPieceInItsWidth) {
  EXPECT_EQ(app::change_line(7, example_time(), example_row(), example_change()),
            "00007, <2016/07/20-14/05/09>, <MAC:02A1B2-C3D4E5>, IP/MK/GIP:192.168.001.050/255.255.255.000/"
            "192.168.001.001, To--> 192.168.001.060/255.255.255.000/192.168.001.001\r\n");
}

config::WirelessBlock block(const char* ssid, std::uint8_t network, std::uint8_t security) {
  config::WirelessBlock b{};
  std::memcpy(b.data() + wifi::ssid, ssid, std::strlen(ssid));
  b[wifi::topology] = network;
  b[wifi::security] = security;
  return b;
}

TEST(ChangeRecord, WifiLineNamesTopologySecurityAndKey) {
  config::WirelessBlock wpa2 = block("plant", 0x60, (wifi::method_ccmp << 5) | (1 << 2) | wifi::suite_wpa2);
  wpa2[wifi::key_type] = 0xF1;  // passphrase; the other bits are not the type
  wpa2[wifi::key_length] = 11;
  std::memcpy(wpa2.data() + wifi::key, "secret-pass", 11);
  EXPECT_EQ(app::wifi_line(7, wpa2),
            "00007, ------------WIFIQV9K , SSID=plant; INFRASTRUCTURE; SEC=WPA2_PSK-CCMP(AES); KEY: L=11,PASSPHRASE, "
            "secret-pass\r\n");

  config::WirelessBlock wep = block("lab", 0x61, (wifi::method_wep64 << 5) | (1 << 2) | wifi::suite_wep);
  wep[wifi::key_index] = 2;
  wep[wifi::key_length] = 5;
  const std::uint8_t key[] = {0x0A, 0x1B, 0x2C, 0x3D, 0x4E};
  std::memcpy(wep.data() + wifi::key, key, sizeof key);
  EXPECT_EQ(app::wifi_line(12, wep),
            "00012, ------------WIFIQV9K , SSID=lab; AD-HOC; CH=06; SEC=WEP64-SHARED-KID3; KEY: L=05,HEX, 0A1B2C3D4E\r\n");

  EXPECT_EQ(app::wifi_line(0, block("x", 0x00, wifi::suite_none)),
            "00000, ------------WIFIQV9K , SSID=x; INFRASTRUCTURE; SEC=NONE; \r\n");
  EXPECT_NE(app::wifi_line(0, block("x", 0, wifi::suite_wpa)).find("SEC=WPA_PSK-TKIP; KEY: L=00,HEX, \r\n"),
            std::string::npos);
}

TEST(ChangeRecord, MalformedBlocksStayInsideTheBlock) {
  config::WirelessBlock b = block("", 0, wifi::suite_wpa);
  std::memset(b.data() + wifi::ssid, 'S', wifi::ssid_bytes);  // no terminating zero
  b[wifi::key_length] = 200;
  const std::string line = app::wifi_line(0, b);
  EXPECT_NE(line.find("SSID=" + std::string(wifi::ssid_bytes, 'S') + ";"), std::string::npos);
  EXPECT_NE(line.find("L=200,HEX, " + std::string(2 * wifi::key_bytes, '0') + "\r\n"), std::string::npos);
}

struct File {
  test::TemporaryDirectory dir;
  std::string path = dir.file(app::change_record_file_name);
  std::uint32_t counter = 41;
  int append(const config::WirelessBlock* wifi = nullptr) {
    return app::append_change_record(path, counter, example_time(), example_row(), example_change(), wifi);
  }
  std::string content() const { return test::read_file(path); }
};

TEST(ChangeRecord, ANewFileStartsAtZeroOwnerOnlyAndAppendsAfterwards) {
  File f;
  ASSERT_EQ(f.append(), 0);
  EXPECT_EQ(f.counter, 1u);
  struct stat st {};
  ASSERT_EQ(::stat(f.path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(f.append(), 0);
  EXPECT_EQ(f.counter, 2u);
  const std::string content = f.content();
  EXPECT_EQ(content.find("00000, "), 0u);
  EXPECT_NE(content.find("\r\n00001, "), std::string::npos);
  f.counter = 99999;
  ASSERT_EQ(f.append(), 0);
  EXPECT_EQ(f.counter, 0u);  // wraps after 99999

  std::filesystem::remove(f.path);  // deleted: the count starts again
  f.counter = 30;
  ASSERT_EQ(f.append(), 0);
  EXPECT_EQ(f.content().substr(0, 7), "00000, ");
}

TEST(ChangeRecord, AFailedWriteLeavesTheCounter) {
  std::uint32_t counter = 5;
  EXPECT_EQ(app::append_change_record("/dev/full", counter, example_time(), example_row(), example_change(), nullptr),
            app::change_record_not_written);
  EXPECT_EQ(counter, 5u);
  EXPECT_EQ(app::append_change_record("/nonexistent-dir/chg_record.txt", counter, example_time(), example_row(),
                                      example_change(), nullptr),
            app::change_record_not_opened);
  EXPECT_EQ(counter, 5u);
}

}  // namespace
