// The bytes on the line as the tool keeps them: a window of the latest entries, bounded in
// bytes, so a session that runs for days holds no more than one that runs for seconds. Positions
// count every entry ever added, so a mark taken before a command stays valid while the window
// moves on (a mark that has fallen out of the window reads from the oldest entry kept).
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace veltro::cli {

enum class Direction { kOut, kIn };  // to the radio, from the radio

struct TraceEntry {
  double time;  // seconds since the tool started
  Direction direction;
  std::string bytes;
};

class TraceWindow {
 public:
  explicit TraceWindow(std::size_t max_bytes = 64 * 1024) : max_bytes_(max_bytes) {}

  void Add(TraceEntry e) {
    bytes_ += e.bytes.size();
    entries_.push_back(std::move(e));
    while (bytes_ > max_bytes_ && entries_.size() > 1) {
      bytes_ -= entries_.front().bytes.size();
      entries_.pop_front();
      ++base_;
    }
  }
  // The position after the latest entry: a mark for "what came since".
  std::size_t End() const { return base_ + entries_.size(); }
  std::size_t Bytes() const { return bytes_; }

  // The texts that went in `direction` since position `from`, cut after each ";" (a last text
  // without one is kept as it is).
  std::vector<std::string> Texts(std::size_t from, Direction direction) const {
    std::string stream;
    for (std::size_t i = from > base_ ? from - base_ : 0; i < entries_.size(); ++i) {
      if (entries_[i].direction == direction) stream += entries_[i].bytes;
    }
    std::vector<std::string> out;
    for (std::size_t at = 0; at < stream.size();) {
      std::size_t end = stream.find(';', at);
      if (end == std::string::npos) end = stream.size() - 1;
      out.push_back(stream.substr(at, end - at + 1));
      at = end + 1;
    }
    return out;
  }

 private:
  std::deque<TraceEntry> entries_;
  std::size_t base_ = 0;  // position of entries_.front()
  std::size_t bytes_ = 0;
  std::size_t max_bytes_;
};

}  // namespace veltro::cli
