#include "platform/file_settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace veltro::platform {

namespace {

// Writes all of `data` to `fd`, retrying on interruption; false on any other failure.
bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string TrimBlanks(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// The file's lines with `key` set to `value` in `section`: an existing key line is replaced in
// place, a new key goes after the section's last key line, a new section at the end.
std::vector<std::string> WithValue(std::vector<std::string> lines, const std::string& section,
                                   const std::string& key, const std::string& value) {
  const std::string entry = key + "=" + value;
  bool in_section = false;
  std::size_t insert_at = std::string::npos;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string t = TrimBlanks(lines[i]);
    if (!t.empty() && t.front() == '[') {
      if (in_section) break;
      in_section = t == "[" + section + "]";
      if (in_section) insert_at = i + 1;
      continue;
    }
    if (!in_section) continue;
    std::size_t eq = t.find('=');
    if (eq != std::string::npos && TrimBlanks(t.substr(0, eq)) == key) {
      lines[i] = entry;
      return lines;
    }
    if (!t.empty()) insert_at = i + 1;
  }
  if (insert_at == std::string::npos) {
    if (!lines.empty() && !TrimBlanks(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + section + "]");
    lines.push_back(entry);
  } else {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at), entry);
  }
  return lines;
}

// The file's lines; none when there is no file yet. Nothing when it is there but cannot be read:
// writing then would replace everything in it with the one value.
std::optional<std::vector<std::string>> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return lines;
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  if (in.bad()) return std::nullopt;
  return lines;
}

// One line of text can never break the file's structure.
bool Safe(const std::string& s) { return s.find_first_of("\r\n") == std::string::npos; }

// Creates `path` and any missing folders above it, private to the user as a config folder
// should be; folders already there are left as they are.
void MakeFolders(const std::string& path) {
  for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1)) {
    ::mkdir(path.substr(0, at).c_str(), 0700);
  }
  ::mkdir(path.c_str(), 0700);
}

// The file a write replaces: `path` itself, or what it links to (a settings file kept elsewhere
// and linked into the folder stays where it is). "" when a link cannot be followed.
std::string ThroughLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string link(4096, '\0');
    ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<std::size_t>(n) == link.size()) return "";
    link.resize(static_cast<std::size_t>(n));
    path = link.front() == '/' ? link : path.substr(0, path.rfind('/') + 1) + link;
  }
  return "";
}

// Opens and locks the one temporary file writes to `target` go through. Its name is fixed, so a
// process killed while writing leaves at most one, which the next write takes over. The lock
// keeps two processes from writing it at once; a file renamed away by another writer between
// open and lock is not the temporary file any more and is opened afresh.
int LockedTemp(const std::string& temp, bool& busy) {
  for (int tries = 0; tries < 3; ++tries) {
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      busy = errno == EWOULDBLOCK;
      ::close(fd);
      return -1;
    }
    struct stat open_st {
    }, named_st{};
    if (::fstat(fd, &open_st) == 0 && ::lstat(temp.c_str(), &named_st) == 0 &&
        open_st.st_ino == named_st.st_ino && open_st.st_dev == named_st.st_dev) {
      return fd;
    }
    ::close(fd);
  }
  return -1;
}

}  // namespace

FileSettingsStore::FileSettingsStore(std::string config_root, EventLoop* loop)
    : root_(std::move(config_root)) {
  if (loop) timer_ = loop->CreateTimer(kFlushDelayMs, [this] { WritePending(); });
}

FileSettingsStore::~FileSettingsStore() { Flush(); }

std::string FileSettingsStore::PathOf(const std::string& application) const {
  return root_ + "/" + application + "/settings.ini";
}

void FileSettingsStore::Save(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) {
  if (root_.empty() || application.empty() || application.find('/') != std::string::npos ||
      !Safe(section) || !Safe(key) || !Safe(value) || key.find('=') != std::string::npos) {
    return;
  }
  // Every save counts, also one with the value written last: another program may have changed
  // the file since.
  std::vector<Entry>& entries = pending_[application];
  auto same = [&](const Entry& e) { return e.section == section && e.key == key; };
  if (auto it = std::find_if(entries.begin(), entries.end(), same); it != entries.end()) {
    it->value = value;
  } else {
    entries.push_back({section, key, value});
  }
  if (timer_) {
    timer_->Enabled(true);  // an enabled timer keeps its first tick: due within the delay
  } else {
    WritePending();
  }
}

void FileSettingsStore::WritePending() {
  if (timer_) timer_->Enabled(false);
  for (auto it = pending_.begin(); it != pending_.end();) {
    it = Write(it->first, it->second) ? pending_.erase(it) : std::next(it);
  }
  if (timer_ && !pending_.empty()) timer_->Enabled(true);
}

void FileSettingsStore::Flush() {
  // Another process holding the file's lock writes for milliseconds; wait for it a little.
  for (int tries = 0; tries < 20 && !pending_.empty(); ++tries) {
    if (tries > 0) ::usleep(5000);
    WritePending();
  }
  pending_.clear();
}

bool FileSettingsStore::Write(const std::string& application, const std::vector<Entry>& entries) {
  const std::string folder = root_ + "/" + application;
  MakeFolders(folder);
  const std::string target = ThroughLinks(PathOf(application));
  if (target.empty()) return true;
  const std::string::size_type slash = target.rfind('/');
  const std::string dir = target.substr(0, slash);
  const std::string temp = dir + "/." + target.substr(slash + 1) + ".tmp";
  bool busy = false;
  int fd = LockedTemp(temp, busy);
  if (fd < 0) return !busy;

  // Read under the lock, so that a value another process has just written is kept.
  std::optional<std::vector<std::string>> lines = ReadLines(target);
  bool ok = lines.has_value();
  if (ok) {
    for (const Entry& e : entries) *lines = WithValue(std::move(*lines), e.section, e.key, e.value);
    std::string data;
    for (const std::string& line : *lines) data += line + '\n';
    // The new file keeps the old one's permissions (where the file system has any).
    struct stat st {};
    (void)::fchmod(fd, ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0600);
    ok = ::ftruncate(fd, 0) == 0 && WriteAll(fd, data) && ::fsync(fd) == 0 &&
         ::rename(temp.c_str(), target.c_str()) == 0;
  }
  if (ok) {
    // Makes the rename itself durable; a failure here leaves a complete file all the same.
    int d = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d >= 0) {
      ::fsync(d);
      ::close(d);
    }
  } else {
    ::unlink(temp.c_str());
  }
  ::close(fd);  // releases the lock
  return true;
}

std::string UserConfigRoot() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
  return "";
}

std::unique_ptr<SettingsStore> MakeUserSettingsStore(EventLoop& loop) {
  return std::make_unique<FileSettingsStore>(UserConfigRoot(), &loop);
}

}  // namespace veltro::platform
