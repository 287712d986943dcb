// The real serial control over termios.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/posix_event_loop.h"

namespace veltro::platform {

std::unique_ptr<SerialControl> MakePosixSerialControl(PosixEventLoop& loop);

}  // namespace veltro::platform
