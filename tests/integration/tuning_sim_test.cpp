// Tuning, mode, tones and memory for real: a library instance on the POSIX clock, event loop and
// serial control, talking to the simulator over a pty. After each operation and the polling
// that follows, the simulator and the cache agree.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "ftdx10sim/simulator.h"
#include "host/library.h"
#include "host/protocol_impl.h"
#include "platform/posix_event_loop.h"
#include "platform/posix_serial_control.h"
#include "platform/virtual_platform.h"

namespace veltro {
namespace {

using namespace std::chrono_literals;

class TuningOverPty : public ::testing::Test {
 protected:
  TuningOverPty() : simulator(sim::SimulatorOptions{sim::Model::kFtdx10, 7, 5ms}) {
    simulator.Start();
    platform::Platform p;
    p.clock = &clock;
    p.loop = &loop;
    p.settings = &settings;
    p.make_serial = [this] { return platform::MakePosixSerialControl(loop); };
    lib = std::make_unique<detail::Library>(std::move(p));
    connector = std::make_unique<FTDX10_Connector>(*lib);
    radio = connector->FTDX10_Protocol();
  }
  ~TuningOverPty() override {
    VBool close = kFalse;
    std::string a, c, m;
    radio->SetPort(close, a, c, m);
    radio.reset();
    connector.reset();
    lib.reset();
    simulator.Stop();
  }

  // Opens the simulator's pty and switches CAT on; the reason in `msg` when the port would not
  // open.
  bool Connect(std::string& msg) {
    radio->PortDevice(simulator.SlavePath());
    radio->PortSpeed("38400");
    VBool open = kTrue;
    std::string address, code;
    if (radio->SetPort(open, address, code, msg) != kTrue) return false;
    std::int16_t cat = 1;
    radio->SetCAT(cat);
    return true;
  }

  // Runs the loop until the cache and the simulator agree on the tuning state, or `ms` passed.
  bool Agree(int ms) {
    for (int waited = 0; waited <= ms; waited += 250) {
      if (Matches()) return true;
      loop.Run(250);
    }
    bool ok = Matches();
    if (!ok) {
      ADD_FAILURE() << "radio A=" << simulator.VfoAFreqHz() << " B=" << simulator.VfoBFreqHz()
                    << " split=" << simulator.Split() << " mem=" << simulator.MemoryMode()
                    << " ch=" << simulator.Channel() << "; cache A=" << radio->VFOA_Freq()
                    << " B=" << radio->VFOB_Freq() << " VFO=" << radio->VFO()
                    << " split=" << radio->Split() << " mem=" << radio->MemMode()
                    << " ch=" << radio->Channel() << " mode=" << radio->Mode();
    }
    return ok;
  }
  bool Matches() {
    auto hz = [](double mhz) { return static_cast<std::int64_t>(mhz * 1e6 + 0.5); };
    const char rx = radio->VFO() == 1.0 ? 'B' : 'A';
    return simulator.MemoryMode() == (radio->MemMode() == 1) &&
           simulator.VfoAFreqHz() == hz(radio->VFOA_Freq()) &&
           simulator.VfoBFreqHz() == hz(radio->VFOB_Freq()) &&
           simulator.Inspect([](const sim::RadioModel& m) { return m.ReceiveVfo(); }) == rx &&
           simulator.Split() == (radio->Split() == 1) &&
           (simulator.MemoryMode() ? simulator.Channel() == radio->Channel()
                                   : ModeChar(simulator.Mode(rx)) == radio->Mode());
  }
  static std::int16_t ModeChar(char c) {
    switch (c) {
      case '1':
        return 0;
      case '2':
      case 'C':
        return 1;
      case '3':
      case '7':
        return 2;
      case '4':
      case 'A':
        return 4;
      case '5':
        return 3;
      case '6':
      case '9':
        return 5;
      case 'E':
        return 6;
      default:
        return -1;
    }
  }

  sim::Simulator simulator;
  platform::PosixClock clock;
  platform::PosixEventLoop loop;
  platform::VirtualSettingsStore settings;
  std::unique_ptr<detail::Library> lib;
  std::unique_ptr<FTDX10_Connector> connector;
  std::shared_ptr<FTDX10_Protocol> radio;
};

TEST_F(TuningOverPty, OperationsReachTheRadioAndTheCacheFollows) {
  std::string msg;
  if (!Connect(msg)) {
    // A build whose serial control is still the placeholder cannot open any port.
    if (msg.find("not supported") != std::string::npos) GTEST_SKIP() << msg;
    FAIL() << msg;
  }
  ASSERT_TRUE(Agree(8000));

  EXPECT_EQ(radio->SetFreq(14.25), kTrue);
  std::int16_t cw = 2;
  EXPECT_EQ(radio->SetMode(cw, 0), kTrue);
  EXPECT_TRUE(Agree(8000));
  EXPECT_EQ(simulator.VfoAFreqHz(), 14250000);
  EXPECT_EQ(simulator.Mode('A'), '3');

  std::int16_t usb = 1;
  EXPECT_EQ(radio->SetTX(14.3, usb), kTrue);
  EXPECT_TRUE(Agree(8000));
  EXPECT_TRUE(simulator.Split());
  EXPECT_EQ(simulator.VfoBFreqHz(), 14300000);
  EXPECT_DOUBLE_EQ(radio->TX_Freq(), 14.3);

  EXPECT_EQ(radio->SetSplit(0), kTrue);
  EXPECT_EQ(radio->SetVFO(1), kTrue);
  EXPECT_TRUE(Agree(12000));
  EXPECT_DOUBLE_EQ(radio->Freq(), 14.3);

  EXPECT_EQ(radio->SetVFO(0), kTrue);
  EXPECT_EQ(radio->SetVFOM(9, ""), kTrue);
  EXPECT_EQ(radio->SetChannel(9), kTrue);
  EXPECT_TRUE(Agree(8000));
  EXPECT_TRUE(simulator.MemoryMode());
  EXPECT_EQ(radio->Channel(), 9);
  EXPECT_DOUBLE_EQ(radio->Freq(), 14.25);

  EXPECT_EQ(radio->SetVFO(0), kTrue);
  EXPECT_TRUE(Agree(8000));
  EXPECT_FALSE(simulator.MemoryMode());
}

}  // namespace
}  // namespace veltro
