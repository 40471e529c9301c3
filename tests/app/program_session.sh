# What the tests that run the program itself share. Source it with the test's
# name and the source folder:
#   source program_session.sh NAME SOURCE_DIR
# It makes a work folder ($work) removed at exit with every process whose
# pid is added to pids, gives the program a home and a runtime folder there
# and a sound server of its own (else a message box would stop the start),
# and defines fail MESSAGE.
source "$2/scripts/lib/sound-server.sh"
session_name="$1"
work="$(mktemp -d)"
pids=()
cleanup() {
  # Asked to end first, so that a display server takes its socket with it.
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    timeout 3 tail --pid="$pid" -f /dev/null 2>/dev/null || true
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  [[ -n "${sound_server_pid:-}" ]] && kill "$sound_server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "$session_name: $*" >&2; exit 1; }

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
  XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME"
start_sound_server "$work" || fail "no sound server"
settings="$XDG_CONFIG_HOME/Zolva/Zolva Reader.conf"

# For the tests that drive the program under a display server and listen
# through the sound server:
#   listen_to_sink           the null sink's monitor as the default input
#   start_display            a display server of its own, answering ($DISPLAY)
#   start_program PROGRAM FILE
#                            the program on FILE, its main window in $window
#   press KEYS...            keys to that window
#   recording                whether a client records from the sound server
listen_to_sink() {
  # Qt lists no sink monitors as inputs: the monitor remapped as a source of its own.
  pactl load-module module-remap-source master=null.monitor source_name=listen >/dev/null || fail "no source"
  pactl set-default-source listen || fail "no default source"
}
start_display() {
  unset QT_QPA_PLATFORM
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
  xdotool getdisplaygeometry >/dev/null 2>&1 || fail "the display server $DISPLAY does not answer"
}
start_program() {
  # Connecting to a display, libxkbcommon's strndup reads past what it copies,
  # which the address sanitizer's strict string checks take for an overflow.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0" \
    "$1" --new-instance "$2" >"$work/program.log" 2>&1 &
  pids+=($!)
  window=""
  for _ in $(seq 300); do
    window="$(xdotool search --onlyvisible --name "^Zolva Reader - " 2>/dev/null | head -1)" && [[ -n "$window" ]] && break
    sleep 0.1
  done
  [[ -n "$window" ]] || fail "no window: $(cat "$work/program.log")"
  sleep 1
}
# No waiting on the display server, which a busy machine can keep from answering.
press() {
  xdotool windowfocus "$window" 2>/dev/null || true
  sleep 0.3
  xdotool key --window "$window" "$@" 2>/dev/null || xdotool key "$@"
}
# The remapping's own stream has no client.
recording() { pactl list short source-outputs | awk '$3 != "-" { found = 1 } END { exit !found }'; }
