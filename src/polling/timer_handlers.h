// Tick handlers of the control panel's five timers, and its serial receive handler.
#pragma once

namespace veltro::detail {

struct ProtocolImpl;

void OnPollingTick(ProtocolImpl& p);      // tmrPolling, 175 ms
void OnLevelsTick(ProtocolImpl& p);       // tmrLevels, 200 ms
void OnPollVFOTick(ProtocolImpl& p);      // tmrPollVFO, 200 ms
void OnStartTick(ProtocolImpl& p);        // tmrStart, 5 s one-shot
void OnStopPollingTick(ProtocolImpl& p);  // tmrStopPolling, 1 s one-shot
void OnComm(ProtocolImpl& p);             // ComDLL receive event
void OnHangUp(ProtocolImpl& p);           // ComDLL device gone
void OnReconnectTick(ProtocolImpl& p);    // tmrReconnect, 250 ms while the device is gone

}  // namespace veltro::detail
