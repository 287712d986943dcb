// The cached-state properties. Getters never talk to the radio.
#include "host/convert.h"
#include "host/protocol_impl.h"
#include "host/tone_tables.h"

namespace veltro {

namespace {

template <typename T, std::size_t N>
T At(const std::array<T, N>& a, long long index) {
  if (index < 0 || index >= static_cast<long long>(N)) {
    throw AutomationError(ErrorNumber::kSubscriptOutOfRange);
  }
  return a[static_cast<std::size_t>(index)];
}

std::int16_t FilterCell(const std::int16_t (&table)[detail::kFilterRows][detail::kFilterModes],
                        std::int16_t filter, std::int16_t mode) {
  if (filter < 0 || filter >= detail::kFilterRows || mode < 0 || mode >= detail::kFilterModes) {
    throw AutomationError(ErrorNumber::kSubscriptOutOfRange);
  }
  return table[filter][mode];
}

}  // namespace

#define VELTRO_GETTER(type, name) \
  type FTDX10_Protocol::name() const { return impl_->state.name; }

VELTRO_GETTER(std::string, About)
VELTRO_GETTER(std::string, Transceiver)
VELTRO_GETTER(std::string, CATAnswer)
VELTRO_GETTER(std::string, CHLabel)
VELTRO_GETTER(std::string, MeterCaption)
VELTRO_GETTER(std::string, PortSpeed)
VELTRO_GETTER(std::string, PortDevice)
VELTRO_GETTER(double, Freq)
VELTRO_GETTER(double, TX_Freq)
VELTRO_GETTER(double, VFOA_Freq)
VELTRO_GETTER(double, VFOB_Freq)
VELTRO_GETTER(double, Sub_Freq)
VELTRO_GETTER(double, RITOffset)
VELTRO_GETTER(double, RangeMin)
VELTRO_GETTER(double, RangeMax)
VELTRO_GETTER(float, CTCSS)
VELTRO_GETTER(VBool, PortOpen)
VELTRO_GETTER(VBool, PortDTR)
VELTRO_GETTER(VBool, PortRTS)
VELTRO_GETTER(VBool, CKBuffer)
VELTRO_GETTER(VBool, AutoPolling)
VELTRO_GETTER(VBool, ReportChanges)
VELTRO_GETTER(VBool, StatusChange)
VELTRO_GETTER(std::int16_t, AGC)
VELTRO_GETTER(std::int16_t, APFState)
VELTRO_GETTER(std::int16_t, Antenna)
VELTRO_GETTER(std::int16_t, Att)
VELTRO_GETTER(std::int16_t, BK)
VELTRO_GETTER(std::int16_t, BKIn)
VELTRO_GETTER(std::int16_t, BW)
VELTRO_GETTER(std::int16_t, Band)
VELTRO_GETTER(std::int16_t, Busy)
VELTRO_GETTER(std::int16_t, CAT)
VELTRO_GETTER(std::int16_t, Channel)
VELTRO_GETTER(std::int16_t, ChannelMax)
VELTRO_GETTER(std::int16_t, ChannelMin)
VELTRO_GETTER(std::int16_t, Comp)
VELTRO_GETTER(std::int16_t, ContourState)
VELTRO_GETTER(std::int16_t, DCS)
VELTRO_GETTER(std::int16_t, DataMode)
VELTRO_GETTER(std::int16_t, Dec)
VELTRO_GETTER(std::int16_t, DimLevel)
VELTRO_GETTER(std::int16_t, Dual)
VELTRO_GETTER(std::int16_t, Enc)
VELTRO_GETTER(std::int16_t, FContour)
VELTRO_GETTER(std::int16_t, FNotch)
VELTRO_GETTER(std::int16_t, Fast)
VELTRO_GETTER(std::int16_t, Filter)
VELTRO_GETTER(std::int16_t, FullBK)
VELTRO_GETTER(std::int16_t, IFS)
VELTRO_GETTER(std::int16_t, IFShift)
VELTRO_GETTER(std::int16_t, KeyerSpeed)
VELTRO_GETTER(std::int16_t, KeyerWPM)
VELTRO_GETTER(std::int16_t, LockDial)
VELTRO_GETTER(std::int16_t, MemMode)
VELTRO_GETTER(std::int16_t, Meter)
VELTRO_GETTER(std::int16_t, MeterSW)
VELTRO_GETTER(std::int16_t, MicGain)
VELTRO_GETTER(std::int16_t, Mode)
VELTRO_GETTER(std::int16_t, Monitor)
VELTRO_GETTER(std::int16_t, MonitorLevel)
VELTRO_GETTER(std::int16_t, NB)
VELTRO_GETTER(std::int16_t, NBType)
VELTRO_GETTER(std::int16_t, NF)
VELTRO_GETTER(std::int16_t, NR)
VELTRO_GETTER(std::int16_t, PTT)
VELTRO_GETTER(std::int16_t, Pitch)
VELTRO_GETTER(std::int16_t, Port)
VELTRO_GETTER(std::int16_t, PowerON)
VELTRO_GETTER(std::int16_t, PreAmp)
VELTRO_GETTER(std::int16_t, ProcLevel)
VELTRO_GETTER(std::int16_t, RFPower)
VELTRO_GETTER(std::int16_t, RITStatus)
VELTRO_GETTER(std::int16_t, RPT)
VELTRO_GETTER(std::int16_t, Range)
VELTRO_GETTER(std::int16_t, Reverse)
VELTRO_GETTER(std::int16_t, SMeter)
VELTRO_GETTER(std::int16_t, Split)
VELTRO_GETTER(std::int16_t, Sub_Mode)
VELTRO_GETTER(std::int16_t, TXEQ)
VELTRO_GETTER(std::int16_t, TX_Mode)
VELTRO_GETTER(std::int16_t, Tuner)
VELTRO_GETTER(std::int16_t, VFOA_Mode)
VELTRO_GETTER(std::int16_t, VFOB_Mode)
VELTRO_GETTER(std::int16_t, Vox)

#undef VELTRO_GETTER

double FTDX10_Protocol::VFO() const { return static_cast<double>(impl_->state.VFO); }

float FTDX10_Protocol::CTCSSTone(std::int16_t Number) const { return detail::CtcssTone(Number); }

std::int16_t FTDX10_Protocol::TuningStep() const {
  return detail::RoundToInt16(impl_->state.TuningStep);
}

std::int16_t FTDX10_Protocol::Shift() const { return detail::RoundToInt16(impl_->state.Shift); }

std::int16_t FTDX10_Protocol::Property(std::int16_t PropIndex) const {
  return At(impl_->state.Property, PropIndex);
}

std::int16_t FTDX10_Protocol::RFT(std::int16_t Receiver) const {
  return At(impl_->state.RFT, Receiver);
}

std::int16_t FTDX10_Protocol::AFLevel(const Variant& Receiver) const {
  return At(impl_->state.AFLevel, Receiver.ToInt32());
}

std::int16_t FTDX10_Protocol::SQLevel(const Variant& Receiver) const {
  return At(impl_->state.SQLevel, Receiver.ToInt32());
}

std::int16_t FTDX10_Protocol::RFLevel(const Variant& Receiver) const {
  return At(impl_->state.RFLevel, Receiver.ToInt32());
}

std::int16_t FTDX10_Protocol::LowCutFilter(std::int16_t Filter, std::int16_t Mode) const {
  return FilterCell(impl_->state.LowCutFilter, Filter, Mode);
}

std::int16_t FTDX10_Protocol::HighCutFilter(std::int16_t Filter, std::int16_t Mode) const {
  return FilterCell(impl_->state.HighCutFilter, Filter, Mode);
}

Variant FTDX10_Protocol::AutoNF() const { return impl_->state.AutoNF; }
void FTDX10_Protocol::AutoNF(const Variant& value) { impl_->state.AutoNF = value; }

void FTDX10_Protocol::ChannelMin(std::int16_t value) { impl_->state.ChannelMin = value; }
void FTDX10_Protocol::ChannelMax(std::int16_t value) { impl_->state.ChannelMax = value; }
void FTDX10_Protocol::CKBuffer(VBool value) { impl_->state.CKBuffer = value; }
void FTDX10_Protocol::AutoPolling(VBool value) { impl_->state.AutoPolling = value; }
void FTDX10_Protocol::ReportChanges(VBool value) { impl_->state.ReportChanges = value; }
void FTDX10_Protocol::StatusChange(VBool value) { impl_->state.StatusChange = value; }

}  // namespace veltro
