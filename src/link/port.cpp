// Port configuration. The lets store first and reach the serial control after, so a control
// error fails the call with the new value already stored. Port, speed and device reach the
// control only while the port is closed; values set while open are kept but never applied.
#include "host/protocol_impl.h"

namespace veltro {

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
  if (PortOpen) {
    // The first answers after opening are reported as changes.
    auto& m = p.module();
    m.LastMode = -1;
    m.LastSMeter = -1;
    m.LastFreq = 0;
  }
  return kTrue;
}

}  // namespace veltro
