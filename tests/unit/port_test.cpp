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

TEST(Port, TheSpeedLetWritesSettingsAndTakesHandshakingFromRts) {
  struct Case {
    const char* name;
    std::function<void(FTDX10_Protocol&)> lets;
    std::string settings;
    int handshaking;
  } cases[] = {
      {"RTS left true", [](auto& r) { r.PortSpeed("4800"); }, "4800,N,8,1", 2},
      {"RTS false after the speed: handshaking stays",
       [](auto& r) { r.PortSpeed("4800"), r.PortRTS(kFalse); }, "4800,N,8,1", 2},
      {"RTS false before the speed", [](auto& r) { r.PortRTS(kFalse), r.PortSpeed("38400"); },
       "38400,N,8,1", 0},
      {"no trimming, no check", [](auto& r) { r.PortSpeed(" 96 "); }, " 96 ,N,8,1", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualRig rig;
    c.lets(*rig.radio);
    auto& s = rig.serial();
    EXPECT_EQ(s.settings, c.settings);
    EXPECT_EQ(s.handshaking, c.handshaking);
    EXPECT_FALSE(s.rts);  // RTSEnable follows the PortRTS let only, never the initial flag
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
  EXPECT_EQ(rig.Read("Port PortDevice PortSpeed"), "Port=7 PortDevice=/dev/ttyUSB1 PortSpeed=4800");
  EXPECT_TRUE(s.dtr);  // the modem lines follow open or not
  // Not even the next SetPort applies the others.
  for (VBool open : {kFalse, kTrue}) ASSERT_EQ(rig.radio->SetPort(open), kTrue);
  EXPECT_EQ(std::to_string(s.comm_port) + " " + s.settings + " " + s.device_path,
            "1 38400,N,8,1 /dev/ttyUSB0");
}

TEST(Port, SetPortResultAndMessage) {
  VirtualRig rig;
  auto& radio = *rig.radio;
  auto& m = rig.module();
  std::string msg = "stale";
  m.LastMode = 3, m.LastSMeter = 40, m.LastFreq = 7.1;
  EXPECT_EQ(radio.SetPort(kTrue, &msg), kTrue);
  EXPECT_EQ(msg + rig.Read("PortOpen"), "PortOpen=-1");
  EXPECT_EQ(m.LastMode + m.LastSMeter + m.LastFreq, -2);  // the first answers count as changes
  // A failing open keeps the previous flag, whichever it was, and reports the control's text.
  for (VBool was_open : {kTrue, kFalse}) {
    m.LastMode = 3;
    EXPECT_EQ(radio.SetPort(was_open, &msg), kTrue);
    EXPECT_EQ(m.LastMode, was_open ? -1 : 3);  // closing forgets nothing
    const std::string text = std::string("Cannot open /dev/ttyS") + (was_open ? "0" : "8");
    rig.serial().FailNextOpen(text);
    EXPECT_EQ(radio.SetPort(kTrue, &msg), kFalse);
    EXPECT_EQ(msg, text);
    EXPECT_EQ(radio.PortOpen(), was_open);
  }
  rig.impl().Send("FA");
  EXPECT_TRUE(rig.serial().Writes().empty());
}

// A device that goes away is opened again at gaps of at most 2 s, with CAT as the host set it;
// without AutoReconnect, or once the host closed the port, nothing is tried.
TEST(Port, AutoReconnectReopensAHungUpDeviceAndRestoresCat) {
  const struct {
    const char* name;
    VBool on;
    bool host_closes, reopened;
  } cases[] = {{"on", kTrue, false, true},
               {"off", kFalse, false, false},
               {"closed by the host", kTrue, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualRig rig;
    rig.radio->AutoReconnect(c.on);
    ASSERT_EQ(rig.OpenPort(), kTrue);
    auto& s = rig.serial();
    std::int16_t cat = 1;
    rig.radio->SetCAT(cat);
    s.present = false;
    s.HangUp();
    EXPECT_EQ(rig.radio->RadioAnswering(), kFalse);
    if (c.host_closes) rig.radio->SetPort(kFalse);
    rig.vp.Advance(20000);  // attempts fail while the device is missing
    s.present = true;
    rig.TakeWrites();
    rig.vp.Advance(2000);
    EXPECT_EQ(s.PortOpen() && !s.HungUp(), c.reopened);
    auto writes = rig.TakeWrites();
    EXPECT_EQ(!writes.empty() && writes[0] == "ID;", c.reopened);
  }
}

}  // namespace
}  // namespace veltro
