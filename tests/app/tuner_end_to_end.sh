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
listen_to_sink
start_display

# Waits until the tuner logged a reading of tine $1 within a cent of $2 cents.
heard() {
  for _ in $(seq 100); do
    awk -v t="$1" -v c="$2" '$2 == "tuner" && $3 == t && $4 - c < 1 && c - $4 < 1 { found = 1 } END { exit !found }' \
      "$ZOLVA_LISTEN_LOG" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

start_program "$program" "$2/examples/ode_to_joy.zvm"
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
