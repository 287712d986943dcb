// Hooks for the host's event loop. The library has no thread of its own: its timers and the
// serial receive event run inside these calls, on the calling thread, one at a time.
//
//   int fd = veltro::EventFd();        // readable whenever work is due
//   for (;;) {
//     pollfd p{fd, POLLIN, 0};
//     poll(&p, 1, veltro::NextTimeoutMs(1000));
//     veltro::DispatchEvents();
//   }
//
// Qt, GLib or asio hosts watch EventFd() with their own notifier and call DispatchEvents().
#pragma once

#include "veltro/types.h"

namespace veltro {

// A file descriptor that becomes readable when a timer is due or serial input is waiting. It
// stays owned by the library; do not read from it or close it.
VELTRO_API int EventFd();

// Runs every timer tick and serial event that is due now, once, without blocking. Returns the
// number of callbacks run.
VELTRO_API int DispatchEvents();

// Runs events as they fall due for about `ms` milliseconds, then returns (for simple hosts).
VELTRO_API void RunEvents(int ms);

// Milliseconds until the next timer falls due, capped at `max_ms` (a negative cap means no cap);
// -1 when no timer is running and there is no cap. 0 when work is already due.
VELTRO_API int NextTimeoutMs(int max_ms = -1);

}  // namespace veltro
