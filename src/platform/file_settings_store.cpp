#include "platform/file_settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
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

}  // namespace

FileSettingsStore::FileSettingsStore(std::string config_root) : root_(std::move(config_root)) {}

std::string FileSettingsStore::PathOf(const std::string& application) const {
  return root_ + "/" + application + "/settings.ini";
}

void FileSettingsStore::Save(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) {
  if (root_.empty() || application.empty() || application.find('/') != std::string::npos ||
      !Safe(section) || !Safe(key) || !Safe(value) || key.find('=') != std::string::npos) {
    return;
  }
  const std::string id = application + '\n' + section + '\n' + key;
  if (auto it = written_.find(id); it != written_.end() && it->second == value) return;
  const std::string folder = root_ + "/" + application;
  MakeFolders(folder);
  const std::string path = PathOf(application);

  std::optional<std::vector<std::string>> lines = ReadLines(path);
  if (!lines) return;
  std::string data;
  for (const std::string& line : WithValue(std::move(*lines), section, key, value)) {
    data += line;
    data += '\n';
  }

  std::string temp = folder + "/.settings.ini.XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return;
  struct stat st {};
  ::fchmod(fd, ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0600);
  bool ok = WriteAll(fd, data) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return;
  }
  // Makes the rename itself durable; a failure here leaves a complete file all the same.
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  written_[id] = value;
}

std::string UserConfigRoot() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
  return "";
}

std::unique_ptr<SettingsStore> MakeUserSettingsStore() {
  return std::make_unique<FileSettingsStore>(UserConfigRoot());
}

}  // namespace veltro::platform
