#include "platform/file_settings_store.h"

namespace veltro::platform {

namespace {

// Placeholder until the file store lands: values are dropped, as a failing store's would be.
class DiscardingSettingsStore : public SettingsStore {
 public:
  void Save(const std::string&, const std::string&, const std::string&,
            const std::string&) override {}
};

}  // namespace

std::unique_ptr<SettingsStore> MakeUserSettingsStore() {
  return std::make_unique<DiscardingSettingsStore>();
}

}  // namespace veltro::platform
