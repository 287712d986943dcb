// The per-user settings store on disk.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace veltro::platform {

std::unique_ptr<SettingsStore> MakeUserSettingsStore();

}  // namespace veltro::platform
