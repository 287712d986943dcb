// Port configuration: what each let stores and what reaches the serial control, which depends on
// whether the port is open and on the order of the lets; SetPort's result and MSG.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/virtual_rig.h"
#include "veltro/types.h"

namespace veltro {
namespace {

using testing::VirtualRig;

VBool SetPort(VirtualRig& rig, VBool open, std::string& msg) {
  std::string a, c;
  return rig.radio->SetPort(open, a, c, msg);
}

TEST(Port, LetsReachTheControlInTheirOrder) {
  struct Case {
    const char* name;
    std::function<void(VirtualRig&)> lets;
    std::string settings;
    int handshaking;
    bool rts;  // RTSEnable is written by the PortRTS let only, never from the initial flag
  } cases[] = {
      {"RTS left true: handshaking", [](VirtualRig& r) { r.radio->PortSpeed("4800"); },
       "4800,N,8,1", 2, false},
      {"RTS false after the speed: handshaking stays",
       [](VirtualRig& r) {
         r.radio->PortSpeed("4800");
         r.radio->PortRTS(kFalse);
       },
       "4800,N,8,1", 2, false},
      {"RTS false before the speed: none",
       [](VirtualRig& r) {
         r.radio->PortRTS(kFalse);
         r.radio->PortSpeed("38400");
       },
       "38400,N,8,1", 0, false},
      {"no trimming, no check", [](VirtualRig& r) { r.radio->PortSpeed(" 96 "); }, " 96 ,N,8,1", 2,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualRig rig;
    c.lets(rig);
    auto& s = rig.serial();
    EXPECT_EQ(s.settings, c.settings);
    EXPECT_EQ(rig.state().PortSettings, c.settings);
    EXPECT_EQ(s.input_mode, 1);
    EXPECT_EQ(s.handshaking, c.handshaking);
    EXPECT_EQ(s.rts, c.rts);
  }
}

TEST(Port, ValuesSetWhileOpenAreStoredButNeverApplied) {
  VirtualRig rig;
  rig.radio->PortDevice("/dev/ttyUSB0");
  ASSERT_EQ(rig.OpenPort("38400"), kTrue);
  auto& s = rig.serial();
  rig.radio->Port(7);
  rig.radio->PortSpeed("4800");
  rig.radio->PortDevice("/dev/ttyUSB1");
  rig.radio->PortDTR(kTrue);
  EXPECT_EQ(rig.radio->Port(), 7);
  EXPECT_EQ(rig.radio->PortSpeed(), "4800");
  EXPECT_EQ(rig.state().PortSettings, "4800,N,8,1");
  EXPECT_EQ(rig.radio->PortDevice(), "/dev/ttyUSB1");
  EXPECT_EQ(s.comm_port, 1);
  EXPECT_EQ(s.settings, "38400,N,8,1");
  EXPECT_EQ(s.device_path, "/dev/ttyUSB0");
  EXPECT_TRUE(s.dtr);  // the modem lines follow open or not

  std::string msg;
  ASSERT_EQ(SetPort(rig, kFalse, msg), kTrue);
  ASSERT_EQ(SetPort(rig, kTrue, msg), kTrue);
  EXPECT_EQ(s.comm_port, 1);  // not even the next SetPort applies them
  EXPECT_EQ(s.settings, "38400,N,8,1");
  EXPECT_EQ(s.device_path, "/dev/ttyUSB0");
}

TEST(Port, SetPortResultAndMessage) {
  VirtualRig rig;
  std::string msg = "stale";
  rig.module().LastMode = 3;
  rig.module().LastSMeter = 40;
  rig.module().LastFreq = 7.1;
  EXPECT_EQ(SetPort(rig, kTrue, msg), kTrue);
  EXPECT_EQ(msg, "");
  EXPECT_EQ(rig.radio->PortOpen(), kTrue);
  EXPECT_EQ(rig.module().LastMode, -1);
  EXPECT_EQ(rig.module().LastSMeter, -1);
  EXPECT_EQ(rig.module().LastFreq, 0);

  // A failing open keeps the previous flag, whichever it was, and reports the control's text.
  rig.serial().FailNextOpen("Port already in use: /dev/ttyS0");
  EXPECT_EQ(SetPort(rig, kTrue, msg), kFalse);
  EXPECT_EQ(msg, "Port already in use: /dev/ttyS0");
  EXPECT_EQ(rig.radio->PortOpen(), kTrue);

  rig.module().LastMode = 3;
  EXPECT_EQ(SetPort(rig, kFalse, msg), kTrue);
  EXPECT_EQ(rig.radio->PortOpen(), kFalse);
  EXPECT_EQ(rig.module().LastMode, 3);  // closing forgets nothing
  rig.impl().Send("FA");
  EXPECT_TRUE(rig.serial().Writes().empty());

  rig.serial().FailNextOpen("Cannot open /dev/ttyS8: No such file or directory");
  msg.clear();
  EXPECT_EQ(SetPort(rig, kTrue, msg), kFalse);
  EXPECT_EQ(msg, "Cannot open /dev/ttyS8: No such file or directory");
  EXPECT_EQ(rig.radio->PortOpen(), kFalse);
}

// A control that refuses every let: the let fails with its error after storing the value.
class RefusingControl : public platform::VirtualSerialControl {
 public:
  using VirtualSerialControl::VirtualSerialControl;
  void CommPort(std::int16_t) override { Refuse(); }
  void DevicePath(const std::string&) override { Refuse(); }
  void Settings(const std::string&) override { Refuse(); }
  void DTREnable(bool) override { Refuse(); }
  void RTSEnable(bool) override { Refuse(); }
  static void Refuse() { throw AutomationError(380, "Invalid property value"); }
};

TEST(Port, ALetTheControlRefusesFailsAfterStoring) {
  platform::VirtualPlatform vp;
  platform::Platform p = vp.platform();
  p.make_serial = [&vp] { return std::make_unique<RefusingControl>(vp); };
  detail::Library lib(p);
  FTDX10_Connector connector(lib);
  auto radio = connector.FTDX10_Protocol();
  EXPECT_THROW(radio->Port(3), AutomationError);
  EXPECT_EQ(radio->Port(), 3);
  EXPECT_THROW(radio->PortSpeed("9600"), AutomationError);
  EXPECT_EQ(radio->impl().state.PortSettings, "9600,N,8,1");
  EXPECT_THROW(radio->PortDTR(kTrue), AutomationError);
  EXPECT_EQ(radio->PortDTR(), kTrue);
  EXPECT_THROW(radio->PortRTS(kFalse), AutomationError);
  EXPECT_EQ(radio->PortRTS(), kFalse);
  EXPECT_THROW(radio->PortDevice("/dev/ttyUSB0"), AutomationError);
  EXPECT_EQ(radio->PortDevice(), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace veltro
