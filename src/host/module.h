// Everything the whole library shares, in one object: the shared protocol object and its
// connector count, the hidden control panel (five timers and the serial control), the sender's
// times, the pollers' counters, the parser's memories and the frequency ranges.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "veltro/ftdx10.h"

namespace veltro::detail {

// The hidden window of the original design: it owns the timers and the serial control, and its
// own connector keeps the shared protocol object alive once it exists.
struct ControlPanel {
  std::unique_ptr<platform::Timer> tmrStart;        // 5000 ms
  std::unique_ptr<platform::Timer> tmrPollVFO;      // 200 ms
  std::unique_ptr<platform::Timer> tmrLevels;       // 200 ms
  std::unique_ptr<platform::Timer> tmrStopPolling;  // 1000 ms
  std::unique_ptr<platform::Timer> tmrPolling;      // 175 ms, enabled from creation
  // Reopens a port that hung up, while AutoReconnect is on. It ticks every 250 ms while the
  // device is gone and tries at growing gaps (ReconnectGap ticks, doubling up to 2 s).
  std::unique_ptr<platform::Timer> tmrReconnect;
  int ReconnectGap = 1, ReconnectWait = 0;
  std::unique_ptr<platform::SerialControl> ComDLL;
  std::unique_ptr<FTDX10_Connector> connector;
  std::shared_ptr<FTDX10_Protocol> Transceiver;
};

// Values of the watched fields after the previous answer.
struct LastReportedValues {
  std::int16_t PreAmp = 0, Att = 0, AGC = 0, AutoNF = 0, Antenna = 0, BKIn = 0, Vox = 0, Comp = 0;
  std::array<std::int16_t, 2> RFT{};
  friend bool operator==(const LastReportedValues&, const LastReportedValues&) = default;
};

struct Module {
  // Object model.
  std::shared_ptr<FTDX10_Protocol> SharedProtocol;
  std::int16_t ConnectorCount = 0;
  std::unique_ptr<ControlPanel> panel;

  // Command sender.
  float LastSendTime = 0;
  float LastCommandTime = 0;
  float QueryGap = 0.001f;
  float CommandGap = 0.1f;
  float PacingWindow = 3.0f;
  float QueryHoldoff = 1.0f;
  VBool SendSuspended = kFalse;
  // Time of the first write since the radio last sent a byte; negative when none is waiting.
  // A write left unanswered longer than SilenceLimit means the radio is not answering.
  float UnansweredSince = -1.0f;
  float SilenceLimit = 3.0f;

  // Polling.
  VBool RefreshPending = kFalse;
  VBool FreqChanged = kFalse;
  std::int16_t PollToggle = 0;
  VBool AFQueryPending = kFalse;
  VBool PollingPaused = kFalse;
  std::int16_t LevelPollStep = 0;
  std::int16_t VFOPollStep = 0;

  // Answer parser.
  std::string ComBuffer;
  bool ParserBusy = false;
  std::vector<std::string> ReadsSent;  // read requests the parse sent in this ReadBuffer call
  double LastFreq = 0;
  std::int16_t LastMode = -1;
  std::int16_t LastSMeter = -1;
  std::int16_t LastVFO = -1;
  LastReportedValues LastReported;
  std::int16_t ModelID = 0;

  // Panorama settings memories.
  std::string LastATT, LastPRE, LastFW;

  // Frequency ranges; entries 1..FreqRangeCount are used.
  std::int16_t FreqRangeCount = 1;
  std::array<double, 6> FreqRangeMin{0, 0.03, 0, 0, 0, 0};
  std::array<double, 6> FreqRangeMax{0, 75.0, 0, 0, 0, 0};
};

}  // namespace veltro::detail
