// The two classes a station-control host sees: FTDX10_Connector, the only class a host creates,
// and FTDX10_Protocol, the one protocol object all connectors share. Everything runs on the
// host's thread; see events.h for how a host drives timers and serial events.
//
// Conventions: booleans are VBool (-1 true, 0 false). A property's get and let are overloads of
// one name. A Set operation returns VBool success decided by its own checks, never by the radio.
// An argument the call may rewrite is taken by reference.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "veltro/types.h"

namespace veltro {

namespace detail {
class Library;
struct ProtocolImpl;
struct ProtocolKey;
}  // namespace detail

class FTDX10_Protocol;

// A connector keeps the shared protocol object alive. The first live connector creates it; when
// the last one goes, the library drops its reference (the object itself lives on while the host
// holds a pointer to it). Once the port has been touched the library keeps one connector of its
// own, so the object then lives until the library is unloaded.
class VELTRO_API FTDX10_Connector {
 public:
  // Uses the process-wide library (real serial ports, real timers).
  FTDX10_Connector();
  // Uses the given library instance (tests and embedding on another platform).
  explicit FTDX10_Connector(detail::Library& library);
  ~FTDX10_Connector();
  FTDX10_Connector(const FTDX10_Connector&) = delete;
  FTDX10_Connector& operator=(const FTDX10_Connector&) = delete;

  // The shared protocol object: the same object every time; empty after the library dropped it.
  std::shared_ptr<::veltro::FTDX10_Protocol> FTDX10_Protocol() const;

 private:
  detail::Library* library_;
};

// Handler of the Change event. It runs synchronously inside ReadBuffer, on the host's thread, and
// may call back into the library. State: 1 split or mode, 3 S-meter, 4 level or function.
using ChangeHandler = std::function<void(std::int16_t& State)>;
using ChangeHandlerId = std::uint64_t;

class VELTRO_API FTDX10_Protocol {
 public:
  FTDX10_Protocol(const detail::ProtocolKey&, detail::Library& library);
  ~FTDX10_Protocol();
  FTDX10_Protocol(const FTDX10_Protocol&) = delete;
  FTDX10_Protocol& operator=(const FTDX10_Protocol&) = delete;

  // ---- Change event --------------------------------------------------------------------------
  // Adds a handler; returns its id (never 0). Handlers run in the order they were added.
  ChangeHandlerId AddChangeHandler(ChangeHandler handler);
  // Removes a handler; false if the id is unknown. Safe inside a handler.
  bool RemoveChangeHandler(ChangeHandlerId id);

  // ---- Identity -------------------------------------------------------------------------------
  // "FTDX-10 V1.1.0": model text and library version.
  std::string About() const;
  // Model name: "FTDX-10", or "FT-891" once the radio identified itself so.
  std::string Transceiver() const;

  // ---- Cached state (getters never talk to the radio) -----------------------------------------
  std::string CATAnswer() const;
  std::string CHLabel() const;
  std::string MeterCaption() const;

  double Freq() const;
  double TX_Freq() const;
  double VFOA_Freq() const;
  double VFOB_Freq() const;
  double Sub_Freq() const;
  double RITOffset() const;
  double RangeMin() const;
  double RangeMax() const;
  // 0.0 for VFO A, 1.0 for VFO B.
  double VFO() const;
  float CTCSS() const;
  // Tone Number of the 50-tone CTCSS list in Hz (0 -> 67.0 ... 49 -> 254.1); 0 for any other.
  float CTCSSTone(std::int16_t Number) const;
  // Rounded to the nearest integer, halves to even.
  std::int16_t TuningStep() const;
  std::int16_t Shift() const;

  // Indexed getters: an index outside the table throws AutomationError 9 (subscript out of
  // range); a receiver that cannot be converted to an integer throws error 13.
  std::int16_t Property(std::int16_t PropIndex) const;                       // 0..100
  std::int16_t RFT(std::int16_t Receiver) const;                             // 0..1
  std::int16_t AFLevel(const Variant& Receiver) const;                       // 0..1
  std::int16_t SQLevel(const Variant& Receiver) const;                       // 0..1
  std::int16_t RFLevel(const Variant& Receiver) const;                       // 0..1
  std::int16_t LowCutFilter(std::int16_t Filter, std::int16_t Mode) const;   // 0..2, 0..10
  std::int16_t HighCutFilter(std::int16_t Filter, std::int16_t Mode) const;  // 0..2, 0..10

