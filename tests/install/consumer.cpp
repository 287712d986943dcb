// Opens the radio on the port given, switches CAT on and waits for its frequency: the smallest
// host there is, built against an installed library.
#include <veltro/events.h>
#include <veltro/ftdx10.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: consumer PORT\n");
    return 2;
  }
  veltro::FTDX10_Connector connector;
  auto radio = connector.FTDX10_Protocol();
  radio->PortDevice(argv[1]);
  radio->PortSpeed("38400");
  veltro::VBool open = veltro::kTrue;
  std::string address, code, msg;
  if (!radio->SetPort(open, address, code, msg)) {
    std::fprintf(stderr, "cannot open %s: %s\n", argv[1], msg.c_str());
    return 1;
  }
  std::int16_t cat = 1;
  radio->SetCAT(cat);
  for (int i = 0; i < 50 && radio->VFOA_Freq() == 0; ++i) veltro::RunEvents(100);
  std::printf("%s: VFO A at %.6f MHz\n", radio->About().c_str(), radio->VFOA_Freq());
  return radio->VFOA_Freq() > 0 ? 0 : 1;
}
