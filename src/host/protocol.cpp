// Connector lifetime, creation of the protocol object and its state at creation.
#include "host/convert.h"
#include "host/protocol_impl.h"
#include "host/version.h"

namespace veltro {

FTDX10_Connector::FTDX10_Connector() : FTDX10_Connector(detail::Library::Process()) {}

FTDX10_Connector::FTDX10_Connector(detail::Library& library) : library_(&library) {
  library_->AddConnector();
}

FTDX10_Connector::~FTDX10_Connector() { library_->ReleaseConnector(); }

std::shared_ptr<FTDX10_Protocol> FTDX10_Connector::FTDX10_Protocol() const {
  return library_->module().SharedProtocol;
}

FTDX10_Protocol::FTDX10_Protocol(const detail::ProtocolKey&, detail::Library& library)
    : impl_(std::make_unique<detail::ProtocolImpl>(*this, library)) {}

FTDX10_Protocol::~FTDX10_Protocol() = default;

}  // namespace veltro

namespace veltro::detail {

// Creation stores the state's initial values (RadioState's own), builds About and resets the
// module values that belong to a fresh protocol object.
ProtocolImpl::ProtocolImpl(FTDX10_Protocol& owner, Library& library) : self(owner), lib(library) {
  state.About = "FTDX-10 V" + DecimalText(kVersionMajor) + "." + DecimalText(kVersionMinor) + "." +
                DecimalText(kVersionRevision);
  Module& m = lib.module();
  m.FreqRangeCount = 1;
  m.FreqRangeMin = {0, 0.03, 0, 0, 0, 0};
  m.FreqRangeMax = {0, 75.0, 0, 0, 0, 0};
  m.QueryGap = 0.001f;
  m.CommandGap = 0.1f;
  m.PacingWindow = 3.0f;
  m.QueryHoldoff = 1.0f;
  m.SendSuspended = kFalse;
  m.LastMode = -1;
  m.LastSMeter = -1;
  m.LastVFO = -1;
  m.LastFreq = 0;
  m.PollingPaused = kFalse;
  m.LevelPollStep = 0;
}

}  // namespace veltro::detail
