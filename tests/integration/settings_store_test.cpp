// The settings file on a real file system: what a save creates, what it keeps, when it reaches
// the disk, and that a save that cannot complete leaves the old file whole, throws nothing and
// leaves no temporary file.
#include "platform/file_settings_store.h"
#include "platform/virtual_platform.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>

namespace veltro::platform {
namespace {

namespace fs = std::filesystem;

fs::path MakeTempDir() {
  std::string dir = (fs::temp_directory_path() / "settings_store_XXXXXX").string();
  EXPECT_NE(mkdtemp(dir.data()), nullptr);
  return dir;
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  ~SettingsStoreTest() override {
    std::error_code ec;
    fs::remove_all(base, ec);
  }
  void Write(const std::string& text) {
    fs::create_directories(folder);
    std::ofstream(file, std::ios::binary) << text;
  }
  // What a save can leave: everything under the config root (folders end in '/'), then the
  // settings file's text.
  std::string State() {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
      names.insert(fs::relative(e.path(), root).string() + (e.is_directory() ? "/" : ""));
    }
    std::string out;
    for (const auto& n : names) out += n + " ";
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();  // a folder at the file's name reads as nothing
    return out + "| " + text.str();
  }
  fs::perms Perms() { return fs::status(file).permissions() & fs::perms::all; }
  void Save(const std::string& key, const std::string& value) {
    EXPECT_NO_THROW(store.Save("Corvane", "PAN", key, value));
  }

