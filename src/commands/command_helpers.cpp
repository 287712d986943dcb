#include "commands/command_helpers.h"

#include "host/convert.h"

namespace veltro::detail {

std::optional<std::string> SetSelector(ProtocolImpl& p, const Selector& sel, std::int16_t value,
                                       std::int16_t* field) {
  std::int16_t entry = p.state.Property[sel.entry];
  if (entry == 0 || value < 0) return std::nullopt;
  if (sel.range == SelectorRange::kUpToEntry && value > entry) return std::nullopt;
  if (sel.range == SelectorRange::kSwitch && value > 1) return std::nullopt;
  std::string text = std::string(sel.prefix) + DecimalText(value + sel.wire_offset);
  p.Send(text);
  if (field) *field = value;
  return text;
}

bool SendSwitchLevel(ProtocolImpl& p, const SwitchLevel& cmd, SwitchLevelFields f,
                     std::int16_t level, std::int16_t wire_level) {
  bool switched_on = false;
  if (level != 0) {
    if (f.combined == 0 || f.combined >= 1000) {
      p.Send(cmd.on_command);
      switched_on = true;
    }
    p.Send(std::string(cmd.level_prefix) + PadLeft(DecimalText(wire_level), cmd.level_width));
    f.on = 1;
    f.level = level;
  } else {
    p.Send(cmd.off_command);
    f.on = 0;
  }
  f.combined = SwitchLevelValue(f.on, f.level);
  return switched_on;
}

}  // namespace veltro::detail
