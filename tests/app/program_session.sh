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
