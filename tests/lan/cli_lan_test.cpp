// quorvane-cli in the virtual LAN: the real binary, started in the PC's namespace, against
// emulated modules; its text output compared with the window's lists over the same LAN.
#include <algorithm>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "support/fresh_start_directory.h"
#include "support/scripted_program.h"
#include "support/temporary_directory.h"
#include "support/virtual_lan.h"

namespace {

using Clock = std::chrono::steady_clock;

// A program (quorvane-cli unless told) running in the calling thread's network namespace, its
// output read through pipes.
class CliProcess {
 public:
  // Without raw_right it runs as root without CAP_NET_RAW (dropped from the bounding set).
  explicit CliProcess(const std::vector<std::string>& arguments, bool close_stdout = false, bool raw_right = true,
                      const char* program = QV_CLI) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      dup2(err[1], 2);
      if (!raw_right && prctl(PR_CAPBSET_DROP, CAP_NET_RAW, 0, 0, 0) != 0) _exit(126);
      std::vector<char*> argv{const_cast<char*>(program)};
      for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execvp(program, argv.data());
      _exit(127);
    }
    close(out[1]);
    close(err[1]);
    out_ = out[0];
    err_ = err[0];
    if (close_stdout) {
      close(out_);
      out_ = -1;
    }
  }
  ~CliProcess() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
    if (err_ >= 0) close(err_);
  }

  // Reads standard output until it holds `lines` lines or the deadline passes.
  bool read_lines(std::size_t lines, std::chrono::milliseconds within) {
    const auto deadline = Clock::now() + within;
    while (count_lines() < lines && Clock::now() < deadline) {
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, 50) > 0 && !read_some(out_, out_text)) break;
    }
    return count_lines() >= lines;
  }
  // Reads both streams to their end and waits for the exit status.
  int finish() {
    if (out_ >= 0) while (read_some(out_, out_text)) {}
    while (read_some(err_, err_text)) {}
    int status = 0;
    waitpid(pid_, &status, 0);
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
  }
  pid_t pid() const { return pid_; }
  std::vector<std::string> lines() const {
    std::vector<std::string> all;
    std::istringstream in(out_text);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      all.push_back(line);
    }
    return all;
  }

  std::string out_text;
  std::string err_text;

 private:
  std::size_t count_lines() const { return static_cast<std::size_t>(std::count(out_text.begin(), out_text.end(), '\n')); }
  static bool read_some(int fd, std::string& text) {
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return false;
    text.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  int status_ = -1;
};

// Runs python3's JSON parser over text (the whole of it, or each line with lines = true);
// returns what print_expression over the parsed `d` printed, or "invalid" when a piece does not parse.
std::string parse_json(const std::string& text, bool lines, const std::string& print_expression) {
  test::TemporaryDirectory directory;
  test::write_file(directory.file("output.json"), text);
  CliProcess python({"-c",
                     std::string("import json,sys\ntext=open(sys.argv[1],encoding='utf-8').read()\ntry:\n  d=") +
                         (lines ? "[json.loads(l) for l in text.splitlines()]" : "json.loads(text)") +
                         "\nexcept ValueError:\n  print('invalid'); sys.exit(0)\nprint(" + print_expression + ")",
                     directory.file("output.json")},
                    false, true, "python3");
  python.finish();
  return python.out_text.substr(0, python.out_text.find_last_not_of('\n') + 1);
}

std::vector<std::string> split_csv_simple(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.push_back("");
  return fields;
}

// Three text modules with readings of their own, an SNMP module and an active-upload one.
test::LanTopology mixed_modules() {
  test::LanTopology t("192.168.1.10/24");
  t.add_sensor_modules(1, 1, 101, "temperature = 23.5\nhumidity = 45.6\ndigital_inputs = 0x03\nfirmware_d1 = 0x71\ncapability_d7 = 0x33");
  t.add_sensor_modules(1, 1, 102, "work_mode = UDP\ntemperature = -5\nhumidity = 61.2");
  t.add_sensor_modules(1, 1, 103, "temperature = 19.75\nhumidity = 52.0");
  t.add_sensor_modules(1, 1, 104, "work_mode = SNMP\nsnmp_name = 9A1\ntemperature = 21.4\nhumidity = 38.2\ndigital_inputs = 0x10");
  t.add_sensor_modules(1, 1, 105, "work_mode = AUDP");
  return t;
}

