#!/usr/bin/env bash
# Measures what the unit tests catch. Each fault in the list below is a small change to one file
# under src/ (a comparison flipped, a constant moved, a field width changed, a statement
# dropped), applied alone; the unit tests are rebuilt incrementally in build-mutate and run, and
# when they all pass the C interface test runs as well. Each fault prints as
#   caught    a test failed (or hung past the time limit)
#   survived  every test passed
#   stale     its original text is not found exactly once: re-anchor it after the code moved
#   invalid   it does not compile: replace it
# and the total counts the caught among the caught and survived. The source is restored after
# each fault and on exit or interrupt; a run that leaves src/ changed fails.
#
# A fault is one line: name @ file under src/ @ original text @ replacement ("(drop)": nothing).
# Usage: scripts/mutate.sh [--list] [--only PATTERN] [-j N]
# The 102 faults take about 11 minutes on two busy cores (each recompiles one to six files and
# relinks the tests); the first run also builds the tests once.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$ROOT/build-mutate
JOBS=2
ONLY='*'
LIST=0

FAULTS=$(
  cat <<'EOF'
sender-pending-query-sent @ link/sender.cpp @ if (state.QueryPending) return false; @ (drop)
sender-holdoff-dropped @ link/sender.cpp @ if (Elapsed(Now(), m.LastCommandTime) < m.QueryHoldoff) return false; @ (drop)
sender-window-boundary @ link/sender.cpp @ if (since_send <= m.PacingWindow) { @ if (since_send < m.PacingWindow) {
sender-no-terminator @ link/sender.cpp @ framed += ';'; @ (drop)
sender-query-flag-kept @ link/sender.cpp @ query = kFalse; @ (drop)
sender-query-sets-command-time @ link/sender.cpp @ if (!query) m.LastCommandTime = now; @ m.LastCommandTime = now;
sender-silence-restarts @ link/sender.cpp @ if (m.UnansweredSince < 0) m.UnansweredSince = now; @ m.UnansweredSince = now;
port-stop-bits @ link/port.cpp @ s.PortSettings = value + ",N,8,1"; @ s.PortSettings = value + ",N,8,2";
port-handshake-code @ link/port.cpp @ com.Handshaking(s.PortRTS ? 2 : 0); @ com.Handshaking(s.PortRTS ? 1 : 0);
port-open-keeps-mode @ link/port.cpp @ m.LastMode = -1; @ m.LastMode = 0;
round16-upper-bound @ host/convert.cpp @ r > 32767.0) @ r > 32768.0)
pad-one-short @ host/convert.cpp @ out.assign(width - text.size(), fill); @ out.assign(width - text.size() - 1, fill);
mid-one-short @ host/convert.cpp @ return text.substr(first - 1, last - first + 1); @ return text.substr(first - 1, last - first);
number-d-exponent @ host/convert.cpp @ text[i] == 'D' || text[i] == 'd' @ text[i] == 'D'
keyer-speed-offset @ host/scales.cpp @ return RoundToInt16(host / kHostFull * 56 + 4); @ return RoundToInt16(host / kHostFull * 56 + 5);
pitch-base @ host/scales.cpp @ return Floor16((hz + 0.01 - 300) / 10); @ return Floor16((hz + 0.01 - 290) / 10);
if-shift-step @ host/scales.cpp @ return hz / 20 * 20; @ return hz / 10 * 10;
break-in-ms-width @ host/scales.cpp @ PadLeft(DecimalText(host * 50), 4); @ PadLeft(DecimalText(host * 50), 3);
mode-rtty-usb-decoded @ host/mode_chars.h @ {'9', {5, 1, 0}} @ {'9', {5, 0, 0}}
ft891-menu-code-length @ host/profile.cpp @ .menu_code_length = 6, @ .menu_code_length = 5,
ft891-rf-gain-scale @ host/profile.cpp @ .rg_scale = 30.0f, @ .rg_scale = 31.0f,
ftdx10-filter-prefix @ host/profile.cpp @ p.state.FilterPrefix = "0"; @ p.state.FilterPrefix = "1";
change-compact-while-raising @ host/change.cpp @ if (raising == 0 && handlers_removed) { @ if (handlers_removed) {
timer-polling-interval @ host/library.cpp @ CreateTimer(175, @ CreateTimer(200,
timer-polling-not-started @ host/library.cpp @ cp->tmrPolling->Enabled(true); @ (drop)
text-overflow-as-mismatch @ host/types.cpp @ if (std::isinf(v)) throw AutomationError(ErrorNumber::kOverflow); @ if (std::isinf(v)) throw AutomationError(ErrorNumber::kTypeMismatch);
double-text-digits @ host/types.cpp @ "%.15g" @ "%.6g"
index-past-end @ host/getters.cpp @ index >= static_cast<long long>(N) @ index > static_cast<long long>(N)
level-keyer-threshold @ polling/query_sequences.cpp @ {14, 0, false, "KS"}, @ {14, 1, false, "KS"},
vfo-roofing-receiver @ polling/query_sequences.cpp @ "PA0", "RF0", @ "PA0", "RF1",
vfo-tone-step @ polling/query_sequences.cpp @ } else if (step == 27) { @ } else if (step == 26) {
fm-status-mode @ polling/query_sequences.cpp @ if (s.Mode != 4) return; @ if (s.Mode != 3) return;
level-restart-from-step @ polling/query_sequences.cpp @ module().LevelPollStep = 0; @ (drop)
poll-fm-every @ polling/scheduler.cpp @ kFMPollEvery = 5; @ kFMPollEvery = 6;
poll-split-every @ polling/scheduler.cpp @ kSplitPollEvery = 7; @ kSplitPollEvery = 8;
poll-auto-info-setting @ polling/scheduler.cpp @ return s.AutoPolling && !s.ReportChanges ? "AI0" : "AI1"; @ return s.AutoPolling || !s.ReportChanges ? "AI0" : "AI1";
poll-meters-while-pending @ polling/scheduler.cpp @ if (s.QueryPending || !s.AutoPolling) return; @ if (!s.AutoPolling) return;
poll-cycle-order @ polling/scheduler.cpp @ "OI", "TX", "AC", "VS" @ "OI", "AC", "TX", "VS"
tick-level-poll-gate @ polling/ticks.cpp @ if (m.LevelPollStep > 0 && !m.RefreshPending) return; @ if (m.LevelPollStep > 1 && !m.RefreshPending) return;
tick-toggle-stuck @ polling/ticks.cpp @ m.PollToggle = 1; @ m.PollToggle = 0;
tick-level-ceiling @ polling/ticks.cpp @ kLevelCounterCeiling = 48; @ kLevelCounterCeiling = 47;
read-buffer-cap @ parser/read_buffer.cpp @ kBufferCap = 4096; @ kBufferCap = 8192;
post-split-inverted @ parser/read_buffer.cpp @ if (s.VFO != s.TXVFO) { @ if (s.VFO == s.TXVFO) {
post-mode-no-shift-read @ parser/read_buffer.cpp @ SendRead("IS0"); @ (drop)
post-smeter-state @ parser/read_buffer.cpp @ RaiseChange(3); @ RaiseChange(2);
post-tx-freq-in-memory @ parser/read_buffer.cpp @ if (s.Split == 1 && s.MemMode == 0) { @ if (s.Split == 1) {
read-answers-kept-silent @ parser/read_buffer.cpp @ if (!in.empty()) m.UnansweredSince = -1.0f; @ (drop)
read-short-answers @ parser/read_buffer.cpp @ if (answer.size() > 2) { @ if (answer.size() > 3) {
status-length @ parser/status_answers.cpp @ kStatusLength = 27; @ kStatusLength = 28;
status-freq-digits @ parser/status_answers.cpp @ Mid(a, first, first + 8) @ Mid(a, first, first + 7)
status-memory-tune @ parser/status_answers.cpp @ (state == '1' || state == '2') ? 1 : 0; @ (state == '1') ? 1 : 0;
ai-restarts-always @ parser/status_answers.cpp @ if (old == -1 && !s.AutoPolling) @ if (!s.AutoPolling)
agc-auto-range @ parser/level_answers.cpp @ v < 0 || v >= 4 ? 4 : v; @ v < 0 || v >= 3 ? 4 : v;
if-shift-sign @ parser/level_answers.cpp @ CharAt(a, 5) == "-" ? 1 : -1; @ CharAt(a, 5) == "-" ? -1 : 1;
power-digits @ parser/level_answers.cpp @ FieldInt16(a, 3, 5), 100) @ FieldInt16(a, 3, 4), 100)
antenna-from-one @ parser/level_answers.cpp @ int v = FieldInt16(a, 4, 4) - 1; @ int v = FieldInt16(a, 4, 4);
shift-direction-swapped @ parser/menu_answers.cpp @ v == 1 ? 1 : v == 2 ? -1 : 0 @ v == 2 ? 1 : v == 1 ? -1 : 0
tone-number-not-asked @ parser/menu_answers.cpp @ p.SendRead("CN" + DecimalText(s.VFO) + "0"); @ (drop)
meter-ft891-digit @ parser/meter_answers.cpp @ } else if (!Ft891Profile(p) || which == 2) { @ } else {
att-saved-db @ parser/panorama.cpp @ {"RA02", "12"} @ {"RA02", "10"}
pre-saved-key @ parser/panorama.cpp @ kPreSteps, "PRE"); @ kPreSteps, "PREAMP");
ifs-ft891-zero @ parser/panorama.cpp @ if (Ft891Profile(p) && Mid(text, 4, 4) == "0") v = 0; @ (drop)
band-12m-edge @ commands/frequency.cpp @ {8, 24.5, 25.0} @ {8, 24.0, 25.0}
freq-digits-width @ commands/frequency.cpp @ PadLeft(DecimalText(static_cast<long long>(hz)), 9); @ PadLeft(DecimalText(static_cast<long long>(hz)), 8);
freq-no-rounding-guard @ commands/frequency.cpp @ * 1000000.0 + 0.1); @ * 1000000.0);
range-top-excluded @ commands/frequency.cpp @ Freq <= m.FreqRangeMax[i] @ Freq < m.FreqRangeMax[i]
width-ft891-narrow-steps @ host/filter_width.cpp @ {kFt891Voice, 3200, 9, 9, @ {kFt891Voice, 3200, 8, 9,
width-ftdx10-voice-entry @ host/filter_width.cpp @ 2400, 2450, 2500, @ 2400, 2460, 2500,
filter-centre-sign @ commands/filter.cpp @ sign = centre >= detail::kPassbandCentre ? '+' : '-'; @ sign = centre > detail::kPassbandCentre ? '+' : '-';
contour-gate @ commands/filter.cpp @ if (p.state.Property[50] < 3) return kFalse; @ if (p.state.Property[50] < 2) return kFalse;
shift-digits @ commands/filter.cpp @ sign + PadLeft(DecimalText(hz), 4); @ sign + PadLeft(DecimalText(hz), 3);
antenna-wire-offset @ commands/front_end.cpp @ "AN0", 1}; @ "AN0", 0};
receiver-beyond-count @ commands/front_end.cpp @ receiver < 0 || receiver > receivers - 1 || @ receiver < 0 ||
keyer-message-length @ commands/keyer.cpp @ kKeyerMessageMax = 40; @ kKeyerMessageMax = 50;
pitch-width @ commands/keyer.cpp @ std::string(code < 10 ? "0" : "") @ std::string(code < 10 ? "00" : "")
memory-clarifier @ commands/memory.cpp @ text += "+0000"; @ text += "+000";
memory-psk-reversed @ commands/memory.cpp @ c.reverse == 1 && e->reversed != e->normal ? @ c.reverse == 1 ?
mode-capability-bit @ commands/mode.cpp @ const int index = Mode + 1; @ const int index = Mode;
mode-no-frequency @ commands/mode.cpp @ SetFreq(s.Freq); @ (drop)
notch-off-command @ commands/noise.cpp @ {"BP00001", "BP00000", @ {"BP00001", "BP00001",
ctcss-index-from-one @ commands/tones.cpp @ if (kCtcssTones[i] == tone_hz) return static_cast<std::int16_t>(i); @ if (kCtcssTones[i] == tone_hz) return static_cast<std::int16_t>(i + 1);
tone-outside-fm @ commands/tones.cpp @ if (s.Mode != detail::kFM) return kFalse; @ (drop)
power-minimum @ commands/transmit.cpp @ kPowerMin = 5, @ kPowerMin = 10,
suspend-code @ commands/transmit.cpp @ if (L2 == 0) p.module().SendSuspended = kTrue; @ if (L2 == 2) p.module().SendSuspended = kTrue;
monitor-level-width @ commands/transmit.cpp @ MonitorLevelToRadio(P2)), 3)); @ MonitorLevelToRadio(P2)), 2));
monitor-not-fitted @ commands/transmit.cpp @ if (s.Property[63] == 0) return kFalse; @ (drop)
switch-on-when-off @ commands/command_helpers.cpp @ f.combined == 0 || f.combined >= 1000 @ f.combined == 0 || f.combined > 1000
selector-entry-bound @ commands/command_helpers.cpp @ value > entry) return std::nullopt; @ value > entry + 1) return std::nullopt;
settings-file-name @ platform/file_settings_store.cpp @ "/settings.ini"; @ "/setting.ini";
settings-next-section @ platform/file_settings_store.cpp @ if (in_section) break; @ (drop)
serial-not-open-number @ platform/posix_serial_control.cpp @ kErrNotOpen = 8018; @ kErrNotOpen = 8017;
serial-format-check @ platform/posix_serial_control.cpp @ rest != ",N,8,1" && @ rest != ",N,8,2" &&
serial-device-number @ platform/posix_serial_control.cpp @ std::to_string(port - 1); @ std::to_string(port);
serial-rts-cts-dropped @ platform/posix_serial_control.cpp @ if (handshaking_ == 2) attr.c_cflag |= CRTSCTS; @ (drop)
loop-late-tick-folding @ platform/posix_event_loop.cpp @ (late / t->interval_ns_ + 1) @ (late / t->interval_ns_)
loop-enable-rearms @ platform/posix_event_loop.cpp @ if (enabled && !enabled_) due_ns_ @ if (enabled) due_ns_
capi-argument-count @ capi/c_api.cpp @ return Fail(VELTRO_E_ARGUMENT_COUNT, e.what()); @ return Fail(VELTRO_E_FAILED, e.what());
capi-true-as-one @ capi/c_api.cpp @ r.i = *b ? -1 : 0; @ r.i = *b ? 1 : 0;
capi-boolean-type @ capi/c_api.cpp @ r.type = boolean ? VELTRO_BOOLEAN : VELTRO_INTEGER; @ r.type = VELTRO_INTEGER;
capi-read-only @ capi/c_api.cpp @ return Fail(VELTRO_E_READ_ONLY, std::string(name) @ return Fail(VELTRO_E_FAILED, std::string(name)
capi-name-past-end @ capi/c_api.cpp @ if (i < 0 || i >= veltro_member_count()) return nullptr; @ if (i < 0 || i > veltro_member_count()) return nullptr;
capi-unload-with-handles @ capi/c_api.cpp @ if (g_live.load() != 0) return 1; @ (drop)
EOF
)

while [ $# -gt 0 ]; do
  case $1 in
    --list) LIST=1 ;;
    --only) ONLY=$2; shift ;;
    -j) JOBS=$2; shift ;;
    -j*) JOBS=${1#-j} ;;
    *) echo "usage: $0 [--list] [--only PATTERN] [-j N]" >&2; exit 2 ;;
  esac
  shift
