#include "platform/serial_syscalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace veltro::platform {

namespace {

int OpenPath(const char* path, int flags) { return ::open(path, flags); }
int IoctlFd(int fd, unsigned long request, void* arg) { return ::ioctl(fd, request, arg); }

}  // namespace

const SerialSyscalls& RealSerialSyscalls() {
  static const SerialSyscalls calls{&OpenPath,    &::close,     &::read,    &::write, &IoctlFd,
                                    &::tcgetattr, &::tcsetattr, &::tcflush, &::flock};
  return calls;
}

}  // namespace veltro::platform
