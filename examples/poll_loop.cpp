// A host with its own poll loop: opens a port, switches CAT on, and prints what changes for a
// while. The library has no thread; its timers and serial input run inside DispatchEvents(),
// which this loop calls whenever veltro::EventFd() is readable or a timer falls due.
//
//   poll_loop [--seconds N] [DEVICE [SPEED]]     e.g. poll_loop /dev/ttyUSB0 38400
//
// Without a DEVICE it starts the radio simulator on a pty and turns its VFO knob a little.
// Exits 0 when the radio answered, 1 when the port did not open or nothing came back.
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "ftdx10sim/simulator.h"
#include "veltro/events.h"
#include "veltro/ftdx10.h"

namespace {

using Clock = std::chrono::steady_clock;

void PrintState(const char* why, veltro::FTDX10_Protocol& radio) {
  std::printf("%-10s Freq %.6f MHz  Mode %d  SMeter %d  Split %d\n", why, radio.Freq(),
              radio.Mode(), radio.SMeter(), radio.Split());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 10;
  std::string device, speed = "38400";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
      seconds = std::atoi(argv[++i]);
    } else if (device.empty()) {
      device = argv[i];
    } else {
      speed = argv[i];
    }
  }

  std::unique_ptr<veltro::sim::Simulator> simulator;
  if (device.empty()) {
    simulator = std::make_unique<veltro::sim::Simulator>();
    simulator->Start();
    device = simulator->SlavePath();
  }

  veltro::FTDX10_Connector connector;
  auto radio = connector.FTDX10_Protocol();
  radio->PortDevice(device);
  radio->PortSpeed(speed);
  std::string msg;
  if (!radio->SetPort(true, &msg)) {
    std::fprintf(stderr, "cannot open %s: %s\n", device.c_str(), msg.c_str());
    return 1;
  }
  // Change comes for split, mode, S-meter and level changes; a frequency alone raises none, so
  // the loop below watches Freq itself.
  radio->AddChangeHandler([&](std::int16_t& state) {
    const char* why[] = {"", "mode", "", "S-meter", "level"};
    PrintState(state >= 1 && state <= 4 ? why[state] : "change", *radio);
  });
  radio->SetCAT(1);
  if (simulator) simulator->TurnKnob(30, 100, std::chrono::milliseconds(100));  // 3 kHz in 3 s

  const auto end = Clock::now() + std::chrono::seconds(seconds);
  double freq = radio->Freq();
  pollfd watch{veltro::EventFd(), POLLIN, 0};
  for (auto now = Clock::now(); now < end; now = Clock::now()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    poll(&watch, 1, veltro::NextTimeoutMs(static_cast<int>(left)));
    veltro::DispatchEvents();
    if (radio->Freq() != freq) {
      freq = radio->Freq();
      PrintState("frequency", *radio);
    }
  }

  const bool answered = radio->VFOA_Freq() > 0;
  radio->SetPort(false);
  if (!answered) std::fprintf(stderr, "no answer from the radio on %s\n", device.c_str());
  return answered ? 0 : 1;
}
