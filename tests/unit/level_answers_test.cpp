// Level, meter, function, tone, menu and identity answers, fed through ReadBuffer as the radio
// sends them. A row is a run of answers and what the host then reads; the state a row needs is
// made with answers too where the radio can give it ("ID0650;" for the FT-891, "FA...;" for
// the band), so each row reads like a short session. The level sequence reads them from the
// in-process radio model.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "level_command_cases.h"
#include "support/simulated_rig.h"

namespace veltro {
namespace {

using detail::RadioState;
using testing::CommandRig;
using testing::Feed;
using testing::Reads;
using testing::SimulatedRig;

struct Row {
  const char* answers;
  const char* reads;
  // What the properties cannot show: texts and the halves of combined values.
  std::function<void(const RadioState&)> check = nullptr;
  void (*setup)(CommandRig&) = nullptr;
};

void RunRows(const std::vector<Row>& rows) {
  for (const auto& r : rows) {
    SCOPED_TRACE(r.answers);
    CommandRig rig;
    if (r.setup) r.setup(rig);
    Feed(rig, r.answers);
    Reads(r.reads)(rig);
    if (r.check) r.check(rig.state());
  }
}

// clang-format off
// Plain readings of every level come from the radio model in LevelSequence below; these rows are
// the edges.
TEST(Answers, AsTheHostReadsThem) {
  auto antennas = [](CommandRig& r) { r.state().Property[3] = 3; };
  RunRows({
      {"AG1077;SQ1020;", "AFLevel(1)=77 AFLevel(0)=0 SQLevel(1)=20 SQLevel(0)=0"},
      // RF gain runs the other way; 127.5 rounds to even.
      {"RG0255;RG1000;", "RFLevel(0)=0 RFLevel(1)=255"},
      {"ID0650;RG0015;RG1030;", "RFLevel(0)=128 RFLevel(1)=0"},
      {"KS004;", "KeyerWPM=4 KeyerSpeed=1000"},
      {"GT03;", "AGC=3"},
      // Beyond the host's scale: its top.
      {"PC150;GT09;MG120;ML1101;KP75;", "RFPower=100 AGC=4 MicGain=255 MonitorLevel=255 Pitch=1050"},
      // The host's sign is the radio's turned round; a missing sign reads as "+".
      {"IS00-0600;", "IFShift=64"},
      {"IS0000600;", "IFShift=-64"},
      {"IS00-1300;", "IFShift=128"},
      {"SH0013;", "Property(49)=144"},
      {"SH0030;", "Property(49)=255"},
      {"ID0650;SH0109;", "Property(49)=109"},
      {"CO000001;CO030020;", "ContourState=1 APFState=0"},
      {"EX030202-05;CO015000;", "FContour=-5000 Property(51)=255"},
      // Before any contour level has been read the sign is 0, and so is the frequency.
      {"CO010500;EX030202-05;", "FContour=0 Property(51)=39"},
      {"TS1;AC001;", "Tuner=1", [](auto& s) { EXPECT_EQ(s.TXW, 1); }},
      {"PR01;PR02;PR13;", "Comp=1 TXEQ=0"},
      {"AN02;", "Antenna=1", nullptr, antennas},
      {"AN02;AN04;", "Antenna=0", nullptr, antennas},
      // Break-in delay: codes above 6 are 100 ms steps from 400 ms, at most Property(5).
      {"SD07;", "BKIn=8"},
      {"SD20;", "BKIn=30"},
      {"SD05;ID0650;SD10;", "BKIn=5"},
      // Blanker records keep their own levels; a type the radio does not have is stored, the
      // records are left alone.
      {"NL0010;NB02;NL0020;NB01;", "NB=10 NBType=1",
       [](auto& s) {
         EXPECT_EQ(s.NBRecord[1].On, 1);
         EXPECT_EQ(s.NBRecord[2].On, 0);
         EXPECT_EQ(s.NBRecord[2].Level, 20);
       }},
      {"NB02;NB00;NL0030;", "NB=0 NBType=0", [](auto& s) { EXPECT_EQ(s.NBRecord[2].On, 0); }},
      {"NL0010;NB03;NL0040;", "NB=10 NBType=3"},
      // NR, NF and KeyerSpeed hold the level while the function is on and 1000 + the level while
      // it is off, whichever of the two answers comes first.
      {"NR00;RL05;", "NR=1005"},
      {"RL00;NR01;", "NR=1"},
      {"BP01015;BP00001;", "NF=15 FNotch=150"},
      {"BP00001;BP01000;", "NF=1 FNotch=0"},
      {"KS032;KR1;", "KeyerSpeed=128 KeyerWPM=32"},
      // The FT-891 reads its transmit meter under "2" only; "0" and "1" still are S-meters.
      {"SM0120;SM1050;", "SMeter=120"},
      {"RM1090;RM5100;", "SMeter=90 Meter=100"},
      {"ID0650;RM2050;RM5100;", "Meter=50"},
      {"ID0650;RM0100;", "SMeter=100 Meter=0"},
      // Menus: repeater shift has one for HF, one for 50 to 60 MHz; the FT-891 has six-character
      // menu codes, and the FTDX10's are then other menus.
      {"EX0201131;", "FullBK=1"},
      {"FA014250000;EX0103170600;", "Shift=600"},
      {"FA052000000;EX0103180500;", "Shift=500"},
      {"FA052000000;EX0103170600;", "Shift=0"},
      {"FA014250000;EX0103190600;EX030203+05;", "Shift=0 FContour=0"},
      {"ID0650;EX07081;", "FullBK=1"},
      {"ID0650;EX0201131;", "FullBK=0"},
      {"ID0650;EX1202-03;CO010500;", "FContour=-500"},
      {"ID0650;FA007000000;EX09040600;", "Shift=600"},
      {"ID0650;FA052000000;EX09050500;EX09040600;", "Shift=500"},
      // Tones: only the VFO in use, and the tables' ends.
      {"OS02;", "RPT=-1"},
      {"OS01;OS03;", "RPT=0"},
      {"VS1;OS11;OS02;", "RPT=1"},
      {"CN00049;", "", [](auto& s) { EXPECT_FLOAT_EQ(s.ToneCTCSS, 254.1f); }},
      {"CN00049;CN00050;", "CTCSS=0"},
      {"CN00012;CN10049;", "CTCSS=100"},
      {"CN01000;CT03;", "DCS=1 Enc=1 Dec=0 CTCSS=-23"},
      {"CT03;CN01103;", "CTCSS=-754"},
      {"CT03;CN01103;CN01104;", "", [](auto& s) { EXPECT_EQ(s.ToneDCS, 0); }},
      {"CN00012;CT03;CT01;", "DCS=0 Enc=1 Dec=1 CTCSS=100"},
      {"CT01;CT00;", "Enc=0 Dec=0 DCS=0"},
  });
  // Roofing filter characters, two per filter, for either receiver: RFT(1) then RFT(0).
  std::string codes;
  for (char c : std::string("123456789AB")) {
    CommandRig rig;
    Feed(rig, std::string("RF1") + c + ";");
    codes += std::to_string(rig.radio->RFT(1)) + std::to_string(rig.radio->RFT(0)) + " ";
  }
  EXPECT_EQ(codes, "10 20 30 10 20 30 40 50 40 50 00 ");
}

// clang-format on

// Front-panel settings away from the radio's defaults, and what the host reads once a level
// sequence (48 steps of 200 ms) has run; before it, none of it.
TEST(LevelSequence, ReadsEveryLevel) {
  const std::string panel =
      "AG0100;SQ0030;PC050;NR01;RL005;BP00001;BP01050;KR0;KS025;VX1;PR01;PR11;GT02;RA01;BC01;"
      "NB01;NL0007;CO000001;CO010500;CO020001;NA01;KP20;BI1;ML0001;ML1060;MG050;MS3;";
  const std::string reads =
      "AFLevel(0)=100 SQLevel(0)=30 RFPower=50 NR=5 NF=50 FNotch=500 KeyerSpeed=1096 "
      "KeyerWPM=25 Vox=1 Comp=1 TXEQ=1 BK=1 AGC=2 Att=1 AutoNF=1 NBType=1 NB=7 ContourState=1 "
      "Property(51)=39 APFState=1 Property(57)=1 Pitch=500 Monitor=1 MonitorLevel=153 "
      "MicGain=128 MeterSW=3 ";
  const struct {
    sim::Model model;
    const char* transceiver;
    std::string panel, reads;
  } rows[] = {
      {sim::Model::kFtdx10, "FTDX-10", panel + "RG0120;SD15;PA02;SH0010;IS00+0300;",
       reads + "RFLevel(0)=135 BKIn=24 PreAmp=2 Property(49)=110 IFShift=-32 FContour=500"},
      {sim::Model::kFt891, "FT-891", panel + "RG0012;PA01;SH0110;IS01+0300;EX1202-03;",
       reads + "RFLevel(0)=153 PreAmp=1 Property(49)=121 IFShift=-32 FContour=-500"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.transceiver);
    SimulatedRig rig(r.model);
    rig.Connect(12000);
    ASSERT_EQ(rig.radio->Transceiver(), r.transceiver);  // from the radio's identity answer
    ASSERT_EQ(rig.radio_model.Receive(r.panel), "");     // the radio takes every setting
    std::istringstream items(r.reads);
    for (std::string item; items >> item;) EXPECT_NE(rig.Read(item), item);
    rig.radio->PollLevels();
    rig.vp.Advance(48 * 200 + 500);
    EXPECT_EQ(rig.module().LevelPollStep, 0) << "the sequence did not end";
    EXPECT_EQ(rig.Read(r.reads), r.reads);
  }
}

class ChangeFour : public ::testing::Test {
 protected:
  ChangeFour() {
    rig.radio->AddChangeHandler([this](std::int16_t& st) { events.push_back(st); });
    Feed(rig, "MD02;AG0000;");  // the first mode and StatusChange are behind us
    events.clear();
    rig.Sent();
  }
  CommandRig rig;
  std::vector<std::int16_t> events;
};

TEST_F(ChangeFour, LevelAnswersRaiseItEvenWhenTheyStoreNothing) {
  for (const char* a : {"AG2100;", "SQ2100;", "RG2100;", "NR10;", "RL105;", "BP10015;", "NB12;",
                        "NL1010;", "PR21;", "PR02;", "GT13;", "RA11;", "PA11;", "BC11;", "NA11;",
                        "IS10+0600;", "SH1013;", "CO030020;", "ML2050;"}) {
    SCOPED_TRACE(a);
    std::string before = rig.Print();
    Feed(rig, a);
    EXPECT_EQ(rig.Print(), before);
    EXPECT_EQ(events, std::vector<std::int16_t>{4});
    events.clear();
  }
}

TEST_F(ChangeFour, OtherAnswersRaiseItOnlyWhenAWatchedFieldMoves) {
  const struct {
    const char* answers;
    std::size_t fours;
  } rows[] = {
      {"TS1;AC001;KP30;SM0000;OS01;AN02;ID0761;", 0},
      {"EX0103170600;EX0999990;", 0},
      {"RF01;RF01;", 1},
      {"RF11;RF02;RF02;", 2},
      {"EX0201131;EX030202+05;", 2},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.answers);
    events.clear();
    Feed(rig, r.answers);
    EXPECT_EQ(std::count(events.begin(), events.end(), 4), static_cast<long>(r.fours));
  }
}

TEST_F(ChangeFour, ToneModeAsksForTheToneOfItsVFO) {
  Feed(rig, "CT11;CT01;");
  EXPECT_EQ(rig.Sent(), std::vector<std::string>{"CN00"});
  Feed(rig, "VS1;");
  rig.Sent();
  Feed(rig, "CT14;");
  EXPECT_EQ(rig.Sent(), std::vector<std::string>{"CN10"});
}

// The FT-891's identity switches the whole set (its menus, scales and widths show in the rows
// above); another identity is only recorded, and back to the FTDX10's only the prefix returns,
// while the decoders that ask for the identity follow the new one.
TEST(IdentityAnswer, FT891SwitchesTheWholeSetAnotherOnlyRecordsItself) {
  CommandRig rig;
  auto profile = [&] {
    return std::to_string(rig.module().ModelID) + " " + rig.state().FilterPrefix + " " +
           rig.Read("Transceiver RangeMax Property(5) Property(16) Property(56)");
  };
  Feed(rig, "ID0761;");
  EXPECT_EQ(profile(),
            "761 0 Transceiver=FTDX-10 RangeMax=75 Property(5)=30 Property(16)=127 "
            "Property(56)=23");
  Feed(rig, "ID0650;");
  EXPECT_EQ(profile(),
            "650 1 Transceiver=FT-891 RangeMax=54 Property(5)=30 Property(16)=63 "
            "Property(56)=21");
  Feed(rig, "ID0761;MS3;");
  EXPECT_EQ(profile(),
            "761 0 Transceiver=FT-891 RangeMax=54 Property(5)=30 Property(16)=63 "
            "Property(56)=21");
  EXPECT_EQ(rig.state().MeterCaption + rig.state().MeterIndex, "SWR8");
}

}  // namespace
}  // namespace veltro
