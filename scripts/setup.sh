#!/bin/sh
# Installs the Debian packages a job needs, when any is missing:
#   scripts/setup.sh          the library, the tool and the simulator (scripts/main.sh)
#   scripts/setup.sh test     also the tests, the benchmarks, the sanitizer build, formatting,
#                             the install checks and packaging (scripts/test.sh, scripts/bench.sh)
set -eu
PACKAGES="cmake ninja-build g++"
case "${1:-}" in
  "") ;;
  test) PACKAGES="$PACKAGES libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev \
pkg-config valgrind clang-format dpkg-dev" ;;
  *) echo "setup.sh: unknown set $1 (only: test)" >&2; exit 2 ;;
esac
missing=""
for p in $PACKAGES; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
