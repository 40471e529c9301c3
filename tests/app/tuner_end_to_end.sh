#!/usr/bin/env bash
# The tuner in the real program, end to end: under a display server of its
# own, with a sound server whose null sink's monitor is the default input, a
# tone played into the sink reaches the tuner (its readings logged through
# ZOLVA_LISTEN_LOG), and the sound server sees a recording stream only while
# the tuner is on.
#   tuner_end_to_end.sh PROGRAM SOURCE_DIR
set -euo pipefail
program="$1"
source "$(dirname "$0")/program_session.sh" "tuner end to end" "$2"

export ZOLVA_LISTEN_LOG="$work/listen.log"
unset QT_QPA_PLATFORM
# Qt lists no sink monitors as inputs: the monitor remapped as a source of its own.
pactl load-module module-remap-source master=null.monitor source_name=listen >/dev/null || fail "no source"
pactl set-default-source listen || fail "no default source"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "the display server $DISPLAY does not answer"

# A recording stream of a client: the remapping's own stream has none.
recording() { pactl list short source-outputs | awk '$3 != "-" { found = 1 } END { exit !found }'; }
# Waits until the tuner logged a reading of tine $1 within a cent of $2 cents.
heard() {
  for _ in $(seq 100); do
    awk -v t="$1" -v c="$2" '$2 == "tuner" && $3 == t && $4 - c < 1 && c - $4 < 1 { found = 1 } END { exit !found }' \
      "$ZOLVA_LISTEN_LOG" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# Connecting to a display, libxkbcommon's strndup reads past what it copies,
# which the address sanitizer's strict string checks take for an overflow.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0" \
  "$program" --new-instance "$2/examples/ode_to_joy.zvm" >"$work/program.log" 2>&1 &
pids+=($!)
# Keys to the main window; no waiting on the display server, which a busy
# machine can keep from answering.
press() {
  xdotool windowfocus "$window" 2>/dev/null || true
  sleep 0.3
  xdotool key --window "$window" "$@" 2>/dev/null || xdotool key "$@"
}
window=""
for _ in $(seq 300); do
  window="$(xdotool search --onlyvisible --name "^Zolva Reader - " 2>/dev/null | head -1)" && [[ -n "$window" ]] && break
  sleep 0.1
done
[[ -n "$window" ]] || fail "no window: $(cat "$work/program.log")"
sleep 1
recording && fail "something records before the tuner is on"

press alt+p t
for _ in $(seq 50); do recording && break; sleep 0.1; done
recording || fail "the tuner did not open the input: $(cat "$work/program.log")"

# C4 (tine 9 of the piece's 17-tine C kalimba) 15.6 cents sharp: 264 Hz.
sox -n -r 44100 -c 1 "$work/tone.wav" synth 1.5 sine 264 vol 0.5
timeout 20 paplay -d null "$work/tone.wav" || fail "the tone did not play"
heard 9 15.6 || fail "the tuner did not read the tone: $(tail -5 "$ZOLVA_LISTEN_LOG" 2>/dev/null)"

press alt+p t
for _ in $(seq 50); do recording || break; sleep 0.1; done
recording && fail "the input stays open after the tuner is off"
echo "tuner end to end: passes"
