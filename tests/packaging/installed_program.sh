# Sourced by the Debian package checks: the installed program at work.
# Each function takes the command prefix that runs a program as the user
# (an array name), and fails the check (`fail`, from the caller) when the
# program does not do its part.

# osaprobe -DEMO finds the demo cutter. Arguments: prefix array name, the
# probe's path, a log file.
check_probe_runs() {
  local -n prefix=$1
  "${prefix[@]}" "$2" -DEMO >"$3" 2>&1 || { cat "$3"; fail "osaprobe -DEMO"; }
  grep -q '^Firmware version: *2.01' "$3" || { cat "$3"; fail "probe output"; }
}

# osactl -DEMO starts (the shipped media arrive in the user's folder), ends
# with 0 on SIGTERM, and has saved its settings there. Arguments: prefix
# array name, the controller's path, the user's folder for the program
# (~/.config/osactl as the program sees it, from here), a log file. The
# prefix must exec each step, so that the process started is the program.
check_controller_saves_per_user() {
  local -n prefix=$1
  local program=$2 folder=$3 log=$4 pid rc=0
  "${prefix[@]}" "$program" -DEMO >"$log" 2>&1 &
  pid=$!
  for _ in $(seq 1 600); do
    [ "$(ls "$folder/Media" 2>/dev/null | wc -l)" -eq 12 ] && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  sleep 1
  kill -0 $pid 2>/dev/null || { cat "$log"; fail "osactl -DEMO did not keep running"; }
  kill -TERM $pid
  # A start-up still under way when the request came would not end: stop it.
  for _ in $(seq 1 300); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  kill -0 $pid 2>/dev/null && { kill -KILL $pid; cat "$log"; fail "osactl did not end after SIGTERM"; }
  wait $pid || rc=$?
  [ $rc -eq 0 ] || { cat "$log"; fail "osactl ended with $rc after SIGTERM"; }
  [ "$(ls "$folder/Media" | wc -l)" -eq 12 ] || fail "media not in the user's folder"
  [ -f "$folder/OSACTL.INI" ] || { ls -la "$folder"; fail "settings not saved in the user's folder"; }
}
