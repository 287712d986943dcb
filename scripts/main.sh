#!/bin/sh
# The main job: build, then run the example host against the built-in simulator.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
exec ./build/fresh_state "$@"
