// The tuning, mode, tone and memory operations against the in-process radio model on virtual
// time: after each operation and the polling that follows it, the radio and the library's
// cache agree.
#include <gtest/gtest.h>

#include <string>

#include "host/mode_chars.h"
#include "support/simulated_rig.h"

namespace veltro {
namespace {

using testing::SimulatedRig;

// Long enough for a full status cycle after a current-VFO sequence (which holds polling off).
constexpr int kSettleMs = 12000;

std::int16_t ModeOf(char c) { return detail::DecodeModeChar(c).value().mode; }
double MHz(std::int64_t hz) { return static_cast<double>(hz) / 1e6; }

void ExpectAgree(SimulatedRig& rig) {
  const auto& m = rig.radio_model;
  const auto& r = *rig.radio;
  const char rx = m.ReceiveVfo();
  EXPECT_EQ(r.MemMode() == 1, m.MemoryMode());
  EXPECT_EQ(r.VFO(), rx == 'A' ? 0.0 : 1.0);
  EXPECT_DOUBLE_EQ(r.VFOA_Freq(), MHz(m.VfoFreqHz('A')));
  EXPECT_DOUBLE_EQ(r.VFOB_Freq(), MHz(m.VfoFreqHz('B')));
  EXPECT_EQ(r.VFOA_Mode(), ModeOf(m.ModeChar('A')));
  EXPECT_EQ(r.VFOB_Mode(), ModeOf(m.ModeChar('B')));
  if (m.MemoryMode()) {
    EXPECT_EQ(r.Channel(), m.Channel());
    EXPECT_DOUBLE_EQ(r.Freq(), MHz(m.WorkingChannel().freq_hz));
    EXPECT_EQ(r.Mode(), ModeOf(m.WorkingChannel().mode));
  } else {
    EXPECT_DOUBLE_EQ(r.Freq(), MHz(m.VfoFreqHz(rx)));
    EXPECT_EQ(r.Mode(), ModeOf(m.ModeChar(rx)));
    EXPECT_EQ(r.Split() == 1, m.Split());
    if (m.Split()) {
      EXPECT_DOUBLE_EQ(r.TX_Freq(), MHz(m.VfoFreqHz(m.TransmitVfo())));
    }
  }
}

class TuningRoundTrip : public ::testing::Test {
 protected:
  TuningRoundTrip() {
    rig.radio_model.Execute("FA007100000");
    rig.radio_model.Execute("FB003600000");
    rig.radio_model.Execute("MD02");
    rig.Connect(kSettleMs);
  }
  void Settle() { rig.vp.Advance(kSettleMs); }
  SimulatedRig rig;
};

TEST_F(TuningRoundTrip, FrequencyBandAndVFOB) {
  ExpectAgree(rig);
  EXPECT_EQ(rig.radio->SetFreq(14.25), kTrue);  // band change on A
  Settle();
  ExpectAgree(rig);
  EXPECT_DOUBLE_EQ(rig.radio->Freq(), 14.25);
  EXPECT_EQ(rig.radio->SetVFOB(21.1), kTrue);
  Settle();
  ExpectAgree(rig);
  EXPECT_EQ(rig.radio->SetFreq(80), kFalse);  // outside the range: the radio is untouched
  Settle();
  ExpectAgree(rig);
  EXPECT_EQ(rig.radio_model.VfoFreqHz('A'), 14250000);
}

TEST_F(TuningRoundTrip, VFOSelectionCopyAndSwap) {
  EXPECT_EQ(rig.radio->SetVFO(1), kTrue);
  Settle();
  ExpectAgree(rig);
  EXPECT_EQ(rig.radio->SetFreq(3.7), kTrue);  // now on B
  EXPECT_EQ(rig.radio->SetAeqB(), kTrue);     // B to A
  Settle();
  ExpectAgree(rig);
  EXPECT_EQ(rig.radio_model.VfoFreqHz('A'), 3700000);
  EXPECT_EQ(rig.radio->SetVFO(0), kTrue);
  EXPECT_EQ(rig.radio->SetFreq(7.05), kTrue);
  EXPECT_EQ(rig.radio->SetAexcB(), kTrue);
  Settle();
  ExpectAgree(rig);
  EXPECT_EQ(rig.radio_model.VfoFreqHz('B'), 7050000);
}

TEST_F(TuningRoundTrip, SplitOnAndOff) {
  EXPECT_EQ(rig.radio->SetSplit(1), kTrue);
  Settle();
  ExpectAgree(rig);
  EXPECT_TRUE(rig.radio_model.Split());
  EXPECT_EQ(rig.radio->SetSplit(0), kTrue);
  Settle();
  ExpectAgree(rig);
}

TEST_F(TuningRoundTrip, ModeAndDataMode) {
  for (std::int16_t mode : {0, 1, 3, 4, 5, 6, 2}) {
    std::int16_t m = mode;
    EXPECT_EQ(rig.radio->SetMode(m, 1), kTrue) << mode;
    Settle();
    ExpectAgree(rig);
    EXPECT_EQ(rig.radio->Mode(), mode);
  }
  EXPECT_EQ(rig.radio_model.ModeChar('A'), '7');  // CW reversed
  EXPECT_EQ(rig.radio->SetDataMode(1, 1, 0, 0), kTrue);
  Settle();
  ExpectAgree(rig);
  EXPECT_EQ(rig.radio_model.ModeChar('A'), 'C');
  EXPECT_EQ(rig.radio->DataMode(), 1);
}

// The transmit side is set up through nested operations; answers to their read requests arrive
// inside the call's message pump. Right after the call and after the polling, cache and radio
// agree.
TEST_F(TuningRoundTrip, TransmitFrequencyAndModeOnTheOtherVFO) {
  std::int16_t mode = 1;
  EXPECT_EQ(rig.radio->SetTX(14.2, mode), kTrue);
  EXPECT_FALSE(rig.module().ParserBusy);
  ExpectAgree(rig);
  EXPECT_DOUBLE_EQ(rig.radio->TX_Freq(), 14.2);
  EXPECT_EQ(rig.radio->TX_Mode(), 1);
  Settle();
  ExpectAgree(rig);
  EXPECT_EQ(rig.radio_model.TransmitVfo(), 'B');
  EXPECT_DOUBLE_EQ(rig.radio->TX_Freq(), 14.2);
  EXPECT_DOUBLE_EQ(rig.radio->Freq(), 7.1);
}

// While the radio reports every change itself, its reports of the nested commands arrive inside
// SetTX's pump too.
TEST(TuningRoundTripAI, TransmitFrequencyWithAutoInformation) {
  SimulatedRig rig;
  rig.radio->AutoPolling(kFalse);
  rig.radio_model.Execute("FA007100000");
  rig.Connect(kSettleMs);
  ASSERT_EQ(rig.radio->SetVFO(1), kTrue);
  rig.vp.Advance(kSettleMs);
  ExpectAgree(rig);
  std::int16_t mode = 2;
  EXPECT_EQ(rig.radio->SetTX(7.2, mode), kTrue);
  rig.vp.Advance(2000);
  ExpectAgree(rig);
  EXPECT_EQ(rig.radio_model.TransmitVfo(), 'A');
  EXPECT_DOUBLE_EQ(rig.radio->TX_Freq(), 7.2);
}

TEST_F(TuningRoundTrip, RIT) {
  EXPECT_EQ(rig.radio->SetRIT(1, -1.5), kTrue);
  Settle();
  EXPECT_EQ(rig.radio_model.RitOffsetHz(), -1500);
  EXPECT_EQ(rig.radio_model.Setting("RT"), 1);
  EXPECT_EQ(rig.radio->RITStatus(), 1);
  EXPECT_DOUBLE_EQ(rig.radio->RITOffset(), -1.5);
  EXPECT_EQ(rig.radio->SetRITClear(), kTrue);
  Settle();
  EXPECT_EQ(rig.radio_model.RitOffsetHz(), 0);
  EXPECT_DOUBLE_EQ(rig.radio->RITOffset(), 0);
}

TEST_F(TuningRoundTrip, RepeaterShiftAndTones) {
  std::int16_t fm = 4;
  ASSERT_EQ(rig.radio->SetFreq(29.6), kTrue);
  ASSERT_EQ(rig.radio->SetMode(fm, 0), kTrue);
  EXPECT_EQ(rig.radio->SetRPT(-1), kTrue);
  EXPECT_EQ(rig.radio->SetShift(100000), kTrue);
  // Encode and decode: the FM status read sends "CT01", which the radio takes as that setting.
  EXPECT_EQ(rig.radio->SetTone(88.5f, 0, 1, 1), kTrue);
  Settle();
  ExpectAgree(rig);
  const auto& m = rig.radio_model;
  EXPECT_EQ(m.Setting("OS0"), 2);
  EXPECT_EQ(rig.radio->RPT(), -1);
  EXPECT_EQ(m.Setting("EX010317"), 100);
  EXPECT_EQ(rig.radio->Shift(), 100);
  EXPECT_EQ(m.Setting("CT0"), 1);
  EXPECT_EQ(m.Setting("CN00"), 8);
  EXPECT_EQ(rig.radio->Enc(), 1);
  EXPECT_EQ(rig.radio->Dec(), 1);
  EXPECT_FLOAT_EQ(rig.radio->CTCSS(), 88.5f);
  EXPECT_EQ(rig.radio->SetTone(0, 0, 0, 0), kTrue);
  Settle();
  EXPECT_EQ(m.Setting("CT0"), 0);
  EXPECT_EQ(rig.radio->Enc(), 0);
}

TEST_F(TuningRoundTrip, MemoryStoreRecallAndBack) {
  std::int16_t fm = 4;
  ASSERT_EQ(rig.radio->SetFreq(29.62), kTrue);
  ASSERT_EQ(rig.radio->SetMode(fm, 0), kTrue);
  ASSERT_EQ(rig.radio->SetRPT(-1), kTrue);
  ASSERT_EQ(rig.radio->SetTone(88.5f, 0, 1, 1), kTrue);
  EXPECT_EQ(rig.radio->SetVFOM(7, ""), kTrue);
  Settle();
  auto stored = rig.radio_model.Memory(7);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->freq_hz, 29620000);
  EXPECT_EQ(stored->mode, '4');
  EXPECT_EQ(stored->tone_mode, 1);
  EXPECT_EQ(stored->shift, 2);
  ExpectAgree(rig);  // storing leaves the radio on its VFO: the status read says so

  ASSERT_EQ(rig.radio->SetFreq(7.1), kTrue);
  std::int16_t usb = 1;
  ASSERT_EQ(rig.radio->SetMode(usb, 0), kTrue);
  EXPECT_EQ(rig.radio->SetChannel(7), kTrue);
  Settle();
  ExpectAgree(rig);
  EXPECT_EQ(rig.radio->MemMode(), 1);
  EXPECT_EQ(rig.radio->Channel(), 7);
  EXPECT_DOUBLE_EQ(rig.radio->Freq(), 29.62);
  EXPECT_EQ(rig.radio->Mode(), 4);
  std::int16_t lsb = 0;
  EXPECT_EQ(rig.radio->SetMode(lsb, 0), kFalse);  // memory mode blocks tuning
  EXPECT_EQ(rig.radio->SetFreq(14.2), kFalse);

  EXPECT_EQ(rig.radio->SetVFO(0), kTrue);  // back to the VFO
  Settle();
  ExpectAgree(rig);
  EXPECT_EQ(rig.radio->MemMode(), 0);
  EXPECT_DOUBLE_EQ(rig.radio->Freq(), 7.1);
}

}  // namespace
}  // namespace veltro
