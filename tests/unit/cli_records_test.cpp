// The command-line program's records and command line: CSV quoting, JSON escaping of what
// modules send, the poll record of an SNMP module, and every argument error.
#include <gtest/gtest.h>

#include <cstring>

#include "cli/module_records.h"
#include "cli/qt/cli_arguments.h"
#include "cli/record_text.h"
#include "support/fake_wait_clock.h"
#include "support/ipv4_text.h"

namespace {

TEST(CliRecordText, CsvFieldsAreQuotedOnlyWhenTheyMustBe) {
  const struct {
    const char* text;
    const char* field;
  } cases[] = {
      {"192.168.1.5", "192.168.1.5"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {" padded", "\" padded\""},
      {"温度", "温度"},
  };
  for (const auto& c : cases) EXPECT_EQ(cli::csv_field(c.text), c.field) << c.text;
}

TEST(CliRecordText, JsonStringsEscapeQuotesControlsAndKeepOnlyValidUtf8) {
  const struct {
    std::string text;
    std::string json;
  } cases[] = {
      {"9A1 \"lab\"", "\"9A1 \\\"lab\\\"\""},
      {"back\\slash", "\"back\\\\slash\""},
      {"温度 ℃", "\"温度 ℃\""},
      {"tab\tnew\nline\x01", "\"tab\\tnew\\nline\\u0001\""},
      {"gbk \xCE\xC2", "\"gbk \xEF\xBF\xBD\xEF\xBF\xBD\""},  // code page 936 bytes are not UTF-8
      {"cut \xE6\xB8", "\"cut \xEF\xBF\xBD\xEF\xBF\xBD\""},  // a sequence broken off
      {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},          // an overlong '/'
  };
  for (const auto& c : cases) EXPECT_EQ(cli::json_string(c.text), c.json) << c.text;
}

TEST(CliRecordText, LocalTimeCarriesItsOffset) {
  std::tm t = test::local_time(2016, 7, 20, 14, 5, 9);
  t.tm_gmtoff = 8 * 3600;
  EXPECT_EQ(cli::iso8601_time(t), "2016-07-20T14:05:09+08:00");
  t.tm_gmtoff = -(3 * 3600 + 30 * 60);
  EXPECT_EQ(cli::iso8601_time(t), "2016-07-20T14:05:09-03:30");
}

// An SNMP module listed at position 0 that answered with `name` and the values V0-V3.
struct SnmpModule {
  explicit SnmpModule(const std::string& name) {
    modules.rows[0].ip = test::ipv4("192.168.1.104");
    modules.rows[0].mac = {0x00, 0x20, 0x4A, 0x0D, 0x00, 0x68};
    modules.rows[0].work_mode = discovery::snmp;
    modules.rows[0].sensor_module = true;
    modules.shown_count = 1;
    polling::PollingRow& row = polling.rows[0];
    row.connected = polling::ready;
    row.status = 1;
    row.record[0] = static_cast<std::uint8_t>(name.size());
    std::memcpy(&row.record[1], name.data(), name.size());
    const std::uint8_t values[] = {0x95, 38, 0x42, 0x10};  // -21.4 ℃, 38.2 %RH, DI4
    std::memcpy(&row.record[1 + name.size()], values, sizeof values);
  }
  discovery::ModuleTable modules;
  polling::PollingTable polling;
};

TEST(CliRecords, PollRecordOfAnSnmpModuleKeepsItsNameAsValidJson) {
  const SnmpModule module("\"B2\" 温室");  // 11 bytes: a quoted word and UTF-8
  const cli::PollFields fields = cli::poll_fields(module.modules, module.polling, 0, false, "2016-07-20T14:05:09+08:00");
  EXPECT_EQ(cli::poll_json(fields),
            "{\"timestamp\":\"2016-07-20T14:05:09+08:00\",\"ip\":\"192.168.1.104\",\"mac\":\"00:20:4A:0D:00:68\","
            "\"name\":\"\\\"B2\\\" 温室\",\"temperature_c\":-21.400,\"humidity_rh\":38.2,\"inputs\":\"010000\","
            "\"status\":\"ok\",\"raw\":\"0b2242322220e6b8a9e5aea495264210\"}");
  EXPECT_EQ(cli::poll_csv(fields),
            "2016-07-20T14:05:09+08:00,192.168.1.104,00:20:4A:0D:00:68,\"\"\"B2\"\" 温室\",-21.400,38.2,010000,ok,"
            "0b2242322220e6b8a9e5aea495264210");
}

TEST(CliRecords, ModulesWithoutReadingsGiveEmptyFieldsAndTheirStatus) {
  SnmpModule module("9A1");
  module.polling.rows[0].status = -2;  // timed out
  const cli::PollFields fields = cli::poll_fields(module.modules, module.polling, 0, false, "t");
  EXPECT_EQ(cli::poll_csv(fields), "t,192.168.1.104,00:20:4A:0D:00:68,,,,,no response,");
  EXPECT_EQ(cli::poll_json(fields),
            "{\"timestamp\":\"t\",\"ip\":\"192.168.1.104\",\"mac\":\"00:20:4A:0D:00:68\",\"name\":null,"
            "\"temperature_c\":null,\"humidity_rh\":null,\"inputs\":null,\"status\":\"no response\",\"raw\":null}");
}

cli::ParsedArguments parse(std::initializer_list<const char*> arguments) {
  QStringList list{"quorvane-cli"};
  for (const char* a : arguments) list << QString::fromUtf8(a);
  return cli::parse_arguments(list);
}

TEST(CliArguments, EveryErrorNamesTheArgument) {
  const struct {
    std::initializer_list<const char*> arguments;
    const char* named;
  } cases[] = {
      {{"search", "--bogus"}, "bogus"},
      {{}, "missing command"},
      {{"scan"}, "scan"},
      {{"search", "extra"}, "extra"},
      {{"search", "--format", "xml"}, "--format xml"},
      {{"poll", "--port", "8005"}, "--port"},
      {{"poll", "--period", "3600001"}, "--period 3600001"},
      {{"poll", "--period", "1e3"}, "--period 1e3"},
      {{"poll", "--cycles", "0"}, "--cycles 0"},
      {{"poll", "--cycles", "3", "--forever"}, "--forever"},
      {{"poll", "--only", "192.168.1.300"}, "--only 192.168.1.300"},
      {{"poll", "--only", "192.168.1.5,10.0.0"}, "--only 10.0.0"},
      {{"serve"}, "--tcp or --udp"},
      {{"serve", "--tcp", "--udp"}, "--tcp or --udp"},
      {{"serve", "--udp", "--address", "pc"}, "--address pc"},
      {{"serve", "--udp", "--port", "999"}, "--port 999"},
      {{"serve", "--udp", "--port", "65536"}, "--port 65536"},
      {{"serve", "--udp", "--summary-every", "0"}, "--summary-every 0"},
  };
  for (const auto& c : cases) {
    const cli::ParsedArguments parsed = parse(c.arguments);
    EXPECT_EQ(parsed.outcome, cli::ParsedArguments::Outcome::error) << c.named;
    EXPECT_NE(parsed.text.find(c.named), std::string::npos) << parsed.text;
    EXPECT_EQ(parsed.text.find('\n'), std::string::npos) << parsed.text;
  }
}

// The options the CLI LAN tests run with (search and poll formats, --cycles, --period,
// --forever, serve --udp --port --lookup) show there; here the others.
TEST(CliArguments, GoodArgumentsBecomeOptions) {
  cli::ParsedArguments poll = parse({"poll", "--only", "192.168.1.5,10.0.0.7"});
  ASSERT_EQ(poll.outcome, cli::ParsedArguments::Outcome::run) << poll.text;
  EXPECT_EQ(poll.options.only, (std::vector<platform::Ipv4Address>{test::ipv4("192.168.1.5"), test::ipv4("10.0.0.7")}));
  cli::ParsedArguments serve = parse({"serve", "--tcp", "--address", "192.168.1.10", "--summary-every", "60"});
  ASSERT_EQ(serve.outcome, cli::ParsedArguments::Outcome::run) << serve.text;
  EXPECT_TRUE(serve.options.tcp);
  EXPECT_EQ(serve.options.address, test::ipv4("192.168.1.10"));
  EXPECT_EQ(serve.options.summary_every_s, 60);
  EXPECT_EQ(parse({"--help"}).outcome, cli::ParsedArguments::Outcome::help);
  EXPECT_EQ(parse({"--version"}).outcome, cli::ParsedArguments::Outcome::version);
}

}  // namespace
