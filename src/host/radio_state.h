// The protocol object's cache of the radio's state, with its values at creation. Fields are named
// after the property that returns them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "veltro/types.h"

namespace veltro::detail {

struct NoiseBlankerRecord {
  std::int16_t On = 0;
  std::int16_t Level = 0;
  std::string Query;
};

// NR, NF and KeyerSpeed as the host reads them: the level while the function is on (1), 1000 +
// the kept level while it is off. Setters and decoders both build the value here.
inline std::int16_t SwitchLevelValue(std::int16_t on, std::int16_t level) {
  return static_cast<std::int16_t>(on == 1 ? level : 1000 + level);
}

// The "RM" digit that reads the meter selected with "MS" (FTDX10; the FT-891 keeps its own):
// "5", "3", "4", "8", "7", "6" for meters 0..5, "0" for any other. The setter and the decoder
// both take it from here.
inline const char* MeterIndexOf(std::int16_t meter) {
  static constexpr const char* kDigits[] = {"5", "3", "4", "8", "7", "6"};
  return meter >= 0 && meter < 6 ? kDigits[meter] : "0";
}

inline constexpr int kPropertyCount = 101;
inline constexpr int kFilterRows = 3;    // filter 0..2
inline constexpr int kFilterModes = 11;  // mode 0..10

struct RadioState {
  RadioState();

  std::int16_t DataMode = 0;
  std::int16_t AIState = 0;  // -1: the auto-information setting must be configured again
  std::string MeterCaption;
  std::int16_t Meter = 0;
  std::int16_t Band = 0;
  std::int16_t Busy = 0;
  std::int16_t BK = 0;
  std::int16_t MicGain = 0, Monitor = 0;
  std::int16_t ProcLevel = 0;
  std::int16_t TXW = 0;
  std::int16_t MonitorLevel = 0, TXEQ = 0;
  std::int16_t BW = 0, IFS = 0;
  std::int16_t FNotch = 0;
  std::int16_t FContour = 0;
  std::int16_t APFOffset = 0;
  std::int16_t KeyerWPM = 0;
  std::int16_t MeterSW = 0;
  std::int16_t NBType = 1;
  std::int16_t ContourState = 0, APFState = 0;
  std::int16_t FullBK = 0;
  VBool CKBuffer = kFalse;
  VBool AutoReconnect = kFalse;
  VBool ReportChanges = kFalse;
  std::int16_t Port = 0;
  std::string PortSettings;
  std::string PortSpeed;
  std::string PortDevice;
  VBool PortOpen = kFalse;
  double Freq = 0, TX_Freq = 0;
  std::int16_t Mode = 0, TX_Mode = 0;
  std::int16_t VFO = 0;
  double VFOA_Freq = 0, VFOB_Freq = 0;
  VBool PortRTS = kTrue;
  VBool PortDTR = kFalse;
  std::int16_t SMeter = 0, Reverse = 0, Filter = 0;
  std::int16_t Channel = 1;
  std::int16_t ChannelMax = 99;
  std::int16_t ChannelMin = 1;
  float CTCSS = 0;
  std::int16_t DCS = 0, Enc = 0, Dec = 0, Split = 0, RPT = 0;
  std::string CHLabel;
  std::int16_t Tuner = 0, Fast = 0, Antenna = 0, Dual = 0, LockDial = 0, NB = 0, NF = 0, NR = 0,
               PreAmp = 0, Att = 0, AGC = 0, BKIn = 0, Vox = 0, Comp = 0, KeyerSpeed = 0;
  std::array<std::int16_t, kPropertyCount> Property{};
  std::int16_t Pitch = 0;
  std::int16_t MemMode = 0;
  double Sub_Freq = 0;
  std::int16_t CAT = 0;
  std::int16_t DimLevel = 0;
  float Shift = 0;
  std::int16_t PowerON = -1;
  std::int16_t PTT = 0;
  std::array<std::int16_t, 2> RFLevel{};
  std::int16_t RFPower = 0;
  std::array<std::int16_t, 2> SQLevel{}, AFLevel{};
  std::int16_t LowCutFilter[kFilterRows][kFilterModes] = {};
  std::int16_t HighCutFilter[kFilterRows][kFilterModes] = {};
  float TuningStep = 0;
  std::int16_t VFOA_Mode = 0, VFOB_Mode = 0;
  double RangeMin = 0.03;
  double RangeMax = 75.0;
  std::int16_t Range = 1;
  double RITOffset = 0;
  std::int16_t RITStatus = 0;
  std::int16_t Sub_Mode = 0;
  std::int16_t WidthCode = 0;
  std::string About;
  std::array<std::int16_t, 2> RFT{};
  std::string Transceiver = "FTDX-10";
  VBool AutoPolling = kTrue;
  std::int16_t NotchOn = 0, NotchLevel = 0;
  std::array<NoiseBlankerRecord, 3> NBRecord;
  std::int16_t NROn = 0, NRLevel = 0;
  std::string FullBKMenu = "EX020113";
  float RGScale = 255.0f;
  std::array<std::string, 2> RptShiftMenu{"EX010317", "EX010318"};
  std::string ContourLevelMenuDown = "EX030202", ContourLevelMenuUp = "EX030202";
  std::int16_t MenuCodeLength = 8;
  std::string FilterPrefix;
  std::int16_t IFShift = 0;
  Variant AutoNF;
  VBool StatusChange = kFalse;
  VBool RawCommandHold = kFalse;
  std::string CATAnswer;
  VBool QueryPending = kFalse;
  std::string MeterIndex = "0";
  std::array<std::string, 11> MeterNames{"PO", "COMP", "ALC", "VDD", "ID", "SWR"};
  std::int16_t PollStep = 0;
  std::string ContourLevelMenu = "EX030202";
  std::string ContourLevelMenu2 = "EX030203";
  std::int16_t ContourSign = 0;
  std::int16_t TXVFO = 0;
  std::int16_t ContourOn = 0;
  std::int16_t ContourLevel = 0;
  std::int16_t KeyerOn = 0, KeyerLevel = 0;
  std::int16_t APFOn = 0;
  std::int16_t APFLevel = 0;
  std::int16_t ToneDCS = 0;
  float ToneCTCSS = 0;
  std::int16_t FMPollCount = 0, SplitPollCount = 0;
};

}  // namespace veltro::detail
