#!/bin/sh
# What a user gets from an install, checked as a user meets it:
#   1. `cmake --install` into a prefix, then moved elsewhere (nothing may name the old place);
#   2. a find_package consumer and pkg-config consumers in C and C++ built against it, and the
#      installed examples, run against the installed simulator;
#   3. the .deb from cpack installed with dpkg, and the tool run from it.
#   scripts/check_install.sh [BUILD_DIR]    (default build; scripts/test.sh runs it)
set -eu
cd "$(dirname "$0")/.."
B="${1:-build}"
T=$(mktemp -d)
SIM=""
trap '[ -n "$SIM" ] && kill "$SIM" 2>/dev/null; rm -rf "$T"' EXIT
# What the installed programs save goes to the check's own folder, not the user's.
export XDG_CONFIG_HOME="$T/config"

cmake --install "$B" --prefix "$T/installed" >/dev/null
mv "$T/installed" "$T/moved"
P="$T/moved"
"$P/bin/veltro-ftdx10" --version
"$P/bin/ftdx10-sim" >"$T/pty" &
SIM=$!
i=0
while [ ! -s "$T/pty" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
PTY=$(head -n1 "$T/pty")

echo "== find_package(Veltro_FTDX10), target Veltro::FTDX10"
cmake -S tests/install -B "$T/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$P" >/dev/null
cmake --build "$T/cmake" >/dev/null
"$T/cmake/consumer" "$PTY"

PC=$(dirname "$(find "$P" -name veltro-ftdx10.pc)")
export PKG_CONFIG_PATH="$PC"
LIBDIR=$(pkg-config --variable=libdir veltro-ftdx10)
echo "== pkg-config veltro-ftdx10 (C): $(pkg-config --cflags --libs veltro-ftdx10)"
# shellcheck disable=SC2046
cc -std=c11 -Wall -Wextra -Werror -pedantic tests/install/consumer.c \
  $(pkg-config --cflags --libs veltro-ftdx10) -Wl,-rpath,"$LIBDIR" -o "$T/c_consumer"
"$T/c_consumer"
echo "== pkg-config veltro-ftdx10-cxx (C++)"
# shellcheck disable=SC2046
c++ -Wall -Wextra -Werror tests/install/consumer.cpp \
  $(pkg-config --cflags --libs veltro-ftdx10-cxx) -Wl,-rpath,"$LIBDIR" -o "$T/cxx_consumer"
"$T/cxx_consumer" "$PTY"

# The installed examples that need only the library, each given the simulator's port. One that
# pumps events until stopped may run out its 10 s.
for e in "$P"/share/doc/*/examples/*.cpp; do
  [ -f "$e" ] || continue
  grep -q ftdx10sim "$e" && continue
  name=$(basename "$e" .cpp)
  echo "== example $name"
  # shellcheck disable=SC2046
  c++ -Wall -Wextra -Werror "$e" $(pkg-config --cflags --libs veltro-ftdx10-cxx) \
    -Wl,-rpath,"$LIBDIR" -o "$T/$name"
  status=0
  timeout 10 "$T/$name" "$PTY" >"$T/$name.out" 2>&1 || status=$?
  head -n 5 "$T/$name.out"
  if [ $status -ne 0 ] && [ $status -ne 124 ]; then
    echo "example $name failed with status $status" >&2
    exit 1
  fi
done
kill "$SIM"
SIM=""

echo "== the .deb"
rm -f "$B"/veltro-ftdx10_*.deb
(cd "$B" && cpack -G DEB >/dev/null)
DEB=$(ls "$B"/veltro-ftdx10_*.deb)
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO dpkg -i "$DEB" >/dev/null
/usr/bin/veltro-ftdx10 --version
$SUDO dpkg -P veltro-ftdx10 >/dev/null
echo "install checks passed: $(basename "$DEB")"
