// Memory channels: storing the VFO in use into a channel with one fixed-width "MW" text,
// recalling a channel, and the bounds the host offers. Both operations end with "IF", whose
// answer brings channel, memory flag, frequency and mode back into the cache.
#include <string>

#include "commands/encoding.h"
#include "host/convert.h"
#include "host/mode_chars.h"
#include "host/protocol_impl.h"

namespace veltro::detail {

namespace {

constexpr std::size_t kGateChannel = 7;
constexpr std::size_t kGateStore = 34;
constexpr std::int16_t kFM = 4;

// Tone mode digit: the same digits as after "CT" (0 off, 1 encode and decode, 2 encode, 3 DCS).
// Only FM carries a tone; an Enc or Dec value other than 0 and 1 stores no tone.
char ToneModeChar(const MemoryContent& c) {
  if (c.mode != kFM || c.enc != 1) return '0';
  if (c.ctcss < 0) return '3';
  if (c.dec == 0) return '2';
  if (c.dec == 1) return '1';
  return '0';
}

// Repeater shift digit: 1 plus, 2 minus, 0 simplex (and any other RPT value).
char ShiftChar(const MemoryContent& c) {
  if (c.mode != kFM && c.mode != 8) return '0';
  if (c.rpt == -1) return '2';
  if (c.rpt == 1) return '1';
  return '0';
}

}  // namespace

// channel(3) frequency(9) clarifier "+0000" rx "0" tx "0" mode "0" tone "00" shift
std::string MemoryWriteText(std::int16_t channel, MemoryContent& c) {
  std::string text = "MW";
  text += PadLeft(DecimalText(channel), 3).substr(0, 3);
  text += FreqDigits(c.freq).substr(0, 9);
  text += "+0000";
  text += "00";
  const ModeEncoding* e = FindModeEncoding(c.mode);
  if (e) {
    // Only the modes with another sideband store it; PSK keeps its memory character.
    text += c.reverse == 1 && e->reversed != e->normal ? e->reversed : e->memory;
  } else {
    text += ' ';
  }
  if (c.mode == 7) c.mode = kFM;
  text += '0';
  text += ToneModeChar(c);
  text += "00";
  text += ShiftChar(c);
  return text;
}

void ProtocolImpl::WriteMemoryChannel(std::int16_t channel) {
  RadioState& s = state;
  MemoryContent c{s.Freq, s.Mode, s.Reverse, s.Enc, s.Dec, s.CTCSS, s.RPT};
  std::string text = MemoryWriteText(channel, c);
  s.Mode = c.mode;
  clock().SleepMs(200);
  Send(text);
  clock().SleepMs(200);
  Send("IF");
}

}  // namespace veltro::detail

namespace veltro {

VBool FTDX10_Protocol::SetVFOM(std::int16_t Channel, const std::string& /*INFO*/) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[detail::kGateStore] == 0 || s.MemMode == 1) return kFalse;
  // The store goes out even while sending is suspended; the suspension is put back afterwards.
  auto& suspended = p.module().SendSuspended;
  struct Resume {
    VBool& flag;
    VBool was;
    ~Resume() { flag = was; }
  } resume{suspended, suspended};
  suspended = kFalse;
  p.WriteMemoryChannel(Channel);
  s.MemMode = 1;
  s.Channel = Channel;
  return kTrue;
}

VBool FTDX10_Protocol::SetChannel(std::int16_t Channel) {
  auto& p = *impl_;
  auto& s = p.state;
  if (s.Property[detail::kGateChannel] == 0 || s.VFO == 1) return kFalse;
  if (Channel < s.ChannelMin || Channel > s.ChannelMax) return kFalse;
  p.Send("MC" + detail::PadLeft(detail::DecimalText(Channel), 3));
  p.Send("IF");
  s.Channel = Channel;
  s.MemMode = 1;
  return kTrue;
}

// Erasing a channel is not supported: always refused, nothing sent.
VBool FTDX10_Protocol::MClear(std::int16_t /*Channel*/) { return kFalse; }

}  // namespace veltro
