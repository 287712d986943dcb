// Connector lifetime, the protocol object's state at creation, indexed getters and Change.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/virtual_rig.h"
#include "veltro/members.h"

namespace veltro {
namespace {

using testing::VirtualRig;

int ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const AutomationError& e) {
    return e.Number();
  }
  return 0;
}

TEST(Connector, SharesOneObjectUntilTheLastReleaseUnlessThePanelHoldsIt) {
  for (bool panel : {false, true}) {
    VirtualRig rig;
    if (panel) rig.radio->Port(3);  // brings the control panel up with its own connector
    auto second = std::make_unique<FTDX10_Connector>(rig.lib);
    EXPECT_EQ(second->FTDX10_Protocol(), rig.radio);
    EXPECT_EQ(rig.module().ConnectorCount, panel ? 3 : 2);
    rig.radio->ChannelMin(7);
    second.reset();
    rig.connector.reset();
    EXPECT_EQ(rig.module().ConnectorCount, panel ? 1 : 0);
    EXPECT_EQ(rig.radio->ChannelMin(), 7);  // the host's own reference still works
    FTDX10_Connector fresh(rig.lib);
    EXPECT_EQ(fresh.FTDX10_Protocol() == rig.radio, panel);
    EXPECT_EQ(fresh.FTDX10_Protocol()->ChannelMin(), panel ? 7 : 1);
  }
}

TEST(FreshState, ReportsTheDefaultsRoundedAndConverted) {
  VirtualRig rig;
  auto& r = *rig.radio;
  const std::string defaults =
      "Transceiver=FTDX-10 Channel=1 ChannelMin=1 ChannelMax=99 NBType=1 "
      "PowerON=-1 AutoPolling=-1 PortRTS=-1 PortDTR=0 CKBuffer=0 Range=1 CAT=0 "
      "PortOpen=0 ProcLevel=0 VFO=0 RangeMin=0.03 RangeMax=75 CHLabel= Sub_Freq=0 AutoNF=";
  EXPECT_EQ(rig.Read(defaults), defaults);
  // Unlike the other indexed getters, a tone outside the table reads as 0.
  EXPECT_FLOAT_EQ(r.CTCSSTone(0) + r.CTCSSTone(49) + r.CTCSSTone(50) + r.CTCSSTone(-1), 321.1f);
  auto& s = rig.state();
  s.TuningStep = 2.5f, s.Shift = 3.5f, s.VFO = 1;
  r.ChannelMin(120);  // no check against the maximum
  EXPECT_EQ(rig.Read("TuningStep Shift VFO ChannelMin ChannelMax"),
            "TuningStep=2 Shift=4 VFO=1 ChannelMin=120 ChannelMax=99");
}

TEST(Getters, IndexOutsideTheTableIsError9AndBadReceiversAreRefused) {
  VirtualRig rig;
  for (const char* call : {"Property(101)", "Property(-1)", "RFT(2)", "HighCutFilter(3,0)",
                           "HighCutFilter(0,11)", "LowCutFilter(-1,0)"}) {
    EXPECT_EQ(ErrorOf([&] { rig.Get(call); }), 9) << call;
  }
  // A receiver is a number or a text holding one: past the end 9, not a number 13, too large 6.
  const std::pair<Variant, int> receivers[] = {
      {Variant(std::int16_t{2}), 9}, {Variant(-1.0), 9},    {Variant("5"), 9},
      {Variant("one"), 13},          {Variant("inf"), 13},  {Variant("0x1"), 13},
      {Variant("1 2"), 13},          {Variant("1e400"), 6}, {Variant(1e12), 6},
      {Variant(" 1 "), 0},           {Variant(0.5), 0},     {Variant(), 0},
      {Variant(std::int16_t{1}), 0}};
  for (const auto& [receiver, error] : receivers) {
    EXPECT_EQ(ErrorOf([&] { rig.radio->AFLevel(receiver); }), error) << receiver.ToText();
  }
  EXPECT_EQ(ErrorOf([&] { rig.radio->AFLevel(Variant(std::make_shared<VariantObject>())); }), 13);
}

TEST(ChangeEvent, HandlersRunInOrderAndMayRemoveAddOrRaiseInside) {
  VirtualRig rig;
  auto& r = *rig.radio;
  std::string seen;
  bool added = false;
  ChangeHandlerId first = 0;
  first = r.AddChangeHandler([&](std::int16_t& st) {
    seen += 'a' + std::to_string(st);
    if (st == 1) r.RemoveChangeHandler(first);  // inside a raise inside a raise
  });
  r.AddChangeHandler([&](std::int16_t& st) {
    seen += 'b' + std::to_string(st);
    if (st == 4) rig.impl().RaiseChange(1);
    st = 99;  // a handler's change of State stays its own
    if (added) return;
    added = true;
    r.AddChangeHandler([&](std::int16_t& s2) { seen += 'c' + std::to_string(s2); });
  });
  rig.impl().RaiseChange(3);  // c runs from the next event on
  rig.impl().RaiseChange(4);
  rig.impl().RaiseChange(2);
  EXPECT_EQ(seen, "a3b3a4b4a1b1c1c4b2c2");
  EXPECT_FALSE(r.RemoveChangeHandler(first));
  EXPECT_FALSE(r.RemoveChangeHandler(12345));
  EXPECT_EQ(r.AddChangeHandler(nullptr), 0u);
}

// A host's true is any non-zero value; a boolean result equals true as well as -1 and kTrue.
static_assert(VBool(5) == -1 && VBool(5) == true && VBool(1) == kTrue && VBool(1) != 1 &&
              VBool(0) == false && VBool(0) == 0 && !VBool(std::int16_t{0}) && VBool(true) != 0);

TEST(Booleans, EveryTrueValueReadsBackAsMinusOneAndActsAsTrue) {
  VirtualRig rig;
  auto& r = *rig.radio;
  const std::pair<Variant, int> written_read[] = {
      {Variant(true), -1}, {Variant(std::int16_t{1}), -1}, {Variant(std::int32_t{70000}), -1},
      {Variant(0.5), -1},  {Variant(" True "), -1},        {Variant("5"), -1},
      {Variant(false), 0}, {Variant(std::int16_t{0}), 0},  {Variant("false"), 0}};
  for (const char* name : {"AutoPolling", "CKBuffer", "StatusChange", "PortDTR", "PortRTS"}) {
    for (const auto& [written, read] : written_read) {
      FindMember(name)->Let(r, written);
      EXPECT_EQ(rig.Get(name), Variant(static_cast<std::int16_t>(read)))
          << name << written.ToText();
    }
  }
  // The trap a C++ host falls into: true (or 1) must switch polling on, not store 1.
  r.Port(1);
  EXPECT_TRUE(r.SetPort(1) == true && r.PortOpen() == -1);
  r.AutoPolling(1);
  EXPECT_EQ(r.SetCAT(1), -1);
  EXPECT_EQ(rig.TakeWrites(), (std::vector<std::string>{"ID;", "AI0;"}));
  // Literals reach the members that rewrite their argument (an lvalue is rewritten: ModeCommands).
  EXPECT_TRUE(r.SetMode(2, 0) && r.SetTX(7.1, 2));
}

}  // namespace
}  // namespace veltro
