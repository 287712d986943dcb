// Width steps, filter application with its IF-shift arithmetic, direct shift and width, contour
// and APF, in both profiles.
#include "commands/filter_width.h"
#include "level_command_cases.h"

namespace veltro {
namespace {

using testing::CommandCase;
using testing::CommandRig;
using testing::RefusalCase;

TEST(FilterCommands, WidthSteps) {
  struct Row {
    std::int32_t hz;
    std::int16_t mode;
    bool ft891;
    const char* text;
    bool narrow;
  };
  const Row rows[] = {
      {299, 1, false, "SH0001", false},  {300, 1, false, "SH0002", false},
      {2400, 1, false, "SH0013", false}, {2401, 0, false, "SH0014", false},
      {3500, 1, false, "SH0022", false}, {3501, 1, false, "SH0023", false},
      {-50, 1, false, "SH0001", false},  {49, 2, false, "SH0001", false},
      {50, 5, false, "SH0002", false},   {500, 6, false, "SH0010", false},
      {2400, 2, false, "SH0017", false}, {2401, 2, false, "SH0018", false},
      {2400, 3, false, "SH0000", false}, {2400, 7, false, "SH0000", false},
      {199, 1, true, "SH0101", true},    {1800, 1, true, "SH0109", true},
      {1801, 1, true, "SH0110", false},  {2200, 1, true, "SH0112", false},
      {2220, 1, true, "SH0100", false},  {2250, 1, true, "SH0113", false},
      {2350, 0, true, "SH0100", false},  {2400, 1, true, "SH0114", false},
      {2420, 1, true, "SH0100", false},  {2450, 1, true, "SH0115", false},
      {3000, 1, true, "SH0120", false},  {3001, 1, true, "SH0121", false},
      {500, 2, true, "SH0110", true},    {501, 2, true, "SH0111", false},
      {2401, 5, true, "SH0117", false},  {300, 4, true, "SH0100", false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.hz) + " Hz mode " + std::to_string(r.mode));
    auto w = detail::WidthCommand(r.hz, r.mode, r.ft891);
    EXPECT_EQ(w.text, r.text);
    EXPECT_EQ(w.narrow, r.narrow);
  }
}

// Cut-offs for filter 0 in `mode`, the mode current, and the given profile.
auto Passband(std::int16_t low, std::int16_t high, std::int16_t mode, int profile = 10) {
  return [=](CommandRig& r) {
    if (profile == 10) r.UseFtdx10();
    if (profile == 891) r.UseFt891();
    r.state().Mode = mode;
    r.radio->SetCutFilter(low, high, 0, mode);
  };
}

auto Filter0(std::int16_t mode) {
  return [mode](FTDX10_Protocol& r) { return r.SetFilter(0, mode, 0); };
}

TEST(FilterCommands, SetFilter) {
  testing::RunCases({
      {"USB 300-2700",
       Passband(300, 2700, 1),
       Filter0(1),
       -1,
       {"RF02", "SH0000", "SH0013", "IS00+0000"},
       [](CommandRig& r) {
         EXPECT_EQ(r.state().WidthCode, 144);
         EXPECT_EQ(r.radio->Property(49), 144);
         EXPECT_EQ(r.radio->RFT(0), 2);
         EXPECT_EQ(r.radio->IFShift(), 0);
         EXPECT_EQ(r.radio->StatusChange(), kTrue);
       }},
      {"USB 300-3000",
       Passband(300, 3000, 1),
       Filter0(1),
       -1,
       {"RF02", "SH0000", "SH0017", "IS00+0150"},
       testing::Reads({{"IFShift", -16}})},
      {"before any identity the shift has no prefix",
       Passband(300, 3000, 1, 0),
       Filter0(1),
       -1,
       {"RF02", "SH0000", "SH0017", "IS0+0150"}},
      {"LSB with no cut-offs",
       Passband(0, 0, 0),
       Filter0(0),
       -1,
       {"RF02", "SH0000", "SH0001", "IS00-1000"},
       testing::Reads({{"IFShift", 107}})},
      {"centre above the range",
       Passband(3000, 4000, 1),
       Filter0(1),
       -1,
       {"RF02", "SH0000", "SH0005", "IS00+1000"},
       testing::Reads({{"IFShift", -107}})},
      {"centre 1499.5 rounds to even 1500",
       Passband(299, 2700, 1),
       Filter0(1),
       -1,
       {"RF02", "SH0000", "SH0014", "IS00+0000"}},
      {"CW has no shift",
       Passband(300, 800, 2),
       Filter0(2),
       -1,
       {"RF04", "SH0000", "SH0010", "IS00+0000"},
       testing::Reads({{"RFT(0)", 4}})},
      {"FM wide",
       [](CommandRig& r) {
         r.UseFtdx10();
         r.state().Mode = 4;
       },
       Filter0(4),
       -1,
       {"NA00", "RF01"},
       testing::Reads({{"Property(57)", 0}, {"BW", 16000}, {"IFS", 0}, {"RFT(0)", 1}})},
      {"FM narrow",
       [](CommandRig& r) {
         r.state().Mode = 4;
         r.state().Property[12] = 2;
       },
       [](auto& r) { return r.SetFilter(1, 4, 0); },
       -1,
       {"NA01", "RF01"},
       testing::Reads({{"BW", 9000}, {"Filter", 1}})},
      {"FT-891 AM has no roofing filter",
       [](CommandRig& r) {
         r.UseFt891();
         r.state().Mode = 3;
       },
       Filter0(3),
       -1,
       {"NA00"},
       testing::Reads({{"BW", 9000}})},
      {"FT-891 USB wide",
       Passband(300, 2700, 1, 891),
       Filter0(1),
       -1,
       {"NA00", "SH0000", "SH0114", "IS01+0000"},
       [](CommandRig& r) {
         EXPECT_EQ(r.state().WidthCode, 170);
         EXPECT_EQ(r.radio->Property(57), 0);
       }},
      {"FT-891 USB narrow",
       Passband(1000, 2000, 1, 891),
       Filter0(1),
       -1,
       {"NA01", "SH0000", "SH0105", "IS01+0000"},
       testing::Reads({{"Property(57)", 1}})},
      {"FT-891 width in a gap",
       Passband(100, 2320, 1, 891),
       Filter0(1),
       -1,
       {"NA00", "SH0000", "SH0100", "IS01-0290"}},
  });
}

TEST(FilterCommands, SetIFShift) {
  auto mode = [](std::int16_t m, bool ft891 = false, std::int16_t narrow = 0) {
    return [=](CommandRig& r) {
      ft891 ? r.UseFt891() : r.UseFtdx10();
      r.state().Mode = m;
      r.state().Property[57] = narrow;
    };
  };
  auto shift = [](std::int16_t v) { return [v](auto& r) { return r.SetIFShift(v); }; };
  testing::RunCases({
      {"up 64", mode(1), shift(64), -1, {"IS00-0600"}, testing::Reads({{"IFShift", 64}})},
      {"top", mode(1), shift(128), -1, {"IS00-1200"}},
      {"down 1 rounds to 0",
       mode(1),
       shift(-1),
       -1,
       {"IS00+0000"},
       testing::Reads({{"IFShift", -1}})},
      {"down 3 to the 20 Hz step", mode(1), shift(-3), -1, {"IS00+0020"}},
      {"FT-891 prefix", mode(1, true), shift(10), -1, {"IS01-0080"}},
      {"widest voice",
       mode(1),
       shift(1255),
       -1,
       {"SH0023"},
       [](CommandRig& r) {
         EXPECT_EQ(r.state().WidthCode, 255);
         EXPECT_EQ(r.radio->Property(49), 255);
         EXPECT_EQ(r.radio->IFShift(), 0);
       }},
      {"widest CW",
       mode(2),
       shift(1255),
       -1,
       {"SH0018"},
       [](CommandRig& r) { EXPECT_EQ(r.state().WidthCode, 199); }},
      {"middle", mode(0), shift(1128), -1, {"SH0011"}},
      {"FT-891 wide starts at 9", mode(1, true), shift(1000), -1, {"SH0109"}},
      {"FT-891 narrow stops at 9", mode(1, true, 1), shift(1255), -1, {"SH0109"}},
      {"FT-891 narrow CW", mode(2, true, 1), shift(1255), -1, {"SH0110"}},
      {"FT-891 wide CW top", mode(6, true), shift(1255), -1, {"SH0117"}},
  });
}

TEST(FilterCommands, ContourAndAPF) {
  auto contour = [](std::int16_t p, std::int16_t v) {
    return [=](auto& r) { return r.SetContour(p, v); };
  };
  auto apf = [](std::int16_t p, std::int16_t v) { return [=](auto& r) { return r.SetAPF(p, v); }; };
  auto sign = [](std::int16_t s) { return [s](CommandRig& r) { r.state().ContourSign = s; }; };
  testing::RunCases({
      {"on",
       nullptr,
       contour(0, 1),
       -1,
       {"CO000001", "CO00"},
       testing::Reads({{"ContourState", 1}})},
      {"frequency top",
       sign(1),
       contour(1, 255),
       -1,
       {"CO013200", "CO01"},
       testing::Reads({{"FContour", 3200}, {"Property(51)", 255}})},
      {"frequency bottom",
       sign(-1),
       contour(1, 0),
       -1,
       {"CO010010", "CO01"},
       testing::Reads({{"FContour", -10}})},
      {"frequency middle", sign(1), contour(1, 128), -1, {"CO011616", "CO01"}},
      {"level positive",
       nullptr,
       contour(2, 5),
       -1,
       {"EX030202+05"},
       [](CommandRig& r) { EXPECT_EQ(r.state().ContourSign, 1); }},
      {"level negative flips the frequency",
       [](CommandRig& r) {
         r.state().ContourSign = 1;
         r.state().FContour = 800;
       },
       contour(2, -10),
       -1,
       {"EX030202-10"},
       [](CommandRig& r) {
         EXPECT_EQ(r.state().ContourSign, -1);
         EXPECT_EQ(r.radio->FContour(), -800);
       }},
      {"width", nullptr, contour(3, 7), -1, {"EX03020307"}},
      {"FT-891 level", [](CommandRig& r) { r.UseFt891(); }, contour(2, -3), -1, {"EX1202-03"}},
      {"FT-891 width", [](CommandRig& r) { r.UseFt891(); }, contour(3, 11), -1, {"EX120311"}},
      {"unknown contour parameter",
       nullptr,
       contour(4, 1),
       -1,
       {},
       testing::Reads({{"StatusChange", -1}})},
      {"APF on recentres",
       nullptr,
       apf(0, 1),
       -1,
       {"CO020001", "CO00", "CO030025"},
       testing::Reads({{"APFState", 1}})},
      {"APF centre",
       nullptr,
       apf(1, 128),
       -1,
       {"CO030025", "CO03"},
       [](CommandRig& r) { EXPECT_EQ(r.state().APFOffset, 0); }},
      {"APF top",
       nullptr,
       apf(1, 255),
       -1,
       {"CO030050", "CO03"},
       [](CommandRig& r) { EXPECT_EQ(r.state().APFOffset, 250); }},
      {"APF bottom",
       nullptr,
       apf(1, 0),
       -1,
       {"CO030000", "CO03"},
       [](CommandRig& r) {
         EXPECT_EQ(r.state().APFOffset, -250);
         EXPECT_EQ(r.state().APFLevel, 0);
       }},
      {"unknown APF parameter", nullptr, apf(2, 1), -1, {}},
  });
}

TEST(FilterCommands, ErrorsReachTheHostBeforeAnythingIsSent) {
  struct Row {
    const char* name;
    std::function<void(FTDX10_Protocol&)> call;
    int number;
  };
  const Row rows[] = {
      {"cut filter 3", [](auto& r) { r.SetCutFilter(1, 2, 3, 0); }, 9},
      {"cut filter -1", [](auto& r) { r.SetCutFilter(1, 2, -1, 0); }, 9},
      {"cut mode 11", [](auto& r) { r.SetCutFilter(1, 2, 0, 11); }, 9},
      {"filter -1", [](auto& r) { r.SetFilter(-1, 1, 0); }, 9},
      {"filter 3 where fitted",
       [](auto& r) {
         r.impl().state.Property[12] = 3;
         r.SetFilter(3, 1, 0);
       },
       9},
      {"width beyond 16 bits",
       [](auto& r) {
         r.SetCutFilter(-30000, 30000, 0, 1);
         r.SetFilter(0, 1, 0);
       },
       6},
      {"pass-band sum beyond 16 bits",
       [](auto& r) {
         r.SetCutFilter(20000, 20000, 0, 1);
         r.SetFilter(0, 1, 0);
       },
       6},
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
    EXPECT_EQ(rig.Sent(), std::vector<std::string>{});
  }
}

TEST(FilterCommands, Refusals) {
  auto in_mode = [](std::int16_t m) { return [m](CommandRig& r) { r.state().Mode = m; }; };
  auto shift = [](std::int16_t v) { return [v](auto& r) { return r.SetIFShift(v); }; };
  testing::RunRefusals({
      {"cut tables not fitted", [](CommandRig& r) { r.state().Property[38] = 0; },
       [](auto& r) { return r.SetCutFilter(1, 2, 0, 0); }},
      {"filter 2 with one filter", in_mode(1), [](auto& r) { return r.SetFilter(2, 1, 0); }},
      {"filters not fitted", [](CommandRig& r) { r.state().Property[12] = 0; },
       [](auto& r) { return r.SetFilter(0, 0, 0); }},
      {"mode not current", in_mode(1), [](auto& r) { return r.SetFilter(0, 0, 0); }},
      {"mode without filters", in_mode(8), [](auto& r) { return r.SetFilter(0, 8, 0); }},
      {"shift 129", in_mode(1), shift(129)},
      {"between shift and width", in_mode(1), shift(999)},
      {"width 1256", in_mode(1), shift(1256)},
      {"width in AM", in_mode(3), shift(1100)},
      {"width not fitted",
       [](CommandRig& r) {
         r.state().Mode = 1;
         r.state().Property[48] = 0;
       },
       shift(1100)},
      {"shift not fitted", [](CommandRig& r) { r.state().Property[43] = 0; }, shift(10)},
      {"contour gate below 3", [](CommandRig& r) { r.state().Property[50] = 2; },
       [](auto& r) { return r.SetContour(0, 1); }},
      {"contour switch 2", nullptr, [](auto& r) { return r.SetContour(0, 2); }},
      {"contour frequency 256", nullptr, [](auto& r) { return r.SetContour(1, 256); }},
      {"contour frequency negative", nullptr, [](auto& r) { return r.SetContour(1, -1); }},
      {"contour level 100", nullptr, [](auto& r) { return r.SetContour(2, 100); }},
      {"contour parameter negative", nullptr, [](auto& r) { return r.SetContour(-1, 0); }},
      {"APF gate below 3", [](CommandRig& r) { r.state().Property[50] = 0; },
       [](auto& r) { return r.SetAPF(1, 10); }},
      {"APF offset 256", nullptr, [](auto& r) { return r.SetAPF(1, 256); }},
      {"APF parameter negative", nullptr, [](auto& r) { return r.SetAPF(-1, 1); }},
  });
}

}  // namespace
}  // namespace veltro