TEST(CliLan, SearchListsEveryModuleAsJsonAndAsTheWindowsLines) {
  test::VirtualLanAtPc lan(mixed_modules());
  ASSERT_TRUE(lan.ok()) << lan.error();

  CliProcess json({"search", "--format", "json"});
  ASSERT_EQ(json.finish(), 0) << json.err_text;
  EXPECT_EQ(parse_json(json.out_text, false,
                       "' '.join(m['ip']+'/'+m['work_mode']+'/'+str(m['port'])+'/'+m['mac'] for m in d)"),
            "192.168.1.101/TCP/10050/00:20:4A:01:00:65 192.168.1.102/UDP/10050/00:20:4A:01:00:66 "
            "192.168.1.103/TCP/10050/00:20:4A:01:00:67 192.168.1.104/SNMP/10050/00:20:4A:01:00:68 "
            "192.168.1.105/AUDP/10050/00:20:4A:01:00:69");

  test::ScriptedProgram window;
  ASSERT_TRUE(window.window.create());
  window.window.on_command(ui::ButtonId::search);
  CliProcess text({"search"});
  ASSERT_EQ(text.finish(), 0) << text.err_text;
  EXPECT_EQ(text.lines(), window.view.lines(ui::ListId::modules));
  EXPECT_EQ(text.lines().size(), 5u);

  // A reader that has gone is no failure.
  CliProcess closed({"search", "--format", "csv"}, true);
  EXPECT_EQ(closed.finish(), 0);
  EXPECT_EQ(closed.err_text, "");
}

TEST(CliLan, PollPrintsEachModulesReadingsPerCycle) {
  test::VirtualLanAtPc lan(mixed_modules());
  ASSERT_TRUE(lan.ok()) << lan.error();

  CliProcess csv({"poll", "--cycles", "2", "--period", "0", "--format", "csv"});
  ASSERT_EQ(csv.finish(), 0) << csv.err_text;
  const std::vector<std::string> lines = csv.lines();
  ASSERT_EQ(lines.size(), 1u + 2 * 5);
  EXPECT_EQ(lines[0], "timestamp,ip,mac,name,temperature_c,humidity_rh,inputs,status,raw");
  // Every CSV line, the header too, ends in CR LF.
  std::size_t crlf = 0;
  for (std::size_t at = csv.out_text.find("\r\n"); at != std::string::npos; at = csv.out_text.find("\r\n", at + 2)) ++crlf;
  EXPECT_EQ(crlf, static_cast<std::size_t>(std::count(csv.out_text.begin(), csv.out_text.end(), '\n')));
  EXPECT_EQ(crlf, lines.size());
  // ip -> temperature, humidity, inputs, status as the emulators were given them.
  const std::map<std::string, std::vector<std::string>> first = {
      {"192.168.1.101", {"23.500", "45.6", "", "ok"}}, {"192.168.1.102", {"-5.000", "61.2", "", "ok"}},
      {"192.168.1.103", {"19.750", "52.0", "", "ok"}}, {"192.168.1.104", {"21.400", "38.2", "010000", "ok"}},
      {"192.168.1.105", {"", "", "", "active upload"}}};
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = split_csv_simple(lines[i]);
    ASSERT_EQ(f.size(), 9u) << lines[i];
    EXPECT_EQ(f[0].size(), 25u) << f[0];  // 2026-12-07T01:30:00+00:00
    std::vector<std::string> expected = first.at(f[1]);
    // The text modules answer the extended reading, whose inputs show from the second cycle on.
    if (i > 5 && f[1] != "192.168.1.104" && f[1] != "192.168.1.105") expected[2] = f[1] == "192.168.1.101" ? "000011" : "000000";
    EXPECT_EQ((std::vector<std::string>{f[4], f[5], f[6], f[7]}), expected) << lines[i];
  }

  test::ScriptedProgram window;
  ASSERT_TRUE(window.window.create());
  window.window.on_command(ui::ButtonId::search);
  window.window.on_command(ui::ButtonId::start);
  CliProcess text({"poll"});
  ASSERT_EQ(text.finish(), 0) << text.err_text;
  EXPECT_EQ(text.lines(), window.view.lines(ui::ListId::data));
  window.window.on_command(ui::ButtonId::stop);
}

