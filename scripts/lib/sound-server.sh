# A PulseAudio server of its own with a null sink, for running the program
# where no sound server runs: the built-in synthesizer opens (else a message
# box would stop the start). Source this file, then
#   start_sound_server DIR    runs it in DIR (XDG_RUNTIME_DIR must be DIR's
#                             run folder), exports PULSE_SERVER and sets
#                             sound_server_pid; returns non-zero on failure
start_sound_server() {
  local dir="$1"
  mkdir -p "$XDG_RUNTIME_DIR/pulse"
  chmod 700 "$XDG_RUNTIME_DIR"
  export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --load=module-null-sink \
    --load="module-native-protocol-unix socket=$XDG_RUNTIME_DIR/pulse/native auth-anonymous=1" \
    >"$dir/pulse.log" 2>&1 &
  sound_server_pid=$!
  for _ in $(seq 50); do [[ -S "$XDG_RUNTIME_DIR/pulse/native" ]] && return 0; sleep 0.1; done
  echo "the sound server did not start: $(cat "$dir/pulse.log")" >&2
  return 1
}
