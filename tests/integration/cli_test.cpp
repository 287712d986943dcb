// veltro-ftdx10 run as a user runs it: its output, its errors and its exit status, against the
// simulator it starts itself or one the test serves on a pty.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ftdx10sim/simulator.h"
#include "support/real_rig.h"

namespace {

struct Result {
  int status;
  std::string out, err;
  std::string settings;  // the settings file the run left, "" when none
};

std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Runs the tool with `args` (shell words) and `input` on its standard input, with a settings
// folder of its own.
Result Tool(const std::string& args, const std::string& input = "") {
  auto dir = std::filesystem::temp_directory_path() / ("cli_test_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "in") << input;
  std::string cmd = "XDG_CONFIG_HOME=" + (dir / "config").string() + " timeout 60 " +
                    VELTRO_CLI_PATH + " " + args + " <" + (dir / "in").string() + " >" +
                    (dir / "out").string() + " 2>" + (dir / "err").string();
  int raw = std::system(cmd.c_str());
  Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "out"), Slurp(dir / "err"),
           Slurp(dir / "config" / "Corvane" / "settings.ini")};
  std::filesystem::remove_all(dir);
  return r;
}

using ::testing::HasSubstr;

// One run of the tool and what it must give.
struct Case {
  std::string args;
  int status;
  std::string err;                    // a part of the errors
  std::vector<std::string> out = {};  // parts of the output; none: nothing may be printed
  std::string input = "";
  std::vector<std::string> settings = {};  // parts of the settings file the run leaves
};

// With --json every line printed is one object, and a run that fails prints only its error.
void Check(const Case& c) {
  Result r = Tool(c.args, c.input);
  EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
  EXPECT_THAT(r.err, HasSubstr(c.err)) << c.args;
  EXPECT_TRUE(!c.out.empty() || r.out.empty()) << c.args << " printed " << r.out;
  for (const auto& part : c.out) EXPECT_THAT(r.out, HasSubstr(part)) << c.args;
  for (const auto& part : c.settings) EXPECT_THAT(r.settings, HasSubstr(part)) << c.args;
  if (c.args.find("--json") == std::string::npos) return;
  EXPECT_TRUE(c.status == 0 ||
              (r.out.starts_with("{\"error\":") && r.out.find("result") == std::string::npos))
      << c.args << ": " << r.out;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_TRUE(line.starts_with('{') && line.ends_with('}')) << c.args << ": " << line;
  }
}

TEST(Cli, CommandLineMistakesFailBeforeAnyRadioIsOpened) {
  const Case cases[] = {
      {"frobnicate", 2, "unknown command \"frobnicate\""},
      {"", 2, "commands:"},
      {"--bogus status", 2, "unknown option --bogus"},
      {"get Fred", 2, "unknown member \"Fred\""},
      {"get freq", 2, "did you mean Freq?"},
      {"get SetFreq", 2, "SetFreq is a method: use call"},
      {"call Freq", 2, "Freq is a property: use get"},
      {"call SetFreq", 2, "SetFreq takes 1 argument, not 0: SetFreq(Freq As Double) As Boolean"},
      {"call SetFreq abc", 2, "argument 1 (Freq As Double): \"abc\" is not a number"},
      {"call SetBand 99999", 2, "argument 1 (Band As Integer): \"99999\" is out of range"},
      {"call SetFreq 1e999", 2, "argument 1 (Freq As Double): \"1e999\" is out of range"},
      {"--model ft8 status", 2, "--model is ftdx10 or ft891"},
      {"let Freq 1", 2, "Freq is read-only"},
      {"get AFLevel 5", 2, "AFLevel: index out of range"},
      {"--port /dev/null --speed 12345 status", 2, "--speed 12345 is not a line speed"},
  };
  for (const Case& c : cases) Check(c);
}

