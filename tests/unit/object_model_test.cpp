// Connector lifetime, the protocol object's state at creation, indexed getters and Change.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/virtual_rig.h"

namespace veltro {
namespace {

using testing::VirtualRig;

// "a3" for handler a seeing State 3.
std::string Tag(char handler, int state) {
  std::string s(1, handler);
  s += std::to_string(state);
  return s;
}

int ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const AutomationError& e) {
    return e.Number();
  }
  return 0;
}

TEST(Connector, SharesOneProtocolObject) {
  VirtualRig rig;
  auto second = std::make_unique<FTDX10_Connector>(rig.lib);
  EXPECT_EQ(second->FTDX10_Protocol(), rig.radio);
  EXPECT_EQ(rig.module().ConnectorCount, 2);
  second.reset();
  EXPECT_EQ(rig.connector->FTDX10_Protocol(), rig.radio);
  EXPECT_EQ(rig.module().ConnectorCount, 1);
}

TEST(Connector, LastReleaseBeforeThePanelDropsTheObject) {
  VirtualRig rig;
  rig.radio->ChannelMin(7);
  rig.connector.reset();
  EXPECT_EQ(rig.module().ConnectorCount, 0);
  EXPECT_EQ(rig.module().SharedProtocol, nullptr);
  EXPECT_EQ(rig.radio->ChannelMin(), 7);  // the host's own reference still works

  FTDX10_Connector fresh(rig.lib);
  auto obj = fresh.FTDX10_Protocol();
  EXPECT_NE(obj, rig.radio);
  EXPECT_EQ(obj->ChannelMin(), 1);
}

TEST(Connector, ThePanelKeepsTheObjectOnceThePortWasTouched) {
  VirtualRig rig;
  rig.radio->Port(3);  // brings the control panel up with its own connector
  EXPECT_EQ(rig.module().ConnectorCount, 2);
  EXPECT_EQ(rig.module().panel->Transceiver, rig.radio);
  rig.radio->ChannelMax(50);
  rig.connector.reset();
  EXPECT_EQ(rig.module().ConnectorCount, 1);

  FTDX10_Connector again(rig.lib);
  EXPECT_EQ(again.FTDX10_Protocol(), rig.radio);
  EXPECT_EQ(again.FTDX10_Protocol()->ChannelMax(), 50);
  EXPECT_EQ(again.FTDX10_Protocol()->Port(), 3);
}

TEST(Connector, ThePanelStartsOnlyTheMasterTimer) {
  VirtualRig rig;
  EXPECT_FALSE(rig.lib.HasPanel());
  rig.serial();
  auto& panel = *rig.module().panel;
  EXPECT_TRUE(panel.tmrPolling->Enabled());
  EXPECT_EQ(panel.tmrPolling->IntervalMs(), 175);
  const std::pair<platform::Timer*, int> idle[] = {{panel.tmrStart.get(), 5000},
                                                   {panel.tmrPollVFO.get(), 200},
                                                   {panel.tmrLevels.get(), 200},
                                                   {panel.tmrStopPolling.get(), 1000}};
  for (auto [timer, interval] : idle) {
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(timer->IntervalMs(), interval);
  }
}

TEST(FreshState, ReportsTheDefaults) {
  VirtualRig rig;
  auto& r = *rig.radio;
  EXPECT_EQ(r.About(), "FTDX-10 V1.1.0");
  EXPECT_EQ(r.Transceiver(), "FTDX-10");
  const std::pair<const char*, int> values[] = {
      {"Channel", r.Channel()},           {"ChannelMin", r.ChannelMin()},
      {"ChannelMax", r.ChannelMax()},     {"NBType", r.NBType()},
      {"PowerON", r.PowerON()},           {"AutoPolling", r.AutoPolling()},
      {"PortRTS", r.PortRTS()},           {"PortDTR", r.PortDTR()},
      {"CKBuffer", r.CKBuffer()},         {"Range", r.Range()},
      {"Property(18)", r.Property(18)},   {"Property(87)", r.Property(87)},
      {"Property(100)", r.Property(100)}, {"CAT", r.CAT()},
      {"PortOpen", r.PortOpen()},         {"ProcLevel", r.ProcLevel()},
      {"VFO", static_cast<int>(r.VFO())}, {"Property(5)", r.Property(5)},
  };
  const int expected[] = {1, 1, 99, 1, -1, -1, -1, 0, 0, 1, 320, 49, 0, 0, 0, 0, 0, 30};
  for (std::size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(values[i].second, expected[i]) << values[i].first;
  }
  EXPECT_DOUBLE_EQ(r.RangeMin(), 0.03);
  EXPECT_DOUBLE_EQ(r.RangeMax(), 75.0);
  EXPECT_EQ(r.CHLabel(), "");
  EXPECT_EQ(r.Sub_Freq(), 0.0);
  EXPECT_TRUE(r.AutoNF().IsEmpty());
  EXPECT_EQ(rig.module().LastMode, -1);
  EXPECT_FLOAT_EQ(rig.module().CommandGap, 0.1f);
}

