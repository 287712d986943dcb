// Width steps, filter application with its IF-shift arithmetic, direct shift and width, contour
// and APF, in both profiles.
#include <cmath>

#include "host/filter_width.h"
#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::Both;
using testing::CommandRig;
using testing::Entry;
using testing::Reads;
using Setup = testing::Step;

TEST(FilterCommands, WidthSteps) {
  struct Row {
    std::int32_t hz;
    std::int16_t mode;
    bool ft891;
    const char* text;
    bool narrow;
  };
  // clang-format off
  const Row rows[] = {
      {299, 1, false, "SH0001", false}, {300, 1, false, "SH0002", false}, {2401, 0, false, "SH0014", false},
      {3501, 1, false, "SH0023", false}, {-50, 1, false, "SH0001", false}, {49, 2, false, "SH0001", false},
      {50, 5, false, "SH0002", false}, {2401, 2, false, "SH0018", false}, {2400, 3, false, "SH0000", false},
      {2400, 7, false, "SH0000", false}, {199, 1, true, "SH0101", true}, {1800, 1, true, "SH0109", true},
      {1801, 1, true, "SH0110", false}, {2220, 1, true, "SH0100", false}, {2250, 1, true, "SH0113", false},
      {2350, 0, true, "SH0100", false}, {2420, 1, true, "SH0100", false}, {2450, 1, true, "SH0115", false},
      {3001, 1, true, "SH0121", false}, {500, 2, true, "SH0110", true}, {501, 2, true, "SH0111", false},
      {2401, 5, true, "SH0117", false}, {300, 4, true, "SH0100", false},
  };
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.hz) + " Hz mode " + std::to_string(r.mode));
    auto w = detail::WidthCommand(r.hz, r.mode, r.ft891);
    EXPECT_EQ(w.text, r.text);
    EXPECT_EQ(w.narrow, r.narrow);
  }
}

// The mode current (VFO A's too), in a profile: 10 the FTDX10, 891 the FT-891, 0 before any
// identity.
Setup In(std::int16_t mode, int profile = 10, std::int16_t narrow = 0) {
  return [=](CommandRig& r) {
    if (profile == 10) r.UseFtdx10();
    if (profile == 891) r.UseFt891();
    r.state().Mode = mode;
    r.state().Property[57] = narrow;
  };
}
// Cut-offs for filter 0 in `mode`, in that mode and profile.
Setup Passband(std::int16_t low, std::int16_t high, std::int16_t mode, int profile = 10) {
  return [=](CommandRig& r) {
    In(mode, profile)(r);
    r.radio->SetCutFilter(low, high, 0, mode);
  };
}
Setup Sign(std::int16_t s) {
  return [s](CommandRig& r) { r.state().ContourSign = s; };
}
auto Filter(std::int16_t f, std::int16_t mode) {
  return [=](FTDX10_Protocol& r) { return r.SetFilter(f, mode, 0); };
}
auto Shift(std::int16_t v) {
  return [v](FTDX10_Protocol& r) { return r.SetIFShift(v); };
}
auto Contour(std::int16_t p, std::int16_t v) {
  return [=](FTDX10_Protocol& r) { return r.SetContour(p, v); };
}
auto APF(std::int16_t p, std::int16_t v) {
  return [=](FTDX10_Protocol& r) { return r.SetAPF(p, v); };
}

