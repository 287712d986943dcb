// The per-user settings store on disk: one INI-style file, `$XDG_CONFIG_HOME/<application>/
// settings.ini` (`~/.config` when the variable is unset or not absolute), one "[section]" per
// section and "key=value" lines. Saves are gathered and written together at most one delay after
// the first of them (at once without an event loop), so a burst of answers costs the receive path
// no disk wait and the disk one write. A write replaces the whole file through a temporary file
// in the same folder and a rename, so the file is always a complete old or new version; sections,
// keys and lines the library does not know are kept, and a settings file that is a symbolic link
// is replaced where the link points. Failures (no home, a read-only folder, a file that cannot be
// read back, a full disk) leave the old file and are otherwise ignored.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace veltro::platform {

class FileSettingsStore : public SettingsStore {
 public:
  static constexpr int kFlushDelayMs = 500;

  // `config_root`: the folder that holds one folder per application. `loop`: where the gathered
  // saves are written from; without one every save is written at once.
  explicit FileSettingsStore(std::string config_root, EventLoop* loop = nullptr);
  ~FileSettingsStore() override;  // writes what is still pending
  void Save(const std::string& application, const std::string& section, const std::string& key,
            const std::string& value) override;
  void Flush() override;
  // The file that holds `application`'s settings.
  std::string PathOf(const std::string& application) const;

 private:
  struct Entry {
    std::string section, key, value;
  };
  // One try at every pending application; one whose file another process is writing stays
  // pending for the next tick.
  void WritePending();
  // False only when another process holds the file: a failed write is not retried.
  bool Write(const std::string& application, const std::vector<Entry>& entries);

  std::string root_;
  std::unique_ptr<Timer> timer_;
  // Saved and not yet written, per application, in the order the keys first came.
  std::map<std::string, std::vector<Entry>> pending_;
};

// The folder settings go in for this user: $XDG_CONFIG_HOME, else $HOME/.config; "" when neither
// is known.
std::string UserConfigRoot();

// The user's store, written from `loop`.
std::unique_ptr<SettingsStore> MakeUserSettingsStore(EventLoop& loop);

}  // namespace veltro::platform