done

# Splits a fault line into NAME FILE ORIG REPL.
parse() {
  local rest=$1
  NAME=${rest%% @ *}; rest=${rest#* @ }
  FILE=src/${rest%% @ *}; rest=${rest#* @ }
  ORIG=${rest%% @ *}; REPL=${rest#* @ }
  [ "$REPL" = "(drop)" ] && REPL=
  return 0
}

if [ $LIST = 1 ]; then
  while IFS= read -r line; do
    parse "$line"
    # shellcheck disable=SC2053
    [[ $NAME == $ONLY ]] && printf '%-30s %-34s %s  ->  %s\n' "$NAME" "${FILE#src/}" "$ORIG" "${REPL:-(drop)}"
  done <<<"$FAULTS"
  exit 0
fi

if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$ROOT
  LAUNCH=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
else
  LAUNCH=()
fi
WORK=$(mktemp -d)
export XDG_CONFIG_HOME=$WORK/config HOME=$WORK/home
mkdir -p "$XDG_CONFIG_HOME" "$HOME"
SRC_BEFORE=$(git diff -- src | sha1sum)
CURRENT=
restore() {
  if [ -n "$CURRENT" ]; then cp "$WORK/original" "$CURRENT"; CURRENT=; fi
}
finish() {
  restore
  rm -rf "$WORK"
  if [ "$(git diff -- src | sha1sum)" != "$SRC_BEFORE" ]; then
    echo "src/ differs from before the run: check git diff" >&2
    exit 1
  fi
}
trap finish EXIT
trap 'exit 130' INT TERM

build() { cmake --build "$BUILD" -j"$JOBS" --target "$@" >"$WORK/build.log" 2>&1; }
# 0: every test passed; otherwise the failing program's name.
run_tests() {
  timeout 300 "$BUILD/unit_tests" >"$WORK/test.log" 2>&1 || { echo unit; return; }
  build c_api_test || { echo invalid; return; }
  timeout 120 "$BUILD/c_api_test" >"$WORK/test.log" 2>&1 || { echo c; return; }
  echo 0
}

START=$SECONDS
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRO_BENCHMARKS=OFF \
  "${LAUNCH[@]}" >/dev/null
if ! build unit_tests c_api_test || [ "$(run_tests)" != 0 ]; then
  echo "the unmodified tree does not build or pass its tests; see below" >&2
  tail -30 "$WORK/build.log" "$WORK/test.log" >&2
  exit 1
fi

caught=0 survived=0 stale=0 invalid=0
while IFS= read -r line; do
  parse "$line"
  # shellcheck disable=SC2053
  [[ $NAME == $ONLY ]] || continue
  result=stale
  if [ -f "$FILE" ]; then
    IFS= read -r -d '' text <"$FILE" || true
    without=${text//"$ORIG"/}
    if [ $(((${#text} - ${#without}) / ${#ORIG})) = 1 ]; then
      cp "$FILE" "$WORK/original"
      CURRENT=$FILE
      printf '%s' "${text/"$ORIG"/"$REPL"}" >"$FILE"
      if ! build unit_tests; then
        result=invalid
      else
        case $(run_tests) in
          0) result=survived ;;
          invalid) result=invalid ;;
          unit) result="caught" ;;
          c) result="caught (C interface test)" ;;
        esac
      fi
      restore
    fi
  fi
  case $result in
    caught*) caught=$((caught + 1)) ;;
    survived) survived=$((survived + 1)) ;;
    stale) stale=$((stale + 1)) ;;
    invalid) invalid=$((invalid + 1)) ;;
  esac
  printf '%-30s %-34s %s\n' "$NAME" "${FILE#src/}" "$result"
done <<<"$FAULTS"

echo "caught $caught of $((caught + survived)) ($stale stale, $invalid invalid)" \
  "in $(((SECONDS - START) / 60)) min"