// clang-format off
TEST(FilterCommands, SetFilter) {
  testing::RunCases({
      {"USB 300-2700", Passband(300, 2700, 1), Filter(0, 1), -1, {"RF02", "SH0000", "SH0013", "IS00+0000"},
       Reads("Property(49)=144 RFT(0)=2 IFShift=0 StatusChange=-1")},
      {"USB 300-3000", Passband(300, 3000, 1), Filter(0, 1), -1, {"RF02", "SH0000", "SH0017", "IS00+0150"}, Reads("IFShift=-16")},
      {"no prefix before any identity", Passband(300, 3000, 1, 0), Filter(0, 1), -1, {"RF02", "SH0000", "SH0017", "IS0+0150"}},
      {"LSB with no cut-offs", Passband(0, 0, 0), Filter(0, 0), -1, {"RF02", "SH0000", "SH0001", "IS00-1000"}, Reads("IFShift=107")},
      {"centre above the range", Passband(3000, 4000, 1), Filter(0, 1), -1, {"RF02", "SH0000", "SH0005", "IS00+1000"}, Reads("IFShift=-107")},
      {"centre 1499.5 rounds to even 1500", Passband(299, 2700, 1), Filter(0, 1), -1, {"RF02", "SH0000", "SH0014", "IS00+0000"}},
      {"CW has no shift", Passband(300, 800, 2), Filter(0, 2), -1, {"RF04", "SH0000", "SH0010", "IS00+0000"}, Reads("RFT(0)=4")},
      {"FM wide", In(4), Filter(0, 4), -1, {"NA00", "RF01"}, Reads("Property(57)=0 BW=16000 IFS=0 RFT(0)=1")},
      {"FM narrow", Both(In(4), Entry(12, 2)), Filter(1, 4), -1, {"NA01", "RF01"}, Reads("BW=9000 Filter=1")},
      {"FM never reads the cut tables", In(4), Filter(-1, 4), -1, {"NA01", "RF01"}, Reads("Property(57)=1 Filter=-1")},
      {"FT-891 AM has no roofing filter", In(3, 891), Filter(0, 3), -1, {"NA00"}, Reads("BW=9000")},
      {"FT-891 USB wide", Passband(300, 2700, 1, 891), Filter(0, 1), -1, {"NA00", "SH0000", "SH0114", "IS01+0000"},
       Reads("Property(49)=170 Property(57)=0")},
      {"FT-891 USB narrow", Passband(1000, 2000, 1, 891), Filter(0, 1), -1, {"NA01", "SH0000", "SH0105", "IS01+0000"}, Reads("Property(57)=1")},
      {"FT-891 width in a gap", Passband(100, 2320, 1, 891), Filter(0, 1), -1, {"NA00", "SH0000", "SH0100", "IS01-0290"}},
  });
}

TEST(FilterCommands, SetIFShift) {
  testing::RunCases({
      {"up 64", In(1), Shift(64), -1, {"IS00-0600"}, Reads("IFShift=64")},
      {"down 1 rounds to 0", In(1), Shift(-1), -1, {"IS00+0000"}, Reads("IFShift=-1")},
      {"down 3 to the 20 Hz step", In(1), Shift(-3), -1, {"IS00+0020"}},
      {"FT-891 prefix", In(1, 891), Shift(10), -1, {"IS01-0080"}},
      {"widest voice", In(1), Shift(1255), -1, {"SH0023"}, Reads("Property(49)=255 IFShift=0")},
      {"widest CW", In(2), Shift(1255), -1, {"SH0018"}, Reads("Property(49)=199")},
      {"middle", In(0), Shift(1128), -1, {"SH0011"}},
      {"FT-891 wide starts at 9", In(1, 891), Shift(1000), -1, {"SH0109"}},
      {"FT-891 narrow stops at 9", In(1, 891, 1), Shift(1255), -1, {"SH0109"}},
      {"FT-891 narrow CW", In(2, 891, 1), Shift(1255), -1, {"SH0110"}},
      {"FT-891 wide CW top", In(6, 891), Shift(1255), -1, {"SH0117"}},
  });
}

