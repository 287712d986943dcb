// The tool's record of the line stays within its bound however long it runs, and a mark still
// finds what came after it.
#include <gtest/gtest.h>

#include "../../cli/trace_window.h"

namespace veltro::cli {
namespace {

TEST(TraceWindow, AnHourAtLineRateStaysWithinItsBound) {
  constexpr std::size_t kBound = 64 * 1024;
  TraceWindow w(kBound);
  // 38400 baud is 3840 bytes a second: an hour of polls and answers, fed without waiting.
  std::size_t fed = 0, most = 0;
  for (int i = 0; fed < 3840u * 3600; ++i) {
    w.Add({i * 0.01, Direction::kOut, "SM0;"});
    w.Add({i * 0.01, Direction::kIn, "SM0" + std::to_string(100 + i % 155) + ";"});
    fed += 11;
    most = std::max(most, w.Bytes());
  }
  EXPECT_LE(most, kBound);
  EXPECT_GT(w.Bytes(), kBound / 2);

  std::size_t mark = w.End();
  w.Add({0, Direction::kOut, "FA014"});
  w.Add({0, Direction::kIn, "?;"});
  w.Add({0, Direction::kOut, "250000;MD0"});
  EXPECT_EQ(w.Texts(mark, Direction::kOut), (std::vector<std::string>{"FA014250000;", "MD0"}));
  EXPECT_EQ(w.Texts(mark, Direction::kIn), std::vector<std::string>{"?;"});
  // A mark the window has moved past reads from the oldest entry kept.
  std::vector<std::string> oldest = w.Texts(0, Direction::kIn);
  EXPECT_GT(oldest.size(), 1000u);
  EXPECT_EQ(oldest.back(), "?;");
}

}  // namespace
}  // namespace veltro::cli
