// The real serial control over termios: raw 8N1 at the speed of the settings text, RTS/CTS when
// handshaking is 2, DTR/RTS through the modem-control ioctls, non-blocking output queued so that
// Output returns at once, and a receive event raised from the event loop whenever bytes wait.
// The port is held exclusively (TIOCEXCL and an advisory flock, which also stops root).
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/posix_event_loop.h"
#include "platform/serial_syscalls.h"

namespace veltro::platform {

std::unique_ptr<SerialControl> MakePosixSerialControl(PosixEventLoop& loop);
// The same over the given system calls (tests inject failures through them).
std::unique_ptr<SerialControl> MakePosixSerialControl(PosixEventLoop& loop,
                                                      const SerialSyscalls& calls);

// The device port number N names when no device path is set: /dev/ttyS<N-1>.
std::string SerialDevicePath(std::int16_t port);
// The termios speed constant for a baud rate; 0 when the system has none.
speed_t SerialSpeedConstant(long baud);

}  // namespace veltro::platform
