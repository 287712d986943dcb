#!/bin/sh
# The main job: build the library, the tool and the simulator (no tests, no benchmarks), then
# the tool against its built-in simulator: the whole state of the radio, then a short scripted
# session (tune, change mode, split on) showing the Change events it raises.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DVELTRO_BENCHMARKS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target veltro-ftdx10 ftdx10-sim
./build/veltro-ftdx10 status
echo
./build/veltro-ftdx10 script - <<'SESSION'
# tune to 7.074 MHz, switch to CW, put split on and watch what the radio reports
call SetFreq 7.074
call SetMode 2 0
call SetSplit 1
wait 1.5
get Split
get TX_Freq
SESSION
