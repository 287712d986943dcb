// The receive path: the only place where the radio's answers enter the radio state. Bytes are
// appended to the caller's buffer, cut at ";", each answer goes to its decoder and then through
// one post-answer step that derives the dependent fields and raises Change.
#include <algorithm>
#include <cmath>

#include "host/convert.h"
#include "host/protocol_impl.h"
#include "parser/decoders.h"

namespace veltro::detail {

namespace {

// A buffer that grows past this without a ";" is garbage on the line: it is dropped whole.
constexpr std::size_t kBufferCap = 4096;

// Length of `text` without blanks at either end, without copying it.
std::size_t TrimmedLength(const std::string& text) { return Trim(text).size(); }

}  // namespace

void ProtocolImpl::OnComm() { self.ReadBuffer(module().ComBuffer, kTrue); }

void ProtocolImpl::SendRead(std::string_view text) {
  auto& sent = module().ReadsSent;
  if (std::find(sent.begin(), sent.end(), text) != sent.end()) return;
  sent.emplace_back(text);
  Send(text);
}

void ProtocolImpl::ApplyFilterDefaults(std::int16_t mode) {
  bool narrow = state.Property[57] == 1;
  if (mode == 3) {
    state.BW = narrow ? 6000 : 9000;
    state.IFS = 0;
  } else if (mode == 4) {
    state.BW = narrow ? 9000 : 16000;
    state.IFS = 0;
  }
}

void ProtocolImpl::PostAnswer(bool level) {
  Module& m = module();
  RadioState& s = state;
  Step([&] {
    m.FreqChanged = kFalse;
    s.Split = 0;
    if (s.VFO != s.TXVFO) {
      s.Split = 1;
      RaiseChange(1);
    }
  });
  Step([&] {
    if (m.LastVFO != s.VFO) {
      m.VFOPollStep = 0;
      lib.Panel().tmrPollVFO->Enabled(true);
      m.LastVFO = s.VFO;
    }
  });
  Step([&] {
    if (s.MemMode == 0) {
      if (s.VFO == 0) {
        s.Freq = s.VFOA_Freq;
        s.Mode = s.VFOA_Mode;
      } else if (s.VFO == 1) {
        s.Freq = s.VFOB_Freq;
        s.Mode = s.VFOB_Mode;
      }
    }
  });
  Step([&] {
    if (s.Freq != m.LastFreq) m.FreqChanged = kTrue;
  });
  Step([&] {
    s.TX_Freq = s.Freq;
    if (s.Split == 1 && s.MemMode == 0) {
      if (s.VFO == 0) s.TX_Freq = s.VFOB_Freq;
      if (s.VFO == 1) s.TX_Freq = s.VFOA_Freq;
    }
  });
  Step([&] { ApplyFilterDefaults(s.Mode); });
  Step([&] {
    if (s.SMeter != m.LastSMeter) RaiseChange(3);
  });
  Step([&] {
    if (s.Mode != m.LastMode) {
      SendRead("SH0");
      SendRead("IS0");
      RaiseChange(1);
    }
  });
  Step([&] {
    LastReportedValues now;
    now.PreAmp = s.PreAmp;
    now.Att = s.Att;
    now.AGC = s.AGC;
    // A value the automation conversion refuses counts as 0, so one odd value cannot stop the
    // other nine from being compared.
    try {
      now.AutoNF = s.AutoNF.ToInt16();
    } catch (...) {
      now.AutoNF = 0;
    }
    now.Antenna = s.Antenna;
    now.BKIn = s.BKIn;
    now.Vox = s.Vox;
    now.Comp = s.Comp;
    now.RFT = s.RFT;
    if (now != m.LastReported) level = true;
    m.LastReported = now;
  });
  Step([&] {
    if (level) {
      s.StatusChange = kTrue;
      RaiseChange(4);
    }
  });
  m.LastFreq = s.Freq;
  m.LastMode = s.Mode;
  m.LastSMeter = s.SMeter;
  s.QueryPending = kFalse;
}

}  // namespace veltro::detail

namespace veltro {

void FTDX10_Protocol::ReadBuffer(std::string& Buffer, VBool Read) {
  auto& p = *impl_;
  detail::Module& m = p.module();
  if (m.ParserBusy) return;
  m.ParserBusy = true;
  struct Release {
    bool& flag;
    ~Release() { flag = false; }
  } release{m.ParserBusy};
  m.ReadsSent.clear();

  // A Change handler may hand this very buffer to a nested call that returns at once, or may
  // rewrite the module buffer through another path; parsing therefore works on a local copy of
  // the complete answers and writes the tail back only at the end.
  try {
    if (Read) {
      auto& com = p.lib.ComDLL();
      if (com.InBufferCount() > 0) {
        std::string in = com.Input();
        if (!in.empty()) m.UnansweredSince = -1.0f;
        Buffer += in;
      }
      if (detail::TrimmedLength(Buffer) > detail::kBufferCap) {
        Buffer.clear();
        return;
      }
    }
  } catch (...) {
    return;  // a failing control reads as "nothing waiting"
  }
  if (p.state.RawCommandHold) return;

  std::size_t end = Buffer.rfind(';');
  if (end == std::string::npos) return;
  std::string work = Buffer.substr(0, end + 1);
  Buffer.erase(0, end + 1);

  std::size_t pos = 0;
  while (pos < work.size()) {
    std::size_t semi = work.find(';', pos);
    std::string_view answer(work.data() + pos, semi - pos);
    pos = semi + 1;
    bool level = false;
    if (answer.size() > 2) {
      if (detail::Decoder d = detail::FindDecoder(answer.substr(0, 2))) {
        detail::Step([&] { d(p, answer, level); });
      }
    }
    p.PostAnswer(level);
  }
}

void FTDX10_Protocol::SetCommand(std::int16_t& Format, std::string Sequence) {
  auto& p = *impl_;
  if (Format != 0) return;
  p.state.RawCommandHold = kTrue;
  p.state.CATAnswer.clear();
  // A busy wait on the clock, delivering nothing, until 0.25 s after the write; with nothing
  // written there is nothing to wait for.
  if (p.Send(Sequence)) {
    float sent = p.module().LastSendTime;
    while (std::fabs(p.Now() - sent) < 0.25f) p.clock().SleepMs(1);
  }
  ReadBuffer(p.state.CATAnswer, kFalse);
  p.state.RawCommandHold = kFalse;
}

}  // namespace veltro