TEST(FilterCommands, ContourAndAPF) {
  auto flip = [](CommandRig& r) { r.state().ContourSign = 1, r.state().FContour = 800; };
  testing::RunCases({
      {"on", nullptr, Contour(0, 1), -1, {"CO000001", "CO00"}, Reads("ContourState=1")},
      {"frequency top", Sign(1), Contour(1, 255), -1, {"CO013200", "CO01"}, Reads("FContour=3200 Property(51)=255")},
      {"frequency bottom", Sign(-1), Contour(1, 0), -1, {"CO010010", "CO01"}, Reads("FContour=-10")},
      {"frequency middle", Sign(1), Contour(1, 128), -1, {"CO011616", "CO01"}},
      {"frequency before any sign is known is 0", nullptr, Contour(1, 255), -1, {"CO013200", "CO01"}, Reads("FContour=0")},
      {"frequency above the scale", Sign(1), Contour(1, 256), -1, {"CO013200", "CO01"}, Reads("Property(51)=256")},
      {"frequency below the scale", Sign(1), Contour(1, -1), -1, {"CO010010", "CO01"}},
      {"switch 2 goes to the radio", nullptr, Contour(0, 2), -1, {"CO000002", "CO00"}, Reads("ContourState=2")},
      {"level of three digits", nullptr, Contour(2, 100), -1, {"EX030202+100"}},
      {"level positive", Sign(-1), Contour(2, 5), -1, {"EX030202+05"}, [](CommandRig& r) { EXPECT_EQ(r.state().ContourSign, 1); }},
      {"level negative flips the frequency", flip, Contour(2, -10), -1, {"EX030202-10"},
       [](CommandRig& r) { EXPECT_EQ(r.state().ContourSign, -1); EXPECT_EQ(r.radio->FContour(), -800); }},
      {"width", nullptr, Contour(3, 7), -1, {"EX03020307"}},
      {"FT-891 level", In(1, 891), Contour(2, -3), -1, {"EX1202-03"}},
      {"FT-891 width", In(1, 891), Contour(3, 11), -1, {"EX120311"}},
      {"unknown contour parameter", nullptr, Contour(4, 1), -1, {}, Reads("StatusChange=-1")},
      {"negative contour parameter", nullptr, Contour(-1, 0), -1, {}, Reads("StatusChange=-1")},
      {"APF on recentres", nullptr, APF(0, 1), -1, {"CO020001", "CO00", "CO030025"}, Reads("APFState=1")},
      {"APF centre", nullptr, APF(1, 128), -1, {"CO030025", "CO03"}, [](CommandRig& r) { EXPECT_EQ(r.state().APFOffset, 0); }},
      {"APF top", nullptr, APF(1, 255), -1, {"CO030050", "CO03"}, [](CommandRig& r) { EXPECT_EQ(r.state().APFOffset, 250); }},
      {"APF bottom", nullptr, APF(1, 0), -1, {"CO030000", "CO03"},
       [](CommandRig& r) { EXPECT_EQ(r.state().APFOffset, -250); EXPECT_EQ(r.state().APFLevel, 0); }},
      {"APF above the scale", nullptr, APF(1, 256), -1, {"CO030050", "CO03"}},
      {"unknown APF parameter", nullptr, APF(-1, 1), -1, {}, Reads("StatusChange=-1")},
  });
}

TEST(FilterCommands, ErrorsReachTheHost) {
  struct Row {
    const char* name;
    std::function<void(FTDX10_Protocol&)> call;
    int number;
    std::vector<std::string> sent = {};
  };
  const Row rows[] = {
      {"cut filter 3", [](auto& r) { r.SetCutFilter(1, 2, 3, 0); }, 9},
      {"cut filter -1", [](auto& r) { r.SetCutFilter(1, 2, -1, 0); }, 9},
      {"cut mode 11", [](auto& r) { r.SetCutFilter(1, 2, 0, 11); }, 9},
      {"filter -1", [](auto& r) { r.SetFilter(-1, 1, 0); }, 9},
      {"filter 3 where fitted", [](auto& r) { r.impl().state.Property[12] = 3, r.SetFilter(3, 1, 0); }, 9},
      {"width beyond 16 bits", [](auto& r) { r.SetCutFilter(-30000, 30000, 0, 1), r.SetFilter(0, 1, 0); }, 6},
      {"pass-band sum beyond 16 bits, after the width",
       [](auto& r) { r.SetCutFilter(20000, 20000, 0, 1), r.SetFilter(0, 1, 0); }, 6, {"RF02", "SH0000", "SH0001"}},
      {"contour level menu value not a number", [](auto& r) { r.SetData(3, 1, std::nan(""), ""); }, 6},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CommandRig rig;
    rig.state().Mode = 1;
    try {
      row.call(*rig.radio);
      ADD_FAILURE() << "no error";
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.Number(), row.number);
    }
    EXPECT_EQ(rig.Sent(), row.sent);
  }
}

TEST(FilterCommands, Refusals) {
  testing::RunRefusals({
      {"cut tables not fitted", Entry(38, 0), [](auto& r) { return r.SetCutFilter(1, 2, 0, 0); }},
      {"filter 2 with one filter", In(1), Filter(2, 1)},
      {"filters not fitted", Entry(12, 0), Filter(0, 0)},
      {"mode not current", In(1), Filter(0, 0)},
      {"mode without filters", In(8), Filter(0, 8)},
      {"shift 129", In(1), Shift(129)},
      {"between shift and width", In(1), Shift(999)},
      {"width 1256", In(1), Shift(1256)},
      {"width in AM", In(3), Shift(1100)},
      {"width not fitted", Both(In(1), Entry(48, 0)), Shift(1100)},
      {"shift not fitted", Entry(43, 0), Shift(10)},
      {"contour gate below 3", Entry(50, 2), Contour(0, 1)},
      {"APF gate below 3", Entry(50, 0), APF(1, 10)},
  });
}
// clang-format on

}  // namespace
}  // namespace veltro
