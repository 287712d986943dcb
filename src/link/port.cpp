// Port configuration. The lets store first and reach the serial control after, so a control
// error fails the call with the new value already stored. Port, speed and device reach the
// control only while the port is closed; values set while open are kept but never applied.
#include <algorithm>

#include "host/protocol_impl.h"

namespace veltro::detail {

namespace {

constexpr int kLongestGapTicks = 8;  // 8 ticks of 250 ms: never more than 2 s between attempts

// The first answers after opening are reported as changes.
void ExpectFreshAnswers(Module& m) {
  m.LastMode = -1;
  m.LastSMeter = -1;
  m.LastFreq = 0;
}

bool Reconnecting(const RadioState& s) { return s.AutoReconnect != kFalse && s.PortOpen != kFalse; }

}  // namespace

void ProtocolImpl::OnHangUp() {
  if (!Reconnecting(state)) return;
  ControlPanel& cp = lib.Panel();
  cp.ReconnectGap = 1;
  cp.ReconnectWait = 1;
  cp.tmrReconnect->Enabled(true);
}

void ProtocolImpl::OnReconnectTick() {
  ControlPanel& cp = lib.Panel();
  auto& com = *cp.ComDLL;
  // A failed attempt leaves the control closed; the host's flag says it should be open.
  if (!Reconnecting(state) || (com.PortOpen() && !com.HungUp())) {
    cp.tmrReconnect->Enabled(false);
    return;
  }
  if (--cp.ReconnectWait > 0) return;
  try {
    com.PortOpen(false);
    com.PortOpen(true);
  } catch (...) {
    cp.ReconnectGap = std::min(cp.ReconnectGap * 2, kLongestGapTicks);
    cp.ReconnectWait = cp.ReconnectGap;
    return;
  }
  cp.tmrReconnect->Enabled(false);
  ExpectFreshAnswers(module());
  if (state.CAT != 0) {
    std::int16_t cat = state.CAT;
    self.SetCAT(cat);
  }
}

}  // namespace veltro::detail

namespace veltro {

VBool FTDX10_Protocol::AutoReconnect() const { return impl_->state.AutoReconnect; }
void FTDX10_Protocol::AutoReconnect(VBool value) { impl_->state.AutoReconnect = value; }

void FTDX10_Protocol::Port(std::int16_t value) {
  auto& s = impl_->state;
  s.Port = value;
  if (!s.PortOpen) impl_->lib.ComDLL().CommPort(value);
}

void FTDX10_Protocol::PortDevice(const std::string& value) {
  auto& s = impl_->state;
  s.PortDevice = value;
  if (!s.PortOpen) impl_->lib.ComDLL().DevicePath(value);
}

void FTDX10_Protocol::PortSpeed(const std::string& value) {
  auto& s = impl_->state;
  s.PortSpeed = value;
  s.PortSettings = value + ",N,8,1";
  if (!s.PortOpen) {
    auto& com = impl_->lib.ComDLL();
    com.Settings(s.PortSettings);
    com.InputMode(1);
    // Handshaking follows RTS only now: a host that wants RTS/CTS sets PortRTS first.
    com.Handshaking(s.PortRTS ? 2 : 0);
  }
}

void FTDX10_Protocol::PortDTR(VBool value) {
  impl_->state.PortDTR = value;
  impl_->lib.ComDLL().DTREnable(value != 0);
}

void FTDX10_Protocol::PortRTS(VBool value) {
  impl_->state.PortRTS = value;
  impl_->lib.ComDLL().RTSEnable(value != 0);
}

VBool FTDX10_Protocol::SetPort(VBool& PortOpen, std::string& /*Address*/, std::string& /*Code*/,
                               std::string& MSG) {
  auto& p = *impl_;
  try {
    p.lib.ComDLL().PortOpen(PortOpen != 0);
  } catch (const std::exception& e) {
    MSG = e.what();
    return kFalse;
  } catch (...) {
    MSG = "Unknown error from the serial port";
    return kFalse;
  }
  p.state.PortOpen = PortOpen;
  MSG = "";
  if (PortOpen) detail::ExpectFreshAnswers(p.module());
  return kTrue;
}

}  // namespace veltro
