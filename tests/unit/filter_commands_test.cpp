// Width steps both ways, filter application with its IF-shift arithmetic, direct shift and
// width, contour and APF, in both profiles.
#include <cmath>

#include "host/filter_width.h"
#include "level_command_cases.h"

namespace veltro {
namespace {

using detail::FilterWidthHz;
using detail::WidthCommand;
using testing::Both;
using testing::CommandRig;
using testing::Entry;
using testing::In;
using testing::Reads;
using testing::Step;

TEST(FilterWidth, WidthOfStep) {
  const struct {
    bool ft891;
    std::int32_t step;
    std::int16_t mode, narrow, roofing;
    std::int32_t hz;
  } rows[] = {
      // clang-format off
      // FTDX10: the list's ends, the step beyond it, step 0 by roofing filter.
      {false, 1, 1, 0, 0, 300}, {false, 14, 1, 0, 0, 2450}, {false, 23, 1, 0, 0, 4000},
      {false, 99, 1, 0, 0, 4000}, {false, 1, 2, 0, 0, 50}, {false, 18, 2, 0, 0, 3000},
      {false, 0, 1, 0, 1, 12000}, {false, 0, 2, 0, 4, 500}, {false, 0, 1, 0, 5, 300},
      {false, 0, 1, 1, 2, 3000}, {false, -1, 1, 0, 0, 0}, {false, 5, -1, 0, 0, 0},
      // FT-891: step 0 by mode and narrow setting (only 1 counts as narrow here).
      {true, 0, 0, 1, 0, 1500}, {true, 0, 1, 2, 0, 2400}, {true, 0, 2, 1, 0, 500},
      {true, 0, 5, 0, 0, 500}, {true, 0, 6, 1, 0, 300}, {true, 1, 1, 0, 0, 200},
      {true, 21, 1, 0, 0, 3200}, {true, 17, 2, 0, 0, 3000},
      // AM and FM by any non-zero narrow setting, in both profiles.
      {false, 5, 3, 0, 0, 9000}, {true, 5, 3, 2, 0, 6000}, {false, -1, 4, 0, 0, 16000},
      {true, 0, 4, 1, 0, 9000}, {false, 0, 7, 0, 0, 16000},
      // clang-format on
  };
  for (const auto& r : rows) {
    EXPECT_EQ(FilterWidthHz(r.ft891, r.step, r.mode, r.narrow, r.roofing), r.hz)
        << r.step << " mode " << r.mode << (r.ft891 ? " FT-891" : "");
  }
}

// Both directions read one table: every step's own width selects that step again, except step 1,
// which only takes the widths below its own.
TEST(FilterWidth, StepOfWidthReadsTheSameTable) {
  for (bool ft891 : {false, true}) {
    for (std::int16_t mode : {1, 2}) {
      SCOPED_TRACE(std::to_string(mode) + (ft891 ? " FT-891" : ""));
      std::int16_t lowest = 0, highest = 0;
      ASSERT_TRUE(detail::WidthStepLimits(ft891, mode, false, lowest, highest));
      std::int32_t first = FilterWidthHz(ft891, 1, mode, 0, 0);
      EXPECT_EQ(WidthCommand(first - 1, mode, ft891).step, 1);
      EXPECT_EQ(WidthCommand(first, mode, ft891).step, 2);
      for (std::int16_t step = 2; step <= highest; ++step) {
        std::int32_t hz = FilterWidthHz(ft891, step, mode, 0, 0);
        EXPECT_EQ(WidthCommand(hz, mode, ft891).step, step) << hz << " Hz";
      }
    }
  }
  // The texts, the FT-891's narrow range and the widths in its gaps, which have no step.
  const struct {
    std::int32_t hz;
    std::int16_t mode;
    bool ft891;
    const char* text;
    bool narrow;
  } rows[] = {
      // clang-format off
      {3501, 1, false, "SH0023", false}, {-50, 1, false, "SH0001", false}, {2451, 0, false, "SH0015", false},
      {2400, 3, false, "SH0000", false}, {1800, 1, true, "SH0109", true}, {1801, 1, true, "SH0110", false},
      {2220, 1, true, "SH0100", false}, {2420, 1, true, "SH0100", false}, {3001, 1, true, "SH0121", false},
      {500, 2, true, "SH0110", true}, {501, 2, true, "SH0111", false}, {300, 4, true, "SH0100", false},
      // clang-format on
  };
  for (const auto& r : rows) {
    auto w = WidthCommand(r.hz, r.mode, r.ft891);
    EXPECT_EQ(w.text, r.text) << r.hz;
    EXPECT_EQ(w.narrow, r.narrow) << r.hz;
  }
}

// Cut-offs for filter 0 in `mode`, in that mode and profile.
Step Passband(std::int16_t low, std::int16_t high, std::int16_t mode, int profile = 10) {
  return [=](CommandRig& r) {
    In(mode, profile)(r);
    r.radio->SetCutFilter(low, high, 0, mode);
  };
}
Step Sign(std::int16_t s) {
  return [s](CommandRig& r) { r.state().ContourSign = s; };
}
auto Filter(std::int16_t f, std::int16_t mode) {
  return [=](FTDX10_Protocol& r) { return r.SetFilter(f, mode, 0); };
}

// clang-format off
TEST(FilterCommands, SetFilter) {
  testing::RunCases({
      {"USB 300-3000", Passband(300, 3000, 1), Filter(0, 1), -1, {"RF02", "SH0000", "SH0017", "IS00+0150"},
       Reads("Property(49)=188 RFT(0)=2 IFShift=-16 StatusChange=-1")},
      {"no prefix before any identity", Passband(300, 3000, 1, 0), Filter(0, 1), -1, {"RF02", "SH0000", "SH0017", "IS0+0150"}},
      {"LSB with no cut-offs", Passband(0, 0, 0), Filter(0, 0), -1, {"RF02", "SH0000", "SH0001", "IS00-1000"}, Reads("IFShift=107")},
      {"centre above the range", Passband(3000, 4000, 1), Filter(0, 1), -1, {"RF02", "SH0000", "SH0005", "IS00+1000"}, Reads("IFShift=-107")},
      {"centre 1499.5 rounds to even 1500", Passband(299, 2700, 1), Filter(0, 1), -1, {"RF02", "SH0000", "SH0014", "IS00+0000"}},
      {"CW has no shift", Passband(300, 800, 2), Filter(0, 2), -1, {"RF04", "SH0000", "SH0010", "IS00+0000"}, Reads("RFT(0)=4")},
      {"FM wide", In(4), Filter(0, 4), -1, {"NA00", "RF01"}, Reads("Property(57)=0 BW=16000 IFS=0 RFT(0)=1")},
      {"FM narrow", Both(In(4), Entry(12, 2)), Filter(1, 4), -1, {"NA01", "RF01"}, Reads("BW=9000 Filter=1")},
      {"FT-891 AM has no roofing filter", In(3, 891), Filter(0, 3), -1, {"NA00"}, Reads("BW=9000")},
      {"FT-891 USB wide", Passband(300, 2700, 1, 891), Filter(0, 1), -1, {"NA00", "SH0000", "SH0114", "IS01+0000"},
       Reads("Property(49)=170 Property(57)=0")},
      {"FT-891 USB narrow", Passband(1000, 2000, 1, 891), Filter(0, 1), -1, {"NA01", "SH0000", "SH0105", "IS01+0000"}, Reads("Property(57)=1")},
      {"FT-891 width in a gap", Passband(100, 2320, 1, 891), Filter(0, 1), -1, {"NA00", "SH0000", "SH0100", "IS01-0290"}},
  });
}

TEST(FilterCommands, ShiftWidthContourAndAPF) {
  auto flip = [](CommandRig& r) { r.state().ContourSign = 1, r.state().FContour = 800; };
  testing::RunCases({
      {"shift down 1 rounds to 0", In(1), VELTRO_CALL(SetIFShift(-1)), -1, {"IS00+0000"}, Reads("IFShift=-1")},
      {"shift down 3 to the 20 Hz step", In(1), VELTRO_CALL(SetIFShift(-3)), -1, {"IS00+0020"}},
      {"shift up, the radio's sign turned round", In(1), VELTRO_CALL(SetIFShift(64)), -1, {"IS00-0600"}},
      {"FT-891 shift", In(1, 891), VELTRO_CALL(SetIFShift(10)), -1, {"IS01-0080"}},
      {"widest voice", In(1), VELTRO_CALL(SetIFShift(1255)), -1, {"SH0023"}, Reads("Property(49)=255 IFShift=0")},
      {"widest CW", In(2), VELTRO_CALL(SetIFShift(1255)), -1, {"SH0018"}, Reads("Property(49)=199")},
      {"middle", In(0), VELTRO_CALL(SetIFShift(1128)), -1, {"SH0011"}},
      {"FT-891 narrow stops at 9", In(1, 891, 0, 1), VELTRO_CALL(SetIFShift(1255)), -1, {"SH0109"}},
      {"FT-891 narrow CW", In(2, 891, 0, 1), VELTRO_CALL(SetIFShift(1255)), -1, {"SH0110"}},
      {"FT-891 wide CW top", In(6, 891), VELTRO_CALL(SetIFShift(1255)), -1, {"SH0117"}},
      {"contour frequency top", Sign(1), VELTRO_CALL(SetContour(1, 255)), -1, {"CO013200", "CO01"}, Reads("FContour=3200 Property(51)=255")},
      {"contour frequency bottom", Sign(-1), VELTRO_CALL(SetContour(1, 0)), -1, {"CO010010", "CO01"}, Reads("FContour=-10")},
      {"contour frequency before any sign is known is 0", nullptr, VELTRO_CALL(SetContour(1, 255)), -1, {"CO013200", "CO01"}, Reads("FContour=0")},
      {"contour frequency above the scale", Sign(1), VELTRO_CALL(SetContour(1, 256)), -1, {"CO013200", "CO01"}, Reads("Property(51)=256")},
      {"contour level positive", Sign(-1), VELTRO_CALL(SetContour(2, 5)), -1, {"EX030202+05"}, [](CommandRig& r) { EXPECT_EQ(r.state().ContourSign, 1); }},
      {"contour level negative flips the frequency", flip, VELTRO_CALL(SetContour(2, -10)), -1, {"EX030202-10"},
       [](CommandRig& r) { EXPECT_EQ(r.state().ContourSign, -1); EXPECT_EQ(r.radio->FContour(), -800); }},
      {"contour width", nullptr, VELTRO_CALL(SetContour(3, 7)), -1, {"EX03020307"}},
      {"FT-891 contour width", In(1, 891), VELTRO_CALL(SetContour(3, 11)), -1, {"EX120311"}},
      {"unknown contour parameter", nullptr, VELTRO_CALL(SetContour(4, 1)), -1, {}, Reads("StatusChange=-1")},
      {"APF on recentres", nullptr, VELTRO_CALL(SetAPF(0, 1)), -1, {"CO020001", "CO00", "CO030025"}, Reads("APFState=1")},
      {"APF bottom", nullptr, VELTRO_CALL(SetAPF(1, 0)), -1, {"CO030000", "CO03"}},
      {"APF above the scale", nullptr, VELTRO_CALL(SetAPF(1, 256)), -1, {"CO030050", "CO03"}},
  });
}

TEST(FilterCommands, ErrorsReachTheHost) {
  auto usb = In(1, 0);
  testing::RunCases({
      {"cut filter 3", usb, VELTRO_ERROR(SetCutFilter(1, 2, 3, 0)), 9, {}},
      {"cut mode 11", usb, VELTRO_ERROR(SetCutFilter(1, 2, 0, 11)), 9, {}},
      {"filter -1", usb, VELTRO_ERROR(SetFilter(-1, 1, 0)), 9, {}},
      {"filter 3 where fitted", Both(usb, Entry(12, 3)), VELTRO_ERROR(SetFilter(3, 1, 0)), 9, {}},
      {"width beyond 16 bits", Passband(-30000, 30000, 1, 0), VELTRO_ERROR(SetFilter(0, 1, 0)), 6, {}},
      {"pass-band sum beyond 16 bits, after the width", Passband(20000, 20000, 1, 0), VELTRO_ERROR(SetFilter(0, 1, 0)), 6, {"RF02", "SH0000", "SH0001"}},
      {"contour level menu value not a number", usb, VELTRO_ERROR(SetData(3, 1, std::nan(""), "")), 6, {}},
  });
}

TEST(FilterCommands, Refusals) {
  testing::RunCases({
      {"filter 2 with one filter", In(1), Filter(2, 1), 0, {}},
      {"mode not current", In(1), Filter(0, 0), 0, {}},
      {"mode without filters", In(8), Filter(0, 8), 0, {}},
      {"shift 129", In(1), VELTRO_CALL(SetIFShift(129)), 0, {}},
      {"between shift and width", In(1), VELTRO_CALL(SetIFShift(999)), 0, {}},
      {"width 1256", In(1), VELTRO_CALL(SetIFShift(1256)), 0, {}},
      {"width in AM", In(3), VELTRO_CALL(SetIFShift(1100)), 0, {}},
      {"contour gate below 3", Entry(50, 2), VELTRO_CALL(SetContour(0, 1)), 0, {}},
  });
}
// clang-format on

}  // namespace
}  // namespace veltro
