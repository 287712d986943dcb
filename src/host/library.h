// A library instance: the platform it runs on and the module values. The public classes use the
// process-wide instance; a test builds its own on the virtual platform, so every test starts from
// the state the library has when it is loaded.
#pragma once

#include "host/module.h"
#include "platform/platform.h"

namespace veltro::platform {
class PosixEventLoop;
}

namespace veltro::detail {

class Library {
 public:
  explicit Library(platform::Platform platform);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // The instance behind FTDX10_Connector's default constructor and the event hooks.
  static Library& Process();
  // The process instance's real event loop.
  static platform::PosixEventLoop& ProcessLoop();

  Module& module() { return module_; }
  platform::Clock& clock() { return *platform_.clock; }
  platform::EventLoop& loop() { return *platform_.loop; }
  platform::SettingsStore& settings() { return *platform_.settings; }

  // The control panel, created with its timers, serial control and own connector on first use.
  ControlPanel& Panel();
  bool HasPanel() const { return module_.panel != nullptr; }
  platform::SerialControl& ComDLL() { return *Panel().ComDLL; }

  // Connector bookkeeping.
  void AddConnector();
  void ReleaseConnector();

 private:
  platform::Platform platform_;
  Module module_;
};

}  // namespace veltro::detail