  fs::path base = MakeTempDir();
  fs::path root = base / "config";  // not there yet: the first save creates it
  fs::path folder = root / "Corvane";
  fs::path file = folder / "settings.ini";
  FileSettingsStore store{root.string()};
};

// The first save creates the folders and a private file; every later save is written, also one
// of a value this process saved before that another program changed since; a text that would
// break the file's structure is not saved.
TEST_F(SettingsStoreTest, CreatesAPrivateFileAndWritesEverySafeSave) {
  Save("ATT", "6");
  Save("FW", "2400");
  EXPECT_EQ(State(), "Corvane/ Corvane/settings.ini | [PAN]\nATT=6\nFW=2400\n");
  EXPECT_EQ(Perms(), fs::perms::owner_read | fs::perms::owner_write);
  Write("[PAN]\nATT=0\n");
  Save("ATT", "6");
  Save("ATT", "1\n[Evil]");
  Save("A=B", "1");
  store.Save("../Corvane", "PAN", "ATT", "0");
  store.Save("Corvane", "P]\n[Q", "ATT", "0");
  EXPECT_EQ(State(), "Corvane/ Corvane/settings.ini | [PAN]\nATT=6\n");
}

TEST_F(SettingsStoreTest, KeepsEverythingElseAndChangesValuesInPlace) {
  Write(
      "; written by hand\n[Display]\nTheme = dark\n\n[PAN]\nATT=0\nZoom=3\n\n[Other]\nATT=keep\n");
  const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(file, perms);
  Save("ATT", "12");
  Save("IFS", "-300");
  store.Save("Corvane", "Extra", "K", "v");
  EXPECT_EQ(State(),
            "Corvane/ Corvane/settings.ini | ; written by hand\n[Display]\nTheme = dark\n\n"
            "[PAN]\nATT=12\nZoom=3\nIFS=-300\n\n[Other]\nATT=keep\n\n[Extra]\nK=v\n");
  EXPECT_EQ(Perms(), perms);
}

// A settings file linked in from elsewhere stays a link; a temporary file a killed write left
// behind is taken over by the next write, so none stays.
TEST_F(SettingsStoreTest, FollowsALinkAndTakesOverALeftTemporaryFile) {
  fs::create_directories(folder);
  std::ofstream(base / "kept.ini") << "[PAN]\nATT=0\n";
  fs::create_symlink("../../kept.ini", file);
  std::ofstream(base / ".kept.ini.tmp") << "[PAN]\nATT=";
  Save("ATT", "6");
  EXPECT_TRUE(fs::is_symlink(file));
  EXPECT_EQ(State(), "../kept.ini Corvane/ | [PAN]\nATT=6\n");  // the link, listed by its target
  EXPECT_FALSE(fs::exists(base / ".kept.ini.tmp"));
}

// With an event loop, a flood of saves reaches the disk once, with the last value, one delay
// after the first save; what is still pending when the store goes is written then.
TEST_F(SettingsStoreTest, GathersSavesAndWritesThemWithinTheDelay) {
  VirtualPlatform vp;
  auto gathering = std::make_unique<FileSettingsStore>(root.string(), vp.platform().loop);
  for (int i = 0; i < 1000; ++i) gathering->Save("Corvane", "PAN", "IFS", std::to_string(i));
  vp.Advance(FileSettingsStore::kFlushDelayMs - 1);
  EXPECT_FALSE(fs::exists(file));
  vp.Advance(1);
  EXPECT_EQ(State(), "Corvane/ Corvane/settings.ini | [PAN]\nIFS=999\n");
  gathering->Save("Corvane", "PAN", "IFS", "-20");
  gathering.reset();
  EXPECT_EQ(State(), "Corvane/ Corvane/settings.ini | [PAN]\nIFS=-20\n");
}

// A save that cannot complete, set up in ways that hold for root as well.
TEST_F(SettingsStoreTest, AFailedSaveLeavesTheOldFileAndIsRetried) {
  const std::string old = "[PAN]\nATT=6\nFW=2400\n";

  // The application folder's name is taken by a file: nothing is written beside it.
  fs::create_directories(root);
  std::ofstream(folder) << "not a folder";
  Save("ATT", "6");
  EXPECT_EQ(State(), "Corvane | ");
  fs::remove(folder);

  // The settings file's name is taken by a folder, which cannot be read as one.
  fs::create_directories(file);
  Save("ATT", "12");
  EXPECT_EQ(State(), "Corvane/ Corvane/settings.ini/ | ");
  fs::remove(file);

  // The disk is full: the temporary file cannot be written.
  Write(old);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 8;
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  Save("ATT", "12");
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(State(), "Corvane/ Corvane/settings.ini | " + old);

  // Once the cause is gone the same value is written after all.
  Save("ATT", "12");
  EXPECT_EQ(State(), "Corvane/ Corvane/settings.ini | [PAN]\nATT=12\nFW=2400\n");
}

// Something at the file's name that cannot be opened for reading (here a socket, which holds
// for root as well) is left in place: writing would replace what it holds with the one value.
TEST_F(SettingsStoreTest, AFileItCannotReadIsLeftAlone) {
  fs::create_directories(folder);
  // Bound by its name inside the folder: a socket path is limited to about 100 bytes, which a
  // deep build folder exceeds.
  sockaddr_un name{};
  name.sun_family = AF_UNIX;
  file.filename().string().copy(name.sun_path, sizeof name.sun_path - 1);
  const fs::path here = fs::current_path();
  fs::current_path(folder);
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  const int bound = bind(fd, reinterpret_cast<sockaddr*>(&name), sizeof name);
  fs::current_path(here);
  ASSERT_EQ(bound, 0);
  Save("ATT", "12");
  close(fd);
  EXPECT_TRUE(fs::is_socket(file));
  EXPECT_EQ(State(), "Corvane/ Corvane/settings.ini | ");
}

TEST(UserConfigRoot, FollowsXdgThenHome) {
  // XDG_CONFIG_HOME and HOME (null: unset), and the root they give.
  const char* rows[][3] = {
      {"/x/conf", "/home/u", "/x/conf"},
      {"relative/conf", "/home/u", "/home/u/.config"},
      {nullptr, "", ""},
      {"", nullptr, ""},
  };
  auto put = [](const char* name, const char* value) {
    value ? setenv(name, value, 1) : unsetenv(name);
  };
  auto keep = [](const char* name) {
    const char* v = std::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
  };
  const auto xdg = keep("XDG_CONFIG_HOME"), home = keep("HOME");
  for (const auto& [xdg_value, home_value, root] : rows) {
    put("XDG_CONFIG_HOME", xdg_value);
    put("HOME", home_value);
    EXPECT_EQ(UserConfigRoot(), root)
        << (xdg_value ? xdg_value : "-") << " " << (home_value ? home_value : "-");
  }
  put("XDG_CONFIG_HOME", xdg ? xdg->c_str() : nullptr);
  put("HOME", home ? home->c_str() : nullptr);
}

}  // namespace
}  // namespace veltro::platform
