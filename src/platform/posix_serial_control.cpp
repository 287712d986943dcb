#include "platform/posix_serial_control.h"

#include "veltro/types.h"

namespace veltro::platform {

namespace {

// Placeholder until the termios control lands: every open fails with a clear text.
class UnavailableSerialControl : public SerialControl {
 public:
  void CommPort(std::int16_t) override {}
  void DevicePath(const std::string&) override {}
  void Settings(const std::string&) override {}
  void InputMode(int) override {}
  void Handshaking(int) override {}
  void DTREnable(bool) override {}
  void RTSEnable(bool) override {}
  void PortOpen(bool open) override {
    if (open) throw AutomationError(8002, "Serial ports are not supported in this build");
  }
  bool PortOpen() const override { return false; }
  void Output(std::string_view) override {}
  int OutBufferCount() override { return 0; }
  void DiscardOutput() override {}
  int InBufferCount() override { return 0; }
  std::string Input() override { return {}; }
  void OnComm(std::function<void()>) override {}
};

}  // namespace

std::unique_ptr<SerialControl> MakePosixSerialControl(PosixEventLoop&) {
  return std::make_unique<UnavailableSerialControl>();
}

}  // namespace veltro::platform
