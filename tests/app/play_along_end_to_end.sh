#!/usr/bin/env bash
# Play Along in the real program, end to end: under a display server of its
# own, with a sound server whose null sink's monitor is the default input,
# the first rows of an example played right into the sink move the cursor on
# row by row, and a wrong tine played after them is taken for wrong and
# leaves the cursor where it is (as ZOLVA_LISTEN_LOG tells).
#   play_along_end_to_end.sh PROGRAM SOUND_MAKER SOURCE_DIR
# SOUND_MAKER is example_rows_sound, which renders what is played.
set -euo pipefail
program="$1"
source "$(dirname "$0")/program_session.sh" "play along end to end" "$3"

rows=4
wrong="$("$2" ode_to_joy.zvm "$rows" "$work/right.wav" "$work/wrong.wav")" || fail "nothing to play"
export ZOLVA_LISTEN_LOG="$work/listen.log"
listen_to_sink
start_display

# The rows the cursor went to, one a line.
rows_logged() { awk '$2 == "along" && $3 == "row" { print $4 }' "$ZOLVA_LISTEN_LOG" 2>/dev/null || true; }
# Waits until the play-along logged "along $1".
logged() {
  for _ in $(seq 100); do
    grep -q " along $1\$" "$ZOLVA_LISTEN_LOG" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
log_tail() { tail -8 "$ZOLVA_LISTEN_LOG" 2>/dev/null | tr '\n' ';'; }

start_program "$program" "$3/examples/ode_to_joy.zvm"
press alt+p a
logged "row 0" || fail "play along did not start: $(cat "$work/program.log")"

timeout 30 paplay -d null "$work/right.wav" || fail "the rows did not play"
logged "row $rows" || fail "the cursor did not reach row $rows: $(log_tail)"
[[ "$(rows_logged | tr '\n' ' ')" == "$(seq -s ' ' 0 "$rows") " ]] ||
  fail "the cursor did not go row by row: $(log_tail)"
grep -q " along wrong" "$ZOLVA_LISTEN_LOG" && fail "the rows played right were taken for wrong: $(log_tail)"

timeout 30 paplay -d null "$work/wrong.wav" || fail "the wrong tine did not play"
logged "wrong $wrong" || fail "tine $wrong was not taken for wrong: $(log_tail)"
sleep 0.5
[[ "$(rows_logged | tail -1)" == "$rows" ]] || fail "the cursor moved on a wrong tine: $(log_tail)"

press alt+p a
logged "done" || fail "play along did not end: $(log_tail)"
echo "play along end to end: passes"
