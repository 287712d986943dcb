// The member table. Each entry is built from a pointer to the member, so its parameter and result
// types come from the declaration itself and cannot drift from it.
#include "veltro/members.h"

#include <stdexcept>
#include <tuple>
#include <type_traits>
#include <utility>

#include "host/convert.h"

namespace veltro {

namespace {

using P = FTDX10_Protocol;

template <typename T>
constexpr ValueType TypeOf() {
  using D = std::decay_t<T>;
  if constexpr (std::is_void_v<D>) return ValueType::kVoid;
  if constexpr (std::is_same_v<D, VBool>) return ValueType::kBoolean;
  if constexpr (std::is_same_v<D, std::int16_t>) return ValueType::kInteger;
  if constexpr (std::is_same_v<D, std::int32_t>) return ValueType::kLong;
  if constexpr (std::is_same_v<D, float>) return ValueType::kSingle;
  if constexpr (std::is_same_v<D, double>) return ValueType::kDouble;
  if constexpr (std::is_same_v<D, std::string>) return ValueType::kString;
  if constexpr (std::is_same_v<D, Variant>) return ValueType::kVariant;
}

template <typename T>
T From(const Variant& v) {
  if constexpr (std::is_same_v<T, VBool>) return v.ToBool();
  if constexpr (std::is_same_v<T, std::int16_t>) return v.ToInt16();
  if constexpr (std::is_same_v<T, std::int32_t>) return v.ToInt32();
  if constexpr (std::is_same_v<T, double>) return v.ToDouble();
  if constexpr (std::is_same_v<T, float>) return detail::ToSingle(v.ToDouble());
  if constexpr (std::is_same_v<T, std::string>) return v.ToText();
  if constexpr (std::is_same_v<T, Variant>) return v;
}

template <typename T>
Variant To(const T& value) {
  if constexpr (std::is_same_v<T, float>) {
    return Variant(static_cast<double>(value));
  } else {
    return Variant(value);
  }
}

template <typename A>
constexpr bool kRewritten =
    std::is_lvalue_reference_v<A> && !std::is_const_v<std::remove_reference_t<A>>;

template <typename R, typename... A, typename Fn, std::size_t... I>
Variant Invoke(Fn&& call, std::vector<Variant>& args, std::index_sequence<I...>) {
  // Braced initialisation converts the arguments left to right.
  std::tuple<std::decay_t<A>...> values{From<std::decay_t<A>>(args[I])...};
  auto write_back = [&] {
    ((kRewritten<A> ? (void)(args[I] = To(std::get<I>(values))) : void()), ...);
  };
  if constexpr (std::is_void_v<R>) {
    call(std::get<I>(values)...);
    write_back();
    return {};
  } else {
    R result = call(std::get<I>(values)...);
    write_back();
    return To(result);
  }
}

template <typename... A>
std::vector<MemberParam> Params(std::initializer_list<const char*> names) {
  constexpr ValueType types[] = {TypeOf<A>()..., ValueType::kVoid};
  constexpr bool rewritten[] = {kRewritten<A>..., false};
  if (names.size() != sizeof...(A)) throw std::logic_error("member table: parameter names");
  std::vector<MemberParam> out;
  std::size_t i = 0;
  for (const char* n : names) {
    out.push_back({n, types[i], rewritten[i]});
    ++i;
  }
  return out;
}

// A property read, with its indices as parameters.
template <typename R, typename... A>
Member Get(const char* name, R (P::*fn)(A...) const,
           std::initializer_list<const char*> names = {}) {
  return Member(name, MemberKind::kProperty, TypeOf<R>(), Params<A...>(names),
                [fn](P& p, std::vector<Variant>& args) {
                  return Invoke<R, A...>([&](auto&&... a) { return (p.*fn)(a...); }, args,
                                         std::index_sequence_for<A...>{});
                });
}

template <typename A>
Member::Letter LetOf(void (P::*fn)(A)) {
  return [fn](P& p, const Variant& v) { (p.*fn)(From<std::decay_t<A>>(v)); };
}

template <typename R, typename... A>
Member Method(const char* name, R (P::*fn)(A...), std::initializer_list<const char*> names = {}) {
  return Member(name, MemberKind::kMethod, TypeOf<R>(), Params<A...>(names),
                [fn](P& p, std::vector<Variant>& args) {
                  return Invoke<R, A...>([&](auto&&... a) { return (p.*fn)(a...); }, args,
                                         std::index_sequence_for<A...>{});
                });
}

template <typename R, typename... A>
Member Method(const char* name, R (P::*fn)(A...) const,
              std::initializer_list<const char*> names = {}) {
  Member m = Get(name, fn, names);
  return Member(m.Name(), MemberKind::kMethod, m.Type(), m.Params(),
                [fn](P& p, std::vector<Variant>& args) {
                  return Invoke<R, A...>([&](auto&&... a) { return (p.*fn)(a...); }, args,
                                         std::index_sequence_for<A...>{});
                });
}

// The overload of a member that rewrites its arguments (the others take literals and forward).
template <typename Signature>
using Rewriting = Signature P::*;

#define VX_GET(name) Get(#name, &P::name)
#define VX_PROP(name) Get(#name, &P::name).WithLet(LetOf(&P::name))

std::vector<Member> BuildTable() {
  std::vector<Member> t = {
      // Identity and cached state.
      VX_GET(About),
      VX_GET(Transceiver),
      VX_GET(CATAnswer),
      VX_GET(CHLabel),
      VX_GET(MeterCaption),
      VX_GET(Freq),
      VX_GET(TX_Freq),
      VX_GET(VFOA_Freq),
      VX_GET(VFOB_Freq),
      VX_GET(Sub_Freq),
      VX_GET(RITOffset),
      VX_GET(RangeMin),
      VX_GET(RangeMax),
      VX_GET(VFO),
      VX_GET(CTCSS),
      Get("CTCSSTone", &P::CTCSSTone, {"Number"}),
      VX_GET(TuningStep),
      VX_GET(Shift),
      Get("Property", &P::Property, {"PropIndex"}),
      Get("RFT", &P::RFT, {"Receiver"}),
      Get("AFLevel", &P::AFLevel, {"Receiver"}),
      Get("SQLevel", &P::SQLevel, {"Receiver"}),
      Get("RFLevel", &P::RFLevel, {"Receiver"}),
      Get("LowCutFilter", &P::LowCutFilter, {"Filter", "Mode"}),
      Get("HighCutFilter", &P::HighCutFilter, {"Filter", "Mode"}),
      VX_GET(AGC),
      VX_GET(APFState),
      VX_GET(Antenna),
      VX_GET(Att),
      VX_GET(BK),
      VX_GET(BKIn),
      VX_GET(BW),
      VX_GET(Band),
      VX_GET(Busy),
      VX_GET(CAT),
      VX_GET(Channel),
      VX_PROP(ChannelMax),
      VX_PROP(ChannelMin),
      VX_GET(Comp),
      VX_GET(ContourState),
      VX_GET(DCS),
      VX_GET(DataMode),
      VX_GET(Dec),
      VX_GET(DimLevel),
      VX_GET(Dual),
      VX_GET(Enc),
      VX_GET(FContour),
      VX_GET(FNotch),
      VX_GET(Fast),
      VX_GET(Filter),
      VX_GET(FullBK),
      VX_GET(IFS),
      VX_GET(IFShift),
      VX_GET(KeyerSpeed),
      VX_GET(KeyerWPM),
      VX_GET(LockDial),
      VX_GET(MemMode),
      VX_GET(Meter),
      VX_GET(MeterSW),
      VX_GET(MicGain),
      VX_GET(Mode),
      VX_GET(Monitor),
      VX_GET(MonitorLevel),
      VX_GET(NB),
      VX_GET(NBType),
      VX_GET(NF),
      VX_GET(NR),
      VX_GET(PTT),
      VX_GET(Pitch),
      VX_GET(PowerON),
      VX_GET(PreAmp),
      VX_GET(ProcLevel),
      VX_GET(RFPower),
      VX_GET(RITStatus),
      VX_GET(RPT),
      VX_GET(Range),
      VX_GET(Reverse),
      VX_GET(SMeter),
      VX_GET(Split),
      VX_GET(Sub_Mode),
      VX_GET(TXEQ),
      VX_GET(TX_Mode),
      VX_GET(Tuner),
      VX_GET(VFOA_Mode),
      VX_GET(VFOB_Mode),
      VX_GET(Vox),
      VX_PROP(AutoNF),
      // Serial port.
      VX_PROP(Port),
      VX_PROP(PortSpeed),
      VX_PROP(PortDTR),
      VX_PROP(PortRTS),
      VX_PROP(PortDevice),
      VX_GET(PortOpen),
      VX_GET(RadioAnswering),
      VX_PROP(AutoReconnect),
      VX_PROP(CKBuffer),
      Method("SetPort",
             Rewriting<VBool(VBool&, std::string&, std::string&, std::string&)>(&P::SetPort),
             {"PortOpen", "Address", "Code", "MSG"}),
      // Polling.
      VX_PROP(AutoPolling),
      VX_PROP(ReportChanges),
      VX_PROP(StatusChange),
      Method("SetPolling", Rewriting<void(std::int16_t&)>(&P::SetPolling), {"State"}),
      Method("SetCAT", Rewriting<std::int16_t(std::int16_t&)>(&P::SetCAT), {"CAT"}),
      Method("SetRefresh", &P::SetRefresh),
      Method("PollCurrVFO", &P::PollCurrVFO),
      Method("PollLevels", &P::PollLevels),
      // Receive path.
      Method("ReadBuffer", &P::ReadBuffer, {"Buffer", "Read"}),
      Method("SetCommand", Rewriting<void(std::int16_t&, std::string)>(&P::SetCommand),
             {"Format", "Sequence"}),
      // Set operations and their checks.
      Method("ValidFreq", &P::ValidFreq, {"Freq"}),
      Method("SetFreq", &P::SetFreq, {"Freq"}),
      Method("SetVFOB", &P::SetVFOB, {"Freq"}),
      Method("SetVFO", &P::SetVFO, {"VFO"}),
      Method("SetSplit", &P::SetSplit, {"Split"}),
      Method("SetTX", Rewriting<VBool(double, std::int16_t&)>(&P::SetTX), {"Freq", "Mode"}),
      Method("SetAeqB", &P::SetAeqB),
      Method("SetAexcB", &P::SetAexcB),
      Method("SetBand", &P::SetBand, {"Band"}),
      Method("SetTuningStep", &P::SetTuningStep, {"Index"}),
      Method("SetScanning", &P::SetScanning, {"UpDown", "Step"}),
      Method("SetRIT", &P::SetRIT, {"Status", "Offset"}),
      Method("SetRITClear", &P::SetRITClear),
      Method("SetMode", Rewriting<VBool(std::int16_t&, std::int16_t)>(&P::SetMode),
             {"Mode", "Reverse"}),
      Method("SetDataMode", &P::SetDataMode, {"Mode", "Data", "Reverse", "Filter"}),
      Method("SetVFOM", &P::SetVFOM, {"Channel", "INFO"}),
      Method("SetChannel", &P::SetChannel, {"Channel"}),
      Method("MClear", &P::MClear, {"Channel"}),
      Method("SetRPT", &P::SetRPT, {"Direction"}),
      Method("SetShift", &P::SetShift, {"Shift"}),
      Method("SetTone", &P::SetTone, {"CTCSS", "DCS", "Enc", "Dec"}),
      Method("SetCutFilter", &P::SetCutFilter, {"Low", "High", "Filter", "Mode"}),
      Method("SetFilter", &P::SetFilter, {"Filter", "Mode", "Reverse"}),
      Method("SetIFShift", &P::SetIFShift, {"Level"}),
      Method("SetContour", &P::SetContour, {"Param", "Value"}),
      Method("SetAPF", &P::SetAPF, {"Param", "Value"}),
      Method("SetAFLevel", &P::SetAFLevel, {"Receiver", "Level"}),
      Method("SetSQLevel", &P::SetSQLevel, {"Receiver", "Level"}),
      Method("SetRFLevel", &P::SetRFLevel, {"Receiver", "Level"}),
      Method("SetAGC", &P::SetAGC, {"AGC"}),
      Method("SetAtt", &P::SetAtt, {"Att"}),
      Method("SetPreAmp", &P::SetPreAmp, {"PreAmp"}),
      Method("SetAntenna", &P::SetAntenna, {"Antenna"}),
      Method("SetRFT", &P::SetRFT, {"Receiver", "RFT"}),
      Method("SetDual", &P::SetDual, {"Dual"}),
      Method("SetFast", &P::SetFast, {"Fast"}),
      Method("SetLockDial", &P::SetLockDial, {"Dial"}),
      Method("SetDimLevel", &P::SetDimLevel, {"Level"}),
      Method("SetPowerON", &P::SetPowerON, {"State"}),
      Method("SetMeterSW", &P::SetMeterSW, {"MS"}),
      Method("SetPTT", &P::SetPTT, {"PTT"}),
      Method("SetStartTuner", &P::SetStartTuner),
      Method("SetTuner", &P::SetTuner, {"Tuner"}),
      Method("SetRFPower", &P::SetRFPower, {"Power"}),
      Method("SetMicGain", &P::SetMicGain, {"MG"}),
      Method("SetComp", &P::SetComp, {"Comp"}),
      Method("SetTXEQ", &P::SetTXEQ, {"TXEQ"}),
      Method("SetVox", &P::SetVox, {"Vox"}),
      Method("SetMonitor", &P::SetMonitor, {"P1", "P2"}),
      Method("setTXW", &P::setTXW, {"State"}),
      Method("SetData", &P::SetData, {"L1", "L2", "D", "s"}),
      Method("SetNBType", &P::SetNBType, {"NBType"}),
      Method("SetNB", &P::SetNB, {"NB"}),
      Method("SetNR", &P::SetNR, {"NR"}),
      Method("SetNF", &P::SetNF, {"NF"}),
      Method("SetAutoNF", &P::SetAutoNF, {"AutoNF"}),
      Method("SetBK", &P::SetBK, {"BK"}),
      Method("SetBKIn", &P::SetBKIn, {"BKIn"}),
      Method("SetKeyerSpeed", &P::SetKeyerSpeed, {"KeyerSpeed"}),
      Method("SetPitch", &P::SetPitch, {"Pitch"}),
      Method("SetSpot", &P::SetSpot, {"State"}),
      Method("SetZeroIN", &P::SetZeroIN),
      Method("SetVoiceMessage", &P::SetVoiceMessage, {"MSG"}),
      Method("SetKeyerMessage", &P::SetKeyerMessage, {"LOAD", "MSG", "MESS"}),
  };
  return t;
}

}  // namespace

const char* TypeName(ValueType type) {
  switch (type) {
    case ValueType::kVoid:
      return "";
    case ValueType::kBoolean:
      return "Boolean";
    case ValueType::kInteger:
      return "Integer";
    case ValueType::kLong:
      return "Long";
    case ValueType::kSingle:
      return "Single";
    case ValueType::kDouble:
      return "Double";
    case ValueType::kString:
      return "String";
    case ValueType::kVariant:
      return "Variant";
  }
  return "";
}

Member::Member(std::string name, MemberKind kind, ValueType type, std::vector<MemberParam> params,
               Getter get_or_call)
    : name_(std::move(name)),
      kind_(kind),
      type_(type),
      params_(std::move(params)),
      get_(std::move(get_or_call)) {}

Variant Member::Get(FTDX10_Protocol& p, std::vector<Variant>& args) const {
  if (args.size() != params_.size()) {
    throw std::invalid_argument(name_ + " takes " + std::to_string(params_.size()) + " argument" +
                                (params_.size() == 1 ? "" : "s") + ", not " +
                                std::to_string(args.size()));
  }
  return get_(p, args);
}

void Member::Let(FTDX10_Protocol& p, const Variant& value) const {
  if (!let_) throw std::logic_error(name_ + " is read-only");
  let_(p, value);
}

const std::vector<Member>& Members() {
  static const std::vector<Member> table = BuildTable();
  return table;
}

const Member* FindMember(std::string_view name) {
  for (const Member& m : Members()) {
    if (m.Name() == name) return &m;
  }
  return nullptr;
}

const std::vector<std::string>& ConnectorMembers() {
  static const std::vector<std::string> members = {"FTDX10_Protocol"};
  return members;
}

}  // namespace veltro