TEST(Getters, IndexOutsideTheTableIsError9) {
  VirtualRig rig;
  auto& r = *rig.radio;
  const std::function<void()> calls[] = {
      [&] { r.Property(101); },
      [&] { r.Property(-1); },
      [&] { r.HighCutFilter(3, 0); },
      [&] { r.HighCutFilter(0, 11); },
      [&] { r.LowCutFilter(-1, 0); },
      [&] { r.RFT(2); },
      [&] { r.AFLevel(Variant(std::int16_t{2})); },
      [&] { r.SQLevel(Variant(-1.0)); },
      [&] { r.RFLevel(Variant("5")); },
  };
  for (std::size_t i = 0; i < std::size(calls); ++i) EXPECT_EQ(ErrorOf(calls[i]), 9) << i;
  EXPECT_EQ(ErrorOf([&] { r.AFLevel(Variant("one")); }), 13);
  EXPECT_EQ(ErrorOf([&] { r.AFLevel(Variant(std::make_shared<VariantObject>())); }), 13);
  EXPECT_EQ(ErrorOf([&] { r.AFLevel(Variant(1e12)); }), 6);
  EXPECT_EQ(r.AFLevel(Variant(" 1 ")), 0);
  EXPECT_EQ(r.AFLevel(Variant(0.5)), 0);  // rounds to 0: half to even
  EXPECT_EQ(r.AFLevel(Variant()), 0);
}

TEST(Getters, RoundAndConvertAsDocumented) {
  VirtualRig rig;
  auto& s = rig.state();
  s.TuningStep = 2.5f;
  EXPECT_EQ(rig.radio->TuningStep(), 2);
  s.TuningStep = 3.5f;
  EXPECT_EQ(rig.radio->TuningStep(), 4);
  s.VFO = 1;
  EXPECT_EQ(rig.radio->VFO(), 1.0);
  EXPECT_FLOAT_EQ(rig.radio->CTCSSTone(0), 67.0f);
  EXPECT_FLOAT_EQ(rig.radio->CTCSSTone(49), 254.1f);
  EXPECT_EQ(rig.radio->CTCSSTone(50), 0.0f);
  EXPECT_EQ(rig.radio->CTCSSTone(-1), 0.0f);
  rig.radio->ChannelMin(120);
  EXPECT_EQ(rig.radio->ChannelMin(), 120);
  EXPECT_EQ(rig.radio->ChannelMax(), 99);
}

TEST(Getters, AutoNFSharesObjectsAndCopiesValues) {
  VirtualRig rig;
  auto obj = std::make_shared<VariantObject>();
  rig.radio->AutoNF(Variant(obj));
  EXPECT_EQ(std::get<std::shared_ptr<VariantObject>>(rig.radio->AutoNF().value()), obj);
  rig.radio->AutoNF(Variant(std::int16_t{3}));
  EXPECT_EQ(rig.radio->AutoNF(), Variant(std::int16_t{3}));
}

TEST(ChangeEvent, HandlersRunInOrderAndMayRemoveThemselves) {
  VirtualRig rig;
  auto& r = *rig.radio;
  std::vector<std::string> seen;
  ChangeHandlerId first = 0;
  first = r.AddChangeHandler([&](std::int16_t& st) {
    seen.push_back(Tag('a', st));
    r.RemoveChangeHandler(first);
  });
  r.AddChangeHandler([&](std::int16_t& st) {
    seen.push_back(Tag('b', st));
    st = 99;  // a handler's change of State stays its own
    r.AddChangeHandler([&](std::int16_t& s2) { seen.push_back(Tag('c', s2)); });
  });
  rig.impl().RaiseChange(3);
  rig.impl().RaiseChange(4);
  EXPECT_EQ(seen, (std::vector<std::string>{"a3", "b3", "b4", "c4"}));
  EXPECT_FALSE(r.RemoveChangeHandler(first));
  EXPECT_FALSE(r.RemoveChangeHandler(12345));
  EXPECT_EQ(r.AddChangeHandler(nullptr), 0u);
}

TEST(ChangeEvent, AHandlerMayRaiseAgainInside) {
  VirtualRig rig;
  int depth = 0, calls = 0;
  rig.radio->AddChangeHandler([&](std::int16_t& st) {
    ++calls;
    if (depth++ == 0) rig.impl().RaiseChange(st);
    --depth;
  });
  rig.impl().RaiseChange(1);
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace veltro
