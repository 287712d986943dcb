// A small host: creates a connector, takes the shared protocol object and prints the state a
// freshly loaded library reports before any port is opened.
#include <cstdio>

#include "veltro/ftdx10.h"

int main() {
  veltro::FTDX10_Connector connector;
  auto radio = connector.FTDX10_Protocol();
  std::printf("About        %s\n", radio->About().c_str());
  std::printf("Transceiver  %s\n", radio->Transceiver().c_str());
  std::printf("Port         %d (device \"%s\", speed \"%s\")\n", radio->Port(),
              radio->PortDevice().c_str(), radio->PortSpeed().c_str());
  std::printf("PortOpen     %d\n", radio->PortOpen().value());
  std::printf("CAT          %d\n", radio->CAT());
  std::printf("AutoPolling  %d\n", radio->AutoPolling().value());
  std::printf("VFOA_Freq    %.6f MHz\n", radio->VFOA_Freq());
  std::printf("VFOB_Freq    %.6f MHz\n", radio->VFOB_Freq());
  std::printf("Mode         %d\n", radio->Mode());
  std::printf("RangeMin/Max %.3f .. %.3f MHz\n", radio->RangeMin(), radio->RangeMax());
  std::printf("Channels     %d .. %d\n", radio->ChannelMin(), radio->ChannelMax());
  return 0;
}
