#!/bin/sh
# The main job: build, then the command-line tool against the built-in simulator: the whole state
# of the radio, then a short scripted session (tune, change mode, split on) showing the Change
# events it raises. Ends by itself in about 25 seconds.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
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
