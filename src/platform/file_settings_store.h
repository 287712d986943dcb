// The per-user settings store on disk: one INI-style file, `$XDG_CONFIG_HOME/<application>/
// settings.ini` (`~/.config` when the variable is unset or not absolute), one "[section]" per
// section and "key=value" lines. A save rewrites the whole file through a temporary file in the
// same folder and a rename, so the file is always a complete old or new version; sections, keys
// and lines the library does not know are kept. Failures (no home, a read-only folder, a file
// that cannot be read back, a full disk) leave the old file and are otherwise ignored.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace veltro::platform {

class FileSettingsStore : public SettingsStore {
 public:
  // `config_root`: the folder that holds one folder per application.
  explicit FileSettingsStore(std::string config_root);
  void Save(const std::string& application, const std::string& section, const std::string& key,
            const std::string& value) override;
  // The file that holds `application`'s settings.
  std::string PathOf(const std::string& application) const;

 private:
  std::string root_;
  // Values this store last wrote, so that an unchanged value (the parser saves on every answer
  // that carries one) costs no file rewrite.
  std::map<std::string, std::string> written_;
};

// The folder settings go in for this user: $XDG_CONFIG_HOME, else $HOME/.config; "" when neither
// is known.
std::string UserConfigRoot();

std::unique_ptr<SettingsStore> MakeUserSettingsStore();

}  // namespace veltro::platform
