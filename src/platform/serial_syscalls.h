// The system calls the termios serial control makes, behind one table of function pointers so
// that tests can make a call fail the way a driver does (EINTR, EAGAIN, EIO) without a device
// that misbehaves on request. Production code uses RealSerialSyscalls().
#pragma once

#include <sys/types.h>
#include <termios.h>

namespace veltro::platform {

struct SerialSyscalls {
  int (*open_path)(const char* path, int flags);
  int (*close_fd)(int fd);
  ssize_t (*read_fd)(int fd, void* buf, size_t count);
  ssize_t (*write_fd)(int fd, const void* buf, size_t count);
  // ioctl with one pointer argument (or none: pass nullptr).
  int (*ioctl_fd)(int fd, unsigned long request, void* arg);
  int (*get_attr)(int fd, termios* attr);
  int (*set_attr)(int fd, int actions, const termios* attr);
  int (*flush)(int fd, int queue);
  int (*lock)(int fd, int operation);
};

// The calls as the C library makes them.
const SerialSyscalls& RealSerialSyscalls();

}  // namespace veltro::platform
