#include "polling/timer_handlers.h"

#include "host/protocol_impl.h"

namespace veltro::detail {

void OnPollingTick(ProtocolImpl&) {}
void OnLevelsTick(ProtocolImpl&) {}
void OnPollVFOTick(ProtocolImpl&) {}
void OnStartTick(ProtocolImpl&) {}
void OnStopPollingTick(ProtocolImpl&) {}
void OnComm(ProtocolImpl&) {}

}  // namespace veltro::detail