TEST(CliLan, SigtermEndsAPollAtOnceWithCompleteJsonLines) {
  test::LanTopology t("192.168.1.10/24");
  t.add_sensor_modules(1, 1, 101, "temperature = 23.5\nhumidity = 45.6");
  t.add_sensor_modules(1, 1, 102, "silent_requests = 100000");  // each cycle waits on it for its time-outs
  test::VirtualLanAtPc lan(t);
  ASSERT_TRUE(lan.ok()) << lan.error();

  setenv("ASAN_OPTIONS", "detect_leaks=0", 1);  // the exit's leak scan is not the program's time
  CliProcess poll({"poll", "--forever", "--period", "0", "--format", "json"});
  unsetenv("ASAN_OPTIONS");
  ASSERT_TRUE(poll.read_lines(2, std::chrono::seconds(20))) << poll.err_text;
  usleep(300 * 1000);  // into the silent module's exchange
  const auto signalled = Clock::now();
  kill(poll.pid(), SIGTERM);
  EXPECT_EQ(poll.finish(), 0) << poll.err_text;
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - signalled);
  EXPECT_LT(took.count(), 100);
  const std::size_t records = poll.lines().size();
  EXPECT_EQ(records % 2, 0u) << poll.out_text;  // whole cycles only
  EXPECT_EQ(parse_json(poll.out_text, true, "' '.join(sorted(set(r['status'] for r in d)))"), "no response ok");
}

TEST(CliLan, ServeReceivesTheRecordsOfAnAudpModule) {
  test::LanTopology t("192.168.1.10/24");
  t.add_sensor_modules(1, 1, 120,
      "work_mode = AUDP\nserver_ip = 192.168.1.10\nserver_port = 8123\nupload_interval_ms = 200\nmodule_code = 42\n"
      "temperature = -5\nhumidity = 40\ndigital_inputs = 0x21");
  test::VirtualLanAtPc lan(t);
  ASSERT_TRUE(lan.ok()) << lan.error();

  CliProcess serve({"serve", "--udp", "--port", "8123", "--format", "json"});
  ASSERT_TRUE(serve.read_lines(3, std::chrono::seconds(10))) << serve.err_text;
  kill(serve.pid(), SIGTERM);
  EXPECT_EQ(serve.finish(), 0) << serve.err_text;
  EXPECT_EQ(parse_json(serve.out_text, true,
                       "' '.join(sorted(set(r['peer']+'/'+r['mac']+'/'+r['module_code']+'/'+str(r['temperature_c'])+'/'+str(r['humidity_rh'])"
                       "+'/'+r['inputs'] for r in d)))"),
            "192.168.1.120/00204A010078/002A/-5.0/40.0/100001");
}

// Without CAP_NET_RAW the lookup's echo probe cannot open its raw socket: the address is
// still served, and the operator is told which right is missing rather than "no route".
TEST(CliLan, ServeLookupWithoutTheRawSocketRightSaysWhichRightIsMissing) {
  test::VirtualLanAtPc lan(test::LanTopology("192.168.1.10/24"));
  ASSERT_TRUE(lan.ok()) << lan.error();
  test::FreshStartDirectory start;
  // Service C is asked only when its echo probe gets replies; localhost needs no resolver.
  std::ofstream(start.file("quorvane.conf")) << "[address-services]\nC = localhost\n";

  CliProcess serve({"serve", "--udp", "--port", "8124", "--lookup"}, false, false);
  ASSERT_TRUE(serve.read_lines(1, std::chrono::seconds(20))) << serve.err_text;  // the banner
  kill(serve.pid(), SIGTERM);
  EXPECT_EQ(serve.finish(), 0) << serve.err_text;
  EXPECT_NE(serve.err_text.find("CAP_NET_RAW): 无法探测外网路由"), std::string::npos) << serve.err_text;
  EXPECT_NE(serve.out_text.find("--none--"), std::string::npos) << serve.out_text;
}

}  // namespace
