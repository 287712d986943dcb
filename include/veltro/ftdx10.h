// The two classes a station-control host sees: FTDX10_Connector, the only class a host creates,
// and FTDX10_Protocol, the one protocol object all connectors share. Everything runs on the
// host's thread; see events.h for how a host drives timers and serial events.
//
// Conventions: booleans are VBool (-1 true, 0 false; any non-zero value passed in is true, and a
// result tests true in an `if` and equals `true`). A property's get and let are overloads of one
// name. A Set operation returns VBool success decided by its own checks, never by the radio. An
// argument the call may rewrite is taken by reference; a second overload takes a literal
// (`SetCAT(1)`, `SetMode(2, 0)`) and drops the rewritten value.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

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
  // False while the port is closed, or when something was written to the radio and no byte has
  // come back for more than 3 s: the radio is off, at another speed, or its cable is gone. True
  // otherwise, also before anything was sent. A radio that answers "?;" is answering.
  VBool RadioAnswering() const;
  // When true (default false), a port that hangs up (USB adapter gone, radio switched off) is
  // opened again by the same path once it is back, trying at gaps growing to 2 s; then CAT and
  // the refresh are restored as the host last set them. SetPort(false) stops the attempts.
  VBool AutoReconnect() const;
  void AutoReconnect(VBool value);
  // When true, each ordinary command first waits (up to 0.5 s) for the output to drain.
  VBool CKBuffer() const;
  void CKBuffer(VBool value);
  // Opens (PortOpen true) or closes the port. True on success with MSG ""; false with MSG set to
  // the reason (missing device, port in use, speed not supported...). Address and Code are unused.
  VBool SetPort(VBool& PortOpen, std::string& Address, std::string& Code, std::string& MSG);
  // The same for a literal: `SetPort(true, &msg)`; MSG may be null when the reason is not wanted.
  VBool SetPort(VBool PortOpen, std::string* MSG = nullptr);

  // ---- Polling --------------------------------------------------------------------------------
  // True (default): the library polls the radio. False: the radio reports changes itself (AI1).
  VBool AutoPolling() const;
  void AutoPolling(VBool value);
  // When true (default false) with AutoPolling true, CAT on (SetCAT(1), also after a reconnect or
  // SetPowerON) asks the radio to report its changes itself ("AI1" instead of "AI0") while the
  // library goes on polling: a turn of the knob reaches the cache at once. Read at CAT on.
  VBool ReportChanges() const;
  void ReportChanges(VBool value);
  // Set by the library before it raises Change(4); the host may reset it.
  VBool StatusChange() const;
  void StatusChange(VBool value);
  // One polling action: 0 follow the frequency, 1/2 one status-cycle step, 3 routine S-meter
  // poll, 4 AF gain query; other values do nothing.
  void SetPolling(std::int16_t& State);
  void SetPolling(const std::int16_t& State);
  // Switches the CAT link on (1) or off (0). Returns -1 if the port was open, else 0.
  std::int16_t SetCAT(std::int16_t& CAT);
  std::int16_t SetCAT(const std::int16_t& CAT);
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
  void SetCommand(const std::int16_t& Format, std::string Sequence);

  // ---- Frequency, VFO and split (src/commands/frequency.cpp) ---------------------------------
  // Frequencies are in MHz. A Set operation returning false sent nothing and stored nothing;
  // the cache holds what was sent until the radio's answers overwrite it.

  // True when Freq (MHz) is not 0 and lies in one of the radio's ranges (0.03 to 75 MHz; 54
  // for the FT-891), both ends included. Sends nothing.
  VBool ValidFreq(double Freq) const;
  // Tunes the VFO in use ("FA"/"FB", with "BS" first when VFO A changes band). False when
  // ValidFreq refuses Freq, in memory mode, or on any error (caught here).
  VBool SetFreq(double Freq);
  // Writes VFO B's frequency (VFO A's while TX watch is on) without range check or band change.
  VBool SetVFOB(double Freq);
  // Selects VFO 0 (A) or 1 (B), reads split, both frequencies and mode back and restarts the
  // current-VFO poll; other values select A silently. In memory mode it only leaves memory ("VM").
  VBool SetVFO(std::int16_t VFO);
  // Split off (0) or on (other values: transmit on B). True unless the radio has no split.
  VBool SetSplit(std::int16_t Split);
  // Puts Freq and Mode on the VFO not in use and switches split on. Mode may come back
  // rewritten (7 -> 4). False in memory mode; an error inside fails the call (AutomationError).
  VBool SetTX(double Freq, std::int16_t& Mode);
  VBool SetTX(double Freq, const std::int16_t& Mode);
  // Copies the VFO in use to the other one ("AB"/"BA"). False in memory mode.
  VBool SetAeqB();
  // Swaps the VFOs ("SV") and restarts the current-VFO poll. False in memory mode.
  VBool SetAexcB();
  // Selects band Band ("BS05" for 20 m) and waits 200 ms for the radio.
  VBool SetBand(std::int16_t Band);
  // The radio has no tuning-step table: Index 0 is accepted (step 0), any higher one refused.
  VBool SetTuningStep(std::int16_t Index);
  // UpDown 1 scans up, -1 down, 0 stops; other values send nothing and still return true.
  // Step is not used.
  VBool SetScanning(std::int16_t UpDown, std::int16_t Step);
  // RIT on (1) or off (0) with Offset in kHz (positive up, limited to 9.999 kHz). Always true;
  // without RIT it sends nothing. A NaN Offset fails with AutomationError 6.
  VBool SetRIT(std::int16_t Status, double Offset);
  // Clears the RIT offset ("RC").
  VBool SetRITClear();

  // ---- Mode and data mode (src/commands/mode.cpp) ---------------------------------------------
  // Host modes: 0 LSB, 1 USB, 2 CW, 3 AM, 4 FM, 5 RTTY, 6 PSK; Reverse 1 takes the other
  // sideband of CW and RTTY.

  // Sets the mode of the VFO in use and sends the frequency again (FM: reads the repeater
  // settings back). Mode 7 means FM and comes back as 4. False for a mode the radio lacks, in
  // memory mode, or on any error (caught here).
  VBool SetMode(std::int16_t& Mode, std::int16_t Reverse);
  VBool SetMode(const std::int16_t& Mode, std::int16_t Reverse);
  // Data variant (Data 1) or plain (Data 0) of LSB, USB or FM. False for other modes or a Data
  // value above what the radio offers. Reverse and Filter are not used.
  VBool SetDataMode(std::int16_t Mode, std::int16_t Data, std::int16_t Reverse,
                    std::int16_t Filter);

  // ---- Memory channels (src/commands/memory.cpp) ----------------------------------------------
  // Channel bounds for SetChannel are ChannelMin and ChannelMax (1 and 99 at start).

  // Stores the VFO in use (frequency, mode, tone, shift) into Channel, even while sending is
  // suspended, and enters memory mode. False when already in memory mode. INFO is not used.
  VBool SetVFOM(std::int16_t Channel, const std::string& INFO);
  // Recalls Channel ("MC005") and enters memory mode. False on VFO B or outside the bounds.
  VBool SetChannel(std::int16_t Channel);
  // Erasing a channel is not supported: always false, nothing sent.
  VBool MClear(std::int16_t Channel);

  // ---- FM repeater and tones (src/commands/tones.cpp) -----------------------------------------

  // Repeater shift of the VFO in use: -1 minus, 0 simplex, 1 plus (other values only ask the
  // radio); in FM the settings are read back. False when the radio has no repeater shift.
  VBool SetRPT(std::int16_t Direction);
  // Repeater shift amount in Hz, stored in kHz; above 60 MHz there is nothing to send, and the
  // call still returns true. A NaN or huge Shift fails with AutomationError 6.
  VBool SetShift(float Shift);
  // Tone of the VFO in use: Enc 0 off; Enc 1 with DCS code (023 as 23), or with the CTCSS tone
  // in Hz, encode only (Dec 0) or encode and decode (Dec 1). A tone not in the lists still sets
  // the tone mode. False outside FM or for a tone kind the radio lacks.
  VBool SetTone(float CTCSS, std::int16_t DCS, std::int16_t Enc, std::int16_t Dec);

  // ---- Filter, shift, contour and APF (src/commands/filter.cpp) -------------------------------
  // False means nothing was sent and nothing stored. Levels are on the host's 0..255 scale.

  // Stores the cut-offs (Hz) of Filter 0..2 in Mode 0..10; sends nothing. False when the radio
  // has no cut tables; a Filter or Mode outside the tables throws AutomationError 9.
  VBool SetCutFilter(std::int16_t Low, std::int16_t High, std::int16_t Filter, std::int16_t Mode);
  // Applies the stored pair of Filter for Mode: width step, IF shift (or narrow for AM/FM). False
  // when Filter is above the radio's count or Mode is not the current mode; Filter outside 0..2
  // throws AutomationError 9, a pass band beyond 16 bits error 6, both before anything is sent.
  VBool SetFilter(std::int16_t Filter, std::int16_t Mode, std::int16_t Reverse);
  // Level -128..128 shifts the passband (positive up); 1000..1255 sets the width directly
  // (1000 narrowest). False for other values, or a width in AM/FM.
  VBool SetIFShift(std::int16_t Level);
  // Param 0 on/off (0/1), 1 frequency (0..255 over 10..3200 Hz), 2 level (-99..99), 3 width
  // (0..99). False for a value out of range; a Param above 3 sends nothing and returns true.
  VBool SetContour(std::int16_t Param, std::int16_t Value);
  // Audio peak filter: Param 0 on/off (0/1, the peak goes back to the centre), 1 offset (0..255
  // over -250..+250 Hz). False for a value out of range; a Param above 1 sends nothing, true.
  VBool SetAPF(std::int16_t Param, std::int16_t Value);

  // ---- Receiver front end and levels (src/commands/front_end.cpp) -----------------------------
  // False means nothing was sent and nothing stored: the radio lacks the control, or a value is
  // negative or above what the radio offers. Receiver 0 is the main receiver.

  // AF gain and squelch 0..255 of Receiver. False for a receiver the radio lacks.
  VBool SetAFLevel(std::int16_t Receiver, std::int16_t Level);
  VBool SetSQLevel(std::int16_t Receiver, std::int16_t Level);
  // RF gain 0..255 (above 255 counts as 255); the radio's own scale runs the other way.
  VBool SetRFLevel(std::int16_t Receiver, std::int16_t Level);
  // AGC, attenuator and pre-amplifier codes 0 up to the radio's highest (Property 2, 4, 23).
  VBool SetAGC(std::int16_t AGC);
  VBool SetAtt(std::int16_t Att);
  VBool SetPreAmp(std::int16_t PreAmp);
  // Antenna 0 up to Property(3) (0-based here, 1-based on the radio). Always false on the FTDX10.
  VBool SetAntenna(std::int16_t Antenna);
  // Roofing filter code of Receiver 0/1, then reads width and IF shift back. False on the FT-891.
  VBool SetRFT(std::int16_t Receiver, std::int16_t RFT);
  // Dual receive off (0) or on (above 0). False when the radio has none (as the FTDX10).
  VBool SetDual(std::int16_t Dual);
  // Fast tuning off (0) or on (1), with the matching TuningStep; other values only read the
  // setting back (Fast is stored).
  VBool SetFast(std::int16_t Fast);
  // Dial lock off (0) or on (1) for the VFO in use.
  VBool SetLockDial(std::int16_t Dial);
  // Display dimmer 0 up to Property(9) (20; FT-891 15).
  VBool SetDimLevel(std::int16_t Level);
  // Power off (0) or on (1). On waits one second, switches on again and runs SetCAT(1).
  VBool SetPowerON(std::int16_t State);
  // Selects meter MS 0..10 (caption in MeterCaption) and reads it; false for any other MS.
  VBool SetMeterSW(std::int16_t MS);

  // ---- Transmit, tuner and monitor (src/commands/transmit.cpp) --------------------------------
  // Switches take 0 (off) or 1 (on). False means nothing was sent and nothing stored: the radio
  // lacks the function or the value is out of range.

  // Transmit (1) or receive (0).
  VBool SetPTT(std::int16_t PTT);
  // Starts one tuning cycle of the antenna tuner.
  VBool SetStartTuner();
  // Tuner off/on; asking for the state it is in already sends nothing and returns true.
  VBool SetTuner(std::int16_t Tuner);
  // Output power in watts, limited to 5..100.
  VBool SetRFPower(std::int16_t Power);
  // Microphone gain 0..255 (above counts as full). False only for a negative MG.
  VBool SetMicGain(std::int16_t MG);
  // Speech processor and transmit equaliser off/on.
  VBool SetComp(std::int16_t Comp);
  VBool SetTXEQ(std::int16_t TXEQ);
  VBool SetVox(std::int16_t Vox);
  // P1 0: monitor off/on (P2 0/1); P1 1: monitor level P2 0..255; other P1 reads the monitor.
  VBool SetMonitor(std::int16_t P1, std::int16_t P2);
  // TX watch off/on.
  VBool setTXW(std::int16_t State);
  // L1 1: L2 0 holds every command back, L2 1 lets them go again; 3: contour (L2 0 on/off, 1
  // level 0..255 in D); 4: contour level step (L2 -1 down, 1 up); 6: narrow off/on (L2 0/1).
  // Always false, also when something was sent; s is not used.
  VBool SetData(std::int16_t L1, std::int16_t L2, double D, const std::string& s);

  // ---- Noise reduction and notch (src/commands/noise.cpp) -------------------------------------
  // NR and NF read back the level while on and 1000 + the kept level while off. False means
  // nothing was sent and nothing stored: the radio lacks the function or the value is negative
  // or above its capability entry.

  // Blanker type 0 (off) up to Property(61); reads that type's level back.
  VBool SetNBType(std::int16_t NBType);
  // Blanker level 0 up to Property(17) for the type in use; false while the blanker is off.
  VBool SetNB(std::int16_t NB);
  // Noise reduction level 1 up to Property(19), 0 off. Returns -1 done, 0 refused.
  std::int16_t SetNR(std::int16_t NR);
  // Manual notch 1 up to Property(18) in tens of Hz (FNotch holds Hz), 0 off.
  VBool SetNF(std::int16_t NF);
  // Automatic notch off (0) or on (1).
  VBool SetAutoNF(std::int16_t AutoNF);

  // ---- Keyer, break-in and messages (src/commands/keyer.cpp) ----------------------------------
  // False means nothing was sent and nothing stored: the radio lacks the function or a value is
  // negative or out of range.

  // Break-in off (0) or on (1).
  VBool SetBK(std::int16_t BK);
  // Break-in delay 1 up to Property(5); 0 selects full break-in.
  VBool SetBKIn(std::int16_t BKIn);
  // Keyer speed 1..255 (4..60 WPM, in KeyerWPM), 0 keyer off; KeyerSpeed reads back the speed
  // while on and 1000 + the kept speed while off.
  VBool SetKeyerSpeed(std::int16_t KeyerSpeed);
  // CW pitch 300..1050 Hz, in 10 Hz steps.
  VBool SetPitch(std::int16_t Pitch);
  // Spot tone off (0) or on (1).
  VBool SetSpot(std::int16_t State);
  // Zero-in on the received CW signal.
  VBool SetZeroIN();
  // Plays voice message 1 up to Property(67); 0 stops.
  VBool SetVoiceMessage(std::int16_t MSG);
  // LOAD 0 plays keyer message MSG; LOAD 1 stores MESS (upper case, first 40 characters) in it;
  // other LOAD values send nothing and return true. False for a MESS containing ";".
  VBool SetKeyerMessage(std::int16_t LOAD, std::int16_t MSG, const std::string& MESS);

  // ---- Internal -------------------------------------------------------------------------------
  detail::ProtocolImpl& impl() { return *impl_; }
  const detail::ProtocolImpl& impl() const { return *impl_; }

 private:
  std::unique_ptr<detail::ProtocolImpl> impl_;
};

// The literal overloads: each hands a copy to the overload that may rewrite it.
inline VBool FTDX10_Protocol::SetPort(VBool PortOpen, std::string* MSG) {
  std::string address, code, msg;
  VBool result = SetPort(PortOpen, address, code, msg);
  if (MSG) *MSG = msg;
  return result;
}
inline void FTDX10_Protocol::SetPolling(const std::int16_t& State) {
  std::int16_t state = State;
  SetPolling(state);
}
inline std::int16_t FTDX10_Protocol::SetCAT(const std::int16_t& CAT) {
  std::int16_t cat = CAT;
  return SetCAT(cat);
}
inline void FTDX10_Protocol::SetCommand(const std::int16_t& Format, std::string Sequence) {
  std::int16_t format = Format;
  SetCommand(format, std::move(Sequence));
}
inline VBool FTDX10_Protocol::SetTX(double Freq, const std::int16_t& Mode) {
  std::int16_t mode = Mode;
  return SetTX(Freq, mode);
}
inline VBool FTDX10_Protocol::SetMode(const std::int16_t& Mode, std::int16_t Reverse) {
  std::int16_t mode = Mode;
  return SetMode(mode, Reverse);
}

}  // namespace veltro
