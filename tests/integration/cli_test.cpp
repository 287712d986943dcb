// veltro-ftdx10 run as a user runs it: its output, its errors and its exit status, against the
// simulator it starts itself or one the test serves on a pty.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
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

std::string ToolPath() {
#ifdef VELTRO_CLI_PATH
  return VELTRO_CLI_PATH;
#else
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "veltro-ftdx10").string();
#endif
}

struct Result {
  int status;
  std::string out;
  std::string err;
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
  std::string cmd = "XDG_CONFIG_HOME=" + (dir / "config").string() + " timeout 60 " + ToolPath() +
                    " " + args + " <" + (dir / "in").string() + " >" + (dir / "out").string() +
                    " 2>" + (dir / "err").string();
  int raw = std::system(cmd.c_str());
  Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "out"), Slurp(dir / "err"),
           Slurp(dir / "config" / "Corvane" / "settings.ini")};
  std::filesystem::remove_all(dir);
  return r;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A build without serial support cannot open the simulator's pty either.
#define SKIP_WITHOUT_SERIAL(result)                                        \
  if (Has((result).err, "Serial ports are not supported in this build")) { \
    GTEST_SKIP() << "no serial support in this build";                     \
  }

TEST(Cli, CommandLineMistakesFailBeforeAnyRadioIsOpened) {
  struct Case {
    const char* args;
    const char* message;
  } cases[] = {
      {"frobnicate", "unknown command \"frobnicate\""},
      {"--bogus status", "unknown option --bogus"},
      {"get Fred", "unknown member \"Fred\""},
      {"get freq", "did you mean Freq?"},
      {"get SetFreq", "SetFreq is a method: use call"},
      {"call Freq", "Freq is a property: use get"},
      {"call SetFreq", "SetFreq takes 1 argument, not 0: SetFreq(Freq As Double) As Boolean"},
      {"call SetFreq abc", "argument 1 (Freq As Double): \"abc\" is not a number"},
      {"call SetBand 99999", "argument 1 (Band As Integer): \"99999\" is out of range"},
      {"call SetFreq 1e999", "argument 1 (Freq As Double): \"1e999\" is out of range"},
      {"--model ft8 status", "--model is ftdx10 or ft891"},
      {"let Freq 1", "Freq is read-only"},
      {"get AFLevel 5", "AFLevel: index out of range"},
      {"--port /dev/null --speed 12345 status", "--speed 12345 is not a line speed"},
  };
  for (const Case& c : cases) {
    Result r = Tool(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_TRUE(Has(r.err, c.message)) << c.args << ": " << r.err;
    EXPECT_EQ(r.out, "") << c.args;
  }
}

TEST(Cli, EveryCommandHasItsHelpAndOptions) {
  for (const char* cmd :
       {"status", "watch", "get", "let", "call", "raw", "script", "members", "ports"}) {
    Result r = Tool(std::string(cmd) + " --help");
    EXPECT_EQ(r.status, 0) << cmd;
    EXPECT_TRUE(r.out.starts_with("usage: veltro-ftdx10 [") && Has(r.out, std::string("] ") + cmd))
        << r.out;
    bool radio = !Has("members ports", cmd);
    EXPECT_TRUE(Has(r.out, "\noptions:\n") && Has(r.out, "--json") && Has(r.out, "--port") == radio)
        << r.out;
  }
  EXPECT_EQ(Tool("help raw").out, Tool("raw --help").out);
  EXPECT_TRUE(Has(Tool("--version").out, "veltro-ftdx10 1.")) << Tool("--version").out;
  Result none = Tool("");
  EXPECT_TRUE(none.status == 2 && Has(none.err, "commands:")) << none.err;
}

// Runs on the built-in simulator unless a port is given: what each prints, its exit status and
// the panorama settings the session leaves. With --json every line printed is one object.
TEST(Cli, OutputOfEachCommand) {
  struct Case {
    std::string args, input;
    int status;
    std::vector<std::string> out, err = {}, settings = {};
  } cases[] = {
      {"members",
       "",
       0,
       {"method     SetMode(ref Mode As Integer, Reverse As Integer) As Boolean",
        "property   AFLevel(Receiver As Variant) As Integer",
        "property   AutoPolling As Boolean  (get/let)", "connector  FTDX10_Protocol"}},
      {"--json members",
       "",
       0,
       {"{\"name\":\"SetMode\",\"kind\":\"method\",\"type\":\"Boolean\",\"settable\":false,"
        "\"params\":[{\"name\":\"Mode\",\"type\":\"Integer\",\"rewritten\":true}"}},
      {"call SetMode 2 0", "", 0, {"SetMode = true", "sent: MD03;FA014250000;", "Mode 1 -> 2"}},
      {"--json call SetFreq 7.1",
       "",
       0,
       {"\"result\":true", "FA007100000;", "\"Freq\":{\"from\":14.25,\"to\":7.1}",
        "\"arguments\":[{\"name\":\"Freq\",\"value\":7.1,\"rewritten\":false}]"}},
      {"call SetFreq 200", "", 1, {"SetFreq = false", "sent: (nothing)"}, {"returned false"}},
      // Text goes into JSON as UTF-8, not byte by byte.
      {"--json call SetKeyerMessage 1 1 \"\xc3\xa9 CQ\"", "", 0, {"\"value\":\"\xc3\xa9 CQ\""}},
      {"--trace raw FA",
       "",
       0,
       {"sent:     FA;", "received: FA014250000;", " > FA;\n", " < FA014250000;\n"}},
      // A bad script line is reported and the rest still runs in the same session. The
      // attenuator and pre-amplifier are kept in dB, the IF shift in Hz, and the filter width
      // as the radio's answers report it.
      {"script -",
       "call SetFreq 21.2\ncall SetSplit 1\ncall SetAtt 1\ncall SetPreAmp 2\n"
       "call SetIFShift 128\nwait 1\nget Split\nbogus\n",
       2,
       {"sent: BS07;FA021200000;", "Split = 1", "Change(1)"},
       {"line 8: unknown script command \"bogus\""},
       {"[PAN]\n", "ATT=6\n", "PRE=12\n", "IFS=-1200\n", "FW="}},
      {"--model ft891 --json --refresh status status",
       "",
       0,
       {"(built-in simulator, ft891)", "\"tuning\":{\"", "\"receiver\":{\"", "\"meters\":{\"",
        "\"tones\":{\"", "\"memory\":{\""}},
      {"--json watch --for 3", "", 0, {"{\"event\":\"Change\""}},
  };
  for (const Case& c : cases) {
    Result r = Tool(c.args, c.input);
    SKIP_WITHOUT_SERIAL(r);
    EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
    for (const auto& part : c.out) EXPECT_TRUE(Has(r.out, part)) << c.args << " lacks " << part;
    for (const auto& part : c.err) EXPECT_TRUE(Has(r.err, part)) << c.args << " lacks " << part;
    for (const auto& part : c.settings) {
      EXPECT_TRUE(Has(r.settings, part)) << c.args << " left no " << part << " in " << r.settings;
    }
    std::istringstream lines(r.out);
    for (std::string line; Has(c.args, "--json") && std::getline(lines, line);) {
      EXPECT_TRUE(line.starts_with('{') && line.ends_with('}')) << c.args << ": " << line;
    }
  }
}

TEST(Cli, PortsByPathMissingBusyOrServed) {
  Result missing = Tool("--port /dev/ttyUSB_none status");
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(Has(missing.err, "no such port: /dev/ttyUSB_none")) << missing.err;
  Result direct = Tool("--direct --port /dev/ttyUSB_none status");
  EXPECT_EQ(direct.status, 1);
  EXPECT_TRUE(Has(direct.err, "cannot open /dev/ttyUSB_none: ")) << direct.err;

  veltro::sim::Simulator sim;
  sim.Start();
  ASSERT_TRUE(sim.FrontPanel("FA007074000"));
  Result get = Tool("--port " + sim.SlavePath() + " get VFOA_Freq");
  SKIP_WITHOUT_SERIAL(get);
  EXPECT_EQ(get.status, 0) << get.err;
  EXPECT_EQ(get.out, "VFOA_Freq = 7.074\n");

  int fd = open(sim.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  // Another program holds the radio's port, as the tool itself would (the lock also holds for
  // root, whom the exclusive flag does not stop).
  ASSERT_EQ(ioctl(fd, TIOCEXCL), 0);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  Result busy = Tool("--port " + sim.SlavePath() + " status");
  close(fd);
  EXPECT_EQ(busy.status, 1);
  EXPECT_TRUE(Has(busy.err, "port " + sim.SlavePath() + " is busy")) << busy.err;
}

// A radio on a pty that refuses every command it is sent.
struct RefusingRadio {
  veltro::testing::Pty pty;
  std::atomic<bool> stop{false};
  std::thread answer{[this] {
    for (char c; !stop;) {
      pollfd p{pty.master, POLLIN, 0};
      if (poll(&p, 1, 20) == 1 && read(pty.master, &c, 1) == 1 && c == ';') {
        (void)!write(pty.master, "?;", 2);
      }
    }
  }};
  ~RefusingRadio() {
    stop = true;
    answer.join();
  }
};

// A radio that says nothing, refuses everything or goes away is never shown as a radio at 0 Hz:
// the tool says what happened and exits 1, through the relay and with --direct alike.
TEST(Cli, SilentRefusingOrVanishedRadio) {
  veltro::testing::Pty silent;
  RefusingRadio refusing;
  struct Case {
    std::string args, message;
  } cases[] = {
      {"--port " + silent.path + " get Freq",
       "no answer from the radio on " + silent.path +
           " at 38400 baud: is it on, and is its CAT rate 38400?"},
      {"--direct --port " + silent.path + " --speed 9600 --json call SetFreq 14.1",
       "at 9600 baud: is it on, and is its CAT rate 9600?"},
      {"--port " + refusing.pty.path + " status", "the radio refuses every command"},
      {"--direct --port " + refusing.pty.path + " get Freq", "the radio refuses every command"},
  };
  for (const Case& c : cases) {
    Result r = Tool(c.args);
    SKIP_WITHOUT_SERIAL(r);
    EXPECT_EQ(r.status, 1) << c.args;
    EXPECT_TRUE(Has(r.err, c.message)) << c.args << ": " << r.err;
    // Nothing that looks like a reading; with --json the error is the one object printed.
    EXPECT_TRUE(Has(c.args, "--json") ? r.out.starts_with("{\"error\":") && !Has(r.out, "result")
                                      : r.out.empty())
        << c.args << ": " << r.out;
  }

  veltro::sim::Simulator sim;
  sim.Start();
  std::thread pull([&sim] {
    std::this_thread::sleep_for(std::chrono::milliseconds(5000));
    sim.Disconnect();
  });
  Result w = Tool("--port " + sim.SlavePath() + " watch --for 6.5");
  pull.join();
  EXPECT_EQ(w.status, 1);
  EXPECT_TRUE(Has(w.out, " the radio went away (no answer from the radio on ")) << w.out << w.err;
}

}  // namespace
