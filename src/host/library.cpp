#include "host/library.h"

#include <cstdlib>

#include "host/protocol_impl.h"
#include "platform/file_settings_store.h"
#include "platform/posix_event_loop.h"
#include "platform/posix_serial_control.h"
#include "veltro/events.h"

namespace veltro::detail {

Library::Library(platform::Platform platform) : platform_(std::move(platform)) {}

// Tears down in the order the pieces depend on each other: the panel's connector first (it
// counts itself out), then its protocol reference and the serial control.
Library::~Library() {
  if (module_.panel) {
    module_.panel->connector.reset();
    module_.panel->Transceiver.reset();
    module_.panel.reset();
  }
  module_.SharedProtocol.reset();
}

namespace {

struct ProcessPlatform {
  platform::PosixClock clock;
  platform::PosixEventLoop loop;
  std::unique_ptr<platform::SettingsStore> settings = platform::MakeUserSettingsStore(loop);
};

ProcessPlatform& TheProcessPlatform() {
  // Never destroyed: the library's objects live until the process ends, and a host may still
  // hold the protocol object while static destructors run.
  static ProcessPlatform* p = [] {
    auto* created = new ProcessPlatform();
    // Saves still kept back reach the disk when the process ends or the library is unloaded
    // (a handler registered from a shared library also runs when it is unloaded).
    std::atexit([] { TheProcessPlatform().settings->Flush(); });
    return created;
  }();
  return *p;
}

}  // namespace

platform::PosixEventLoop& Library::ProcessLoop() { return TheProcessPlatform().loop; }

Library& Library::Process() {
  static Library* lib = [] {
    ProcessPlatform& pp = TheProcessPlatform();
    platform::Platform p;
    p.clock = &pp.clock;
    p.loop = &pp.loop;
    p.settings = pp.settings.get();
    p.make_serial = [&pp] { return platform::MakePosixSerialControl(pp.loop); };
    return new Library(std::move(p));
  }();
  return *lib;
}

void Library::AddConnector() {
  if (!module_.SharedProtocol) {
    module_.SharedProtocol = std::make_shared<FTDX10_Protocol>(ProtocolKey{}, *this);
  }
  if (module_.ConnectorCount == 32767) throw AutomationError(ErrorNumber::kOverflow);
  ++module_.ConnectorCount;
}

void Library::ReleaseConnector() {
  --module_.ConnectorCount;
  if (module_.ConnectorCount == 0) module_.SharedProtocol.reset();
}

ControlPanel& Library::Panel() {
  if (module_.panel) return *module_.panel;
  auto panel = std::make_unique<ControlPanel>();
  ControlPanel* cp = panel.get();
  // Every handler reaches the protocol object through the panel's own reference, as the window's
  // handlers did; a handler that fires before it is bound does nothing.
  auto bind = [cp](void (ProtocolImpl::*handler)()) {
    return [cp, handler] {
      if (cp->Transceiver) (cp->Transceiver->impl().*handler)();
    };
  };
  auto& loop = *platform_.loop;
  cp->tmrStart = loop.CreateTimer(5000, bind(&ProtocolImpl::OnStartTick));
  cp->tmrPollVFO = loop.CreateTimer(200, bind(&ProtocolImpl::OnPollVFOTick));
  cp->tmrLevels = loop.CreateTimer(200, bind(&ProtocolImpl::OnLevelsTick));
  cp->tmrStopPolling = loop.CreateTimer(1000, bind(&ProtocolImpl::OnStopPollingTick));
  cp->tmrPolling = loop.CreateTimer(175, bind(&ProtocolImpl::OnPollingTick));
  cp->tmrReconnect = loop.CreateTimer(250, bind(&ProtocolImpl::OnReconnectTick));
  cp->ComDLL = platform_.make_serial();
  cp->ComDLL->OnComm(bind(&ProtocolImpl::OnComm));
  cp->ComDLL->OnHangUp(bind(&ProtocolImpl::OnHangUp));
  module_.panel = std::move(panel);
  // The load handler: a connector of the panel's own, bound to the shared object.
  cp->connector = std::make_unique<FTDX10_Connector>(*this);
  cp->Transceiver = cp->connector->FTDX10_Protocol();
  cp->tmrPolling->Enabled(true);
  return *cp;
}

}  // namespace veltro::detail

namespace veltro {

int EventFd() { return detail::Library::ProcessLoop().Fd(); }
int DispatchEvents() { return detail::Library::ProcessLoop().Dispatch(); }
void RunEvents(int ms) { detail::Library::ProcessLoop().Run(ms); }
int NextTimeoutMs(int max_ms) { return detail::Library::ProcessLoop().NextTimeoutMs(max_ms); }

}  // namespace veltro
