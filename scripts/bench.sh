#!/bin/sh
# Builds Release and prints every performance figure:
#   answers per second through ReadBuffer; an "IS" answer through ReadBuffer with the settings
#   file on disk; SetFreq call-to-wire latency over a pty; CPU of default polling against the
#   simulator program; peak memory of `veltro-ftdx10 watch`; time from SetCAT(1) to the first
#   full status cycle and the first level sequence; the tool's own times against its built-in
#   simulator: `get Freq`, one `call SetFreq`, a script of 100 `call SetFreq` lines; `serve`
#   under ten network clients (latency, CPU) and the time from the radio's knob to a client.
#
#   scripts/bench.sh                # polling and watch measured over 60 s each
#   scripts/bench.sh --seconds 10   # shorter, for CI
set -eu
cd "$(dirname "$0")/.."

SECONDS_RUN=60
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) SECONDS_RUN="$2"; shift 2 ;;
    --seconds=*) SECONDS_RUN="${1#*=}"; shift ;;
    -h|--help) sed -n '2,9p' "$0"; exit 0 ;;
    *) echo "bench.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

scripts/setup.sh test
B=build-release
cmake -S . -B "$B" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRO_BENCHMARKS=ON >/dev/null
cmake --build "$B" -j2 --target read_buffer_bench settings_write_bench set_freq_latency_bench \
  polling_bench serve_bench veltro-ftdx10 ftdx10-sim

OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
# The benchmarks' panorama settings go to their own folder, not the user's.
export XDG_CONFIG_HOME="$OUT/config"

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo
echo "== ReadBuffer (target >= 3 M answers/s)"
"$B/bench/read_buffer_bench" --benchmark_min_time=0.5 --benchmark_filter=BM_ReadBuffer
echo
echo "== An \"IS\" answer through ReadBuffer, saving the IF shift to disk (target p99 < 100 us)"
"$B/bench/settings_write_bench"
echo
echo "== SetFreq call-to-wire over a pty (target median < 50 us)"
"$B/bench/set_freq_latency_bench"
echo
echo "== Default polling for ${SECONDS_RUN} s against ftdx10-sim (target < 0.5 % of one core)"
echo "== and time from SetCAT(1) to the first status cycle and level sequence"
VELTRO_POLL_SECONDS="$SECONDS_RUN" "$B/bench/polling_bench"
echo

# Wall-clock seconds a command takes, from start to exit.
seconds() {
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.2f s\n", ns / 1e9 }'
}
echo "== veltro-ftdx10 on its built-in simulator (target: 100-line script under 5 s)"
i=0
while [ $i -lt 100 ]; do echo "call SetFreq 14.$((100 + i))"; i=$((i + 1)); done >"$OUT/script"
echo "get Freq:                   $(seconds "$B/veltro-ftdx10" get Freq)"
echo "call SetFreq 14.074:        $(seconds "$B/veltro-ftdx10" call SetFreq 14.074)"
echo "script of 100 call SetFreq: $(seconds "$B/veltro-ftdx10" script "$OUT/script")"
echo

# Peak resident memory of the tool: the built-in simulator (what a user runs first), and a
# port served by ftdx10-sim in another process, opened by the library itself and through the
# tool's relay.
peak_kb() {  # PID -> last VmHWM seen while the process lives
  peak=0
  while kill -0 "$1" 2>/dev/null; do
    v=$(awk '/^VmHWM:/ {print $2}' "/proc/$1/status" 2>/dev/null || true)
    [ -z "$v" ] && break  # gone, or a zombie that has no memory left to show
    peak=$v
    sleep 0.2
  done
  echo "$peak"
}
echo "== Peak memory of veltro-ftdx10 watch over ${SECONDS_RUN} s (target < 10 MB)"
"$B/veltro-ftdx10" watch --for "$SECONDS_RUN" >"$OUT/watch1" 2>&1 &
W1=$!
"$B/sim/ftdx10-sim" >"$OUT/sim" 2>/dev/null &
SIM=$!
i=0
while [ ! -s "$OUT/sim" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
PTY=$(head -n1 "$OUT/sim")
"$B/veltro-ftdx10" --port "$PTY" --direct watch --for "$SECONDS_RUN" >"$OUT/watch2" 2>&1 &
W2=$!
peak_kb $W2 >"$OUT/peak2" &
P2=$!
"$B/sim/ftdx10-sim" >"$OUT/sim3" 2>/dev/null &
SIM3=$!
i=0
while [ ! -s "$OUT/sim3" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
PTY3=$(head -n1 "$OUT/sim3")
"$B/veltro-ftdx10" --port "$PTY3" watch --for "$SECONDS_RUN" >"$OUT/watch3" 2>&1 &
W3=$!
peak_kb $W3 >"$OUT/peak3" &
P3=$!
PEAK1=$(peak_kb $W1)
wait $P2 $P3 || true
PEAK2=$(cat "$OUT/peak2")
PEAK3=$(cat "$OUT/peak3")
kill "$SIM" "$SIM3" 2>/dev/null || true
wait 2>/dev/null || true
echo "built-in simulator:         peak RSS ${PEAK1} kB, $(tail -n1 "$OUT/watch1")"
echo "ftdx10-sim on $PTY (--direct): peak RSS ${PEAK2} kB, $(tail -n1 "$OUT/watch2")"
echo "ftdx10-sim on $PTY3 (relay): peak RSS ${PEAK3} kB, $(tail -n1 "$OUT/watch3")"
echo
echo "== veltro-ftdx10 serve against the simulator"
VELTRO_SERVE_SECONDS=$((SECONDS_RUN < 20 ? SECONDS_RUN : 20)) "$B/bench/serve_bench"