// Runs on the built-in simulator unless a port is given: what each prints, its exit status and
// the panorama settings the session leaves.
TEST(Cli, OutputOfEachCommand) {
  const Case cases[] = {
      {"help raw", 0, "", {"usage: veltro-ftdx10 [OPTIONS] raw TEXT\n", "\noptions:\n  --port"}},
      {"members --help", 0, "", {"usage: veltro-ftdx10 [--json] members\n", "options:\n  --json"}},
      {"--version", 0, "", {"veltro-ftdx10 1."}},
      {"members",
       0,
       "",
       {"method     SetMode(ref Mode As Integer, Reverse As Integer) As Boolean",
        "property   AFLevel(Receiver As Variant) As Integer",
        "property   AutoPolling As Boolean  (get/let)", "connector  FTDX10_Protocol"}},
      {"--json members",
       0,
       "",
       {"{\"name\":\"SetMode\",\"kind\":\"method\",\"type\":\"Boolean\",\"settable\":false,"
        "\"params\":[{\"name\":\"Mode\",\"type\":\"Integer\",\"rewritten\":true}"}},
      {"call SetMode 2 0", 0, "", {"SetMode = true", "sent: MD03;FA014250000;", "Mode 1 -> 2"}},
      {"--json call SetFreq 7.1",
       0,
       "",
       {"\"result\":true", "FA007100000;", "\"Freq\":{\"from\":14.25,\"to\":7.1}",
        "\"arguments\":[{\"name\":\"Freq\",\"value\":7.1,\"rewritten\":false}]"}},
      {"call SetFreq 200", 1, "returned false", {"SetFreq = false", "sent: (nothing)"}},
      // Text goes into JSON as UTF-8, not byte by byte.
      {"--json call SetKeyerMessage 1 1 \"\xc3\xa9 CQ\"", 0, "", {"\"value\":\"\xc3\xa9 CQ\""}},
      {"--trace raw FA", 0, "", {"received: FA014250000;", " > FA;\n", " < FA014250000;\n"}},
      // A bad script line is reported and the rest still runs in the same session. The
      // attenuator and pre-amplifier are kept in dB, the IF shift in Hz, and the filter width
      // as the radio's answers report it.
      {"script -",
       2,
       "line 8: unknown script command \"bogus\"",
       {"sent: BS07;FA021200000;", "Split = 1", "Change(1)"},
       "call SetFreq 21.2\ncall SetSplit 1\ncall SetAtt 1\ncall SetPreAmp 2\n"
       "call SetIFShift 128\nwait 1\nget Split\nbogus\n",
       {"[PAN]\n", "ATT=6\n", "PRE=12\n", "IFS=-1200\n", "FW="}},
      {"--model ft891 --json --refresh status status",
       0,
       "",
       {"(built-in simulator, ft891)", "\"tuning\":{\"", "\"receiver\":{\"", "\"meters\":{\"",
        "\"tones\":{\"", "\"memory\":{\""}},
      {"--json watch --for 3", 0, "", {"{\"event\":\"Change\""}},
  };
  for (const Case& c : cases) Check(c);
}

// A radio on a pty that refuses every command it is sent.
struct RefusingRadio {
  veltro::testing::Pty pty;
  std::jthread answer{[this](std::stop_token stop) {
    for (char c; !stop.stop_requested();) {
      pollfd p{pty.master, POLLIN, 0};
      if (poll(&p, 1, 20) == 1 && read(pty.master, &c, 1) == 1 && c == ';') {
        (void)!write(pty.master, "?;", 2);
      }
    }
  }};
};

// A port that is missing or that another program holds, a radio that says nothing, refuses
// everything or goes away is never shown as a radio at 0 Hz: the tool says what happened and
// exits 1, through the relay and with --direct alike.
TEST(Cli, PortsAndRadiosThatFail) {
  veltro::testing::Pty silent;
  RefusingRadio refusing;
  veltro::sim::Simulator sim;
  sim.Start();
  const std::string held = sim.SlavePath(),
                    no_answer = "no answer from the radio on " + silent.path;
  int fd = open(held.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  // The lock also holds for root, whom the exclusive flag does not stop.
  ASSERT_EQ(ioctl(fd, TIOCEXCL), 0);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  const Case cases[] = {
      {"--port /dev/ttyUSB_none status", 1, "no such port: /dev/ttyUSB_none"},
      {"--port " + held + " status", 1, "port " + held + " is busy"},
      {"--direct --port " + held + " status", 1,
       "Port already in use: " + held + " is opened by another program"},
      {"--port " + silent.path + " get Freq", 1,
       no_answer + " at 38400 baud: is it on, and is its CAT rate 38400?"},
      {"--direct --port " + silent.path + " --speed 9600 --json call SetFreq 14.1",
       1,
       no_answer + " at 9600 baud: is it on, and is its CAT rate 9600?",
       {"{\"error\":"}},
      {"--port " + refusing.pty.path + " status", 1, "the radio refuses every command"},
      {"--direct --port " + refusing.pty.path + " get Freq", 1, "the radio refuses every command"},
  };
  for (const Case& c : cases) Check(c);
  close(fd);

  // Once free the port is served, until the radio goes away.
  ASSERT_TRUE(sim.FrontPanel("FA007074000"));
  Check({"--port " + held + " get VFOA_Freq", 0, "", {"VFOA_Freq = 7.074\n"}});
  std::thread pull([&sim] {
    std::this_thread::sleep_for(std::chrono::milliseconds(5000));
    sim.Disconnect();
  });
  Result w = Tool("--port " + sim.SlavePath() + " watch --for 6.5");
  pull.join();
  EXPECT_EQ(w.status, 1);
  EXPECT_THAT(w.out, HasSubstr(" the radio went away (no answer from the radio on ")) << w.err;
}

}  // namespace