  std::int16_t AGC() const;
  std::int16_t APFState() const;
  std::int16_t Antenna() const;
  std::int16_t Att() const;
  std::int16_t BK() const;
  std::int16_t BKIn() const;
  std::int16_t BW() const;
  std::int16_t Band() const;
  std::int16_t Busy() const;
  std::int16_t CAT() const;
  std::int16_t Channel() const;
  std::int16_t ChannelMax() const;
  std::int16_t ChannelMin() const;
  std::int16_t Comp() const;
  std::int16_t ContourState() const;
  std::int16_t DCS() const;
  std::int16_t DataMode() const;
  std::int16_t Dec() const;
  std::int16_t DimLevel() const;
  std::int16_t Dual() const;
  std::int16_t Enc() const;
  std::int16_t FContour() const;
  std::int16_t FNotch() const;
  std::int16_t Fast() const;
  std::int16_t Filter() const;
  std::int16_t FullBK() const;
  std::int16_t IFS() const;
  std::int16_t IFShift() const;
  std::int16_t KeyerSpeed() const;
  std::int16_t KeyerWPM() const;
  std::int16_t LockDial() const;
  std::int16_t MemMode() const;
  std::int16_t Meter() const;
  std::int16_t MeterSW() const;
  std::int16_t MicGain() const;
  std::int16_t Mode() const;
  std::int16_t Monitor() const;
  std::int16_t MonitorLevel() const;
  std::int16_t NB() const;
  std::int16_t NBType() const;
  std::int16_t NF() const;
  std::int16_t NR() const;
  std::int16_t PTT() const;
  std::int16_t Pitch() const;
  std::int16_t PowerON() const;
  std::int16_t PreAmp() const;
  std::int16_t ProcLevel() const;
  std::int16_t RFPower() const;
  std::int16_t RITStatus() const;
  std::int16_t RPT() const;
  std::int16_t Range() const;
  std::int16_t Reverse() const;
  std::int16_t SMeter() const;
  std::int16_t Split() const;
  std::int16_t Sub_Mode() const;
  std::int16_t TXEQ() const;
  std::int16_t TX_Mode() const;
  std::int16_t Tuner() const;
  std::int16_t VFOA_Mode() const;
  std::int16_t VFOB_Mode() const;
  std::int16_t Vox() const;

  // Automatic notch as a variant: get returns a copy (objects are shared), let stores a copy.
  Variant AutoNF() const;
  void AutoNF(const Variant& value);

  // Plain stored values; no check against each other or the channel range.
  void ChannelMin(std::int16_t value);
  void ChannelMax(std::int16_t value);

  // ---- Serial port ----------------------------------------------------------------------------
  // Port number N opens /dev/ttyS<N-1> unless PortDevice names a device path. Port, PortSpeed
  // and PortDevice reach the serial control only while the port is closed; PortDTR and PortRTS
  // always. A control error fails the let with AutomationError after the value was stored.
  std::int16_t Port() const;
  void Port(std::int16_t value);
  // Baud rate text, e.g. "38400"; the line is always no parity, 8 data bits, 1 stop bit. RTS/CTS
  // handshaking follows PortRTS as it stands when the speed is set.
  std::string PortSpeed() const;
  void PortSpeed(const std::string& value);
  VBool PortDTR() const;
  void PortDTR(VBool value);
  VBool PortRTS() const;
  void PortRTS(VBool value);
  // Device path such as "/dev/ttyUSB0"; empty means "use the port number".
  std::string PortDevice() const;
  void PortDevice(const std::string& value);
  // The flag last stored by SetPort, not a live query of the device.
  VBool PortOpen() const;
  // When true, each ordinary command first waits (up to 0.5 s) for the output to drain.
  VBool CKBuffer() const;
  void CKBuffer(VBool value);
  // Opens (PortOpen true) or closes the port. True on success with MSG ""; false with MSG set to
  // the reason (missing device, port in use, speed not supported...). Address and Code are unused.
  VBool SetPort(VBool& PortOpen, std::string& Address, std::string& Code, std::string& MSG);

  // ---- Polling --------------------------------------------------------------------------------
  // True (default): the library polls the radio. False: the radio reports changes itself (AI1).
  VBool AutoPolling() const;
  void AutoPolling(VBool value);
  // Set by the library before it raises Change(4); the host may reset it.
  VBool StatusChange() const;
  void StatusChange(VBool value);
  // One polling action: 0 follow the frequency, 1/2 one status-cycle step, 3 routine S-meter
  // poll, 4 AF gain query; other values do nothing.
  void SetPolling(std::int16_t& State);
  // Switches the CAT link on (1) or off (0). Returns -1 if the port was open, else 0.
  std::int16_t SetCAT(std::int16_t& CAT);
  // Requests a full status cycle (and, without auto-polling, a level sequence).
  void SetRefresh();
  // Runs the current step of the current-VFO / level query sequence (step 0 starts it).
  void PollCurrVFO();
  void PollLevels();

  // ---- Receive path ---------------------------------------------------------------------------
  // Takes waiting bytes from the port into Buffer (when Read is true), parses every complete
  // answer and leaves an incomplete tail in Buffer. A nested call returns at once.
  void ReadBuffer(std::string& Buffer, VBool Read);
  // Raw pass-through: with Format 0 sends Sequence and waits 0.25 s; the answer is then taken in
  // by CATAnswer (see README). Other formats do nothing.
  void SetCommand(std::int16_t& Format, std::string Sequence);

  // ---- Frequency, VFO and split (src/commands/frequency.cpp) ---------------------------------

  // ---- Mode and data mode (src/commands/mode.cpp) ---------------------------------------------

  // ---- Memory channels (src/commands/memory.cpp) ----------------------------------------------

  // ---- FM repeater and tones (src/commands/tones.cpp) -----------------------------------------

  // ---- Filter, shift, contour and APF (src/commands/filter.cpp) -------------------------------

  // ---- Receiver front end and levels (src/commands/front_end.cpp) -----------------------------

  // ---- Transmit, tuner and monitor (src/commands/transmit.cpp) --------------------------------

  // ---- Noise reduction and notch (src/commands/noise.cpp) -------------------------------------

  // ---- Keyer, break-in and messages (src/commands/keyer.cpp) ----------------------------------

  // ---- Internal -------------------------------------------------------------------------------
  detail::ProtocolImpl& impl() { return *impl_; }
  const detail::ProtocolImpl& impl() const { return *impl_; }

 private:
  std::unique_ptr<detail::ProtocolImpl> impl_;
};

}  // namespace veltro
