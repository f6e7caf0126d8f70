# The steps the Ardour tests share, sourced by their scripts after these are
# set: tmp (the test's folder), here (the folder of its session.lua), say,
# die and kit (testkit.py). Ardour 7.3 here is itself flaky under load: the
# steps retry what it gets wrong now and then, and fail what stays wrong.

run_logged() {  # $1 what, rest: command; bounded, its output shown only on failure
  local what=$1 status=0
  shift
  timeout -k 10 120 "$@" >"$tmp/log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    cat "$tmp/log" >&2
    [ "$status" -eq 124 ] && die "$what did not finish in 120 seconds"
    die "$what failed (status $status)"
  fi
}

lua() { run_logged "ardour7-lua $1" ardour7-lua "$here/session.lua" "$@"; }

# Under load Ardour now and then crashes in its own process thread
# (Route::run_route, or registering a port it has just registered) while the
# script adds the track; the session is made afresh then, up to three times.
create_session() {  # session.lua create's arguments; $1 is the session folder
  local attempt status
  for attempt in 1 2 3; do
    rm -rf "$1"
    status=0
    timeout -k 10 120 ardour7-lua "$here/session.lua" create "$@" >"$tmp/log" 2>&1 || status=$?
    [ "$status" -eq 0 ] && return 0
    [ "$status" -eq 139 ] || { cat "$tmp/log" >&2; die "ardour7-lua create failed (status $status)"; }
    say "attempt $attempt: Ardour crashed making the session; again"
  done
  cat "$tmp/log" >&2
  die "ardour7-lua create crashed $attempt times"
}

# ardour7-export on the dummy backend now and then hangs, aborts while
# tearing down, or starts the whole export some 16 frames early (its own
# synth too). Under load it has also written one wrong sample on the right
# channel every 2048 frames, downstream of the plug-in: the plug-in's own
# buffers held the right values. Those attempts are retried; an export that
# is wrong every time fails.
export_checked() {  # $1 output file; checked against $tmp/reference.wav
  local attempt status
  for attempt in 1 2 3 4 5; do
    rm -f "$1"
    status=0
    timeout -k 10 40 ardour7-export -b float -o "$1" "$tmp/session" kz318 >"$tmp/log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
      say "attempt $attempt: ardour7-export $([ "$status" -eq 124 ] && echo "hung" || echo "failed with status $status")"
      continue
    fi
    [ -s "$1" ] || die "ardour7-export wrote nothing"
    status=0
    kit check "$1" "$tmp/reference.wav" || status=$?
    case $status in
      0) return 0 ;;
      3) say "attempt $attempt: Ardour shifted the whole export; again" ;;
      *) say "attempt $attempt: the export is not what the instrument should play" ;;
    esac
  done
  cat "$tmp/log" >&2
  [ "$status" -eq 0 ] || [ "$status" -eq 3 ] || [ "$status" -ge 124 ] || die "the export is not what the instrument should play"
  die "no good export from ardour7-export in $attempt attempts"
}
