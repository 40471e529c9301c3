#!/usr/bin/env bash
# One program per user and display, with real processes on the offscreen
# platform: a second start hands its file to the first and exits 0; a socket
# left by a killed program is taken over; --new-instance starts a program of
# its own. The recent-file list in the settings shows which program opened
# what.
#   single_instance_test.sh PROGRAM SOURCE_DIR
set -euo pipefail
program="$1"
source "$(dirname "$0")/program_session.sh" "single instance" "$2"

export TMPDIR="$work/tmp" QT_QPA_PLATFORM=offscreen DISPLAY=:zolva-test
mkdir -p "$TMPDIR" "$work/music"
for name in one two three four; do
  cp "$2/examples/ode_to_joy.zvm" "$work/music/$name.zvm"
done

# Waits until the recent list's first file is $1.
opened() {
  for _ in $(seq 100); do grep -qxF "File1=$1" "$settings" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}
listening() {
  for _ in $(seq 100); do compgen -G "$XDG_RUNTIME_DIR/zolva-reader-*" >/dev/null && return 0; sleep 0.1; done
  return 1
}
start() { "$program" "$@" >>"$work/program.log" 2>&1 & pids+=($!); }

start
first=${pids[-1]}
listening || fail "the first program does not listen: $(cat "$work/program.log")"

# A relative name is handed over as an absolute path.
(cd "$work/music" && timeout 10 "$program" one.zvm) || fail "the second start did not hand its file over and exit 0"
opened "$work/music/one.zvm" || fail "the first program did not open the handed file"
timeout 10 "$program" || fail "a second start without files did not exit 0"

start --new-instance "$work/music/two.zvm"
opened "$work/music/two.zvm" || fail "--new-instance did not open its file"
sleep 0.5
kill -0 "${pids[-1]}" 2>/dev/null || fail "--new-instance did not keep its own program running"

# Killed, the first program leaves its socket behind; the next start takes it over.
kill -9 "$first"
wait "$first" 2>/dev/null || true
listening || fail "no socket left behind"
start "$work/music/three.zvm"
taker=${pids[-1]}
opened "$work/music/three.zvm" || fail "the start after a killed program did not open its file"
kill -0 "$taker" 2>/dev/null || fail "the start after a killed program ended: $(cat "$work/program.log")"
timeout 10 "$program" "$work/music/four.zvm" || fail "the program that took the socket over does not take files"
opened "$work/music/four.zvm" || fail "the program that took the socket over did not open the handed file"
echo "single instance: passes"
