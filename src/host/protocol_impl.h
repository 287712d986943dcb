// The protocol object's private side: its radio state, its Change handlers and the private
// routines shared by the public members (sender, pollers, parser steps). Each routine is defined
// in the folder of its subject.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/library.h"
#include "host/radio_state.h"
#include "veltro/ftdx10.h"

namespace veltro::detail {

struct ProtocolKey {
  explicit ProtocolKey() = default;
};

struct ProtocolImpl {
  ProtocolImpl(FTDX10_Protocol& self, Library& library);

  FTDX10_Protocol& self;
  Library& lib;
  RadioState state;

  Module& module() { return lib.module(); }
  platform::Clock& clock() { return lib.clock(); }

  // ---- Change event (host/change.cpp) ----
  struct Handler {
    ChangeHandlerId id;
    std::shared_ptr<ChangeHandler> fn;
  };
  std::vector<Handler> handlers;
  ChangeHandlerId next_handler_id = 1;
  int raising = 0;
  bool handlers_removed = false;
  void RaiseChange(std::int16_t state_value);

  // ---- Command sender (link/sender.cpp) ----
  // Frames `command` with ";" and writes it, pacing ordinary commands and dropping polling
  // queries as described there. `query` comes back 0 exactly when the text was written; the
  // result says whether a write was made (and LastSendTime taken for it).
  bool SendCommand(std::string_view command, VBool& query, VBool immediate);
  // Ordinary command: never dropped, only delayed.
  bool Send(std::string_view command) {
    VBool q = kFalse;
    return SendCommand(command, q, kFalse);
  }
  void WaitOutputDrained();
  // False while the port is closed or a write has gone unanswered for longer than SilenceLimit.
  bool RadioAnswering();
  float Now() { return clock().SecondsSinceMidnight(); }

  // ---- Timer ticks (polling/ticks.cpp) and the receive event (parser/read_buffer.cpp) ----
  // The control panel's timers and its serial control call these; see Library::Panel.
  void OnPollingTick();      // tmrPolling, 175 ms
  void OnLevelsTick();       // tmrLevels, 200 ms
  void OnPollVFOTick();      // tmrPollVFO, 200 ms
  void OnStartTick();        // tmrStart, 5 s one-shot
  void OnStopPollingTick();  // tmrStopPolling, 1 s one-shot
  void OnComm();             // ComDLL receive event
  // ---- The healing link (link/port.cpp) ----
  void OnHangUp();         // ComDLL device gone
  void OnReconnectTick();  // tmrReconnect, 250 ms while the device is gone

  // ---- Polling (polling/*.cpp) ----
  // Starts the level sequence afresh: counter 0, timer off, then its step 0.
  void RestartLevelPoll();
  // Read requests for the repeater shift, tones and shift amount of the VFO in use (FM only).
  void FMStatusQuery();
  // Raises PollingPaused for a second; the level commands call it.
  void PausePolling();

  // ---- Receive path (parser/read_buffer.cpp) ----
  // Derives the dependent fields after one answer and raises Change; `level` marks an answer of
  // the level/function group.
  void PostAnswer(bool level);
  // A read request asked for by an answer goes out once per ReadBuffer call: every answer of the
  // call has already left the radio, so one reply reports the latest state, and a paced send per
  // answer would hold the host's thread a tenth of a second per answer of a burst.
  void SendRead(std::string_view text);
  // AM and FM widths by the narrow setting; IF shift 0. Other modes change nothing.
  void ApplyFilterDefaults(std::int16_t mode);

  // ---- Memory channels (commands/memory.cpp) ----
  // Stores the VFO in use (frequency, mode, tone, shift from the cache) into `channel` with one
  // "MW" text, then asks for "IF". A cached mode 7 becomes 4.
  void WriteMemoryChannel(std::int16_t channel);
};

}  // namespace veltro::detail
