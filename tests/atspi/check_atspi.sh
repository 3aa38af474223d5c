#!/usr/bin/env bash
# Starts the window as on a desktop with a screen reader running, and reads it
# through AT-SPI as the screen reader would:
#
#   check_atspi.sh PROGRAM            check the tree and a run, print PASS or FAIL
#   check_atspi.sh PROGRAM --dump     print the whole tree the desktop shows
#   check_atspi.sh PROGRAM --hostile  open the analysis window and send what
#                                     broken or hostile readers send
#
# Everything runs privately: its own X server, its own D-Bus session and its
# own accessibility bus, so that parallel tests and the user's desktop are
# untouched. Exit status: 0 pass, 1 fail, 77 a tool is missing (skip).
# KEEP_WORK=1 leaves the logs of the X server, the buses and the program in
# the work directory for a look afterwards.
set -uo pipefail

SKIP=77
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

usage() {
  echo "usage: $0 PROGRAM [--dump]" >&2
  exit 2
}
[ $# -ge 1 ] && [ $# -le 2 ] || usage
program=$1
mode=${2:-check}
case "$mode" in check | --dump | --hostile) ;; *) usage ;; esac
if [ ! -x "$program" ]; then
  echo "FAIL: no program at $program"
  exit 1
fi

skip() {
  echo "SKIP: $*"
  exit "$SKIP"
}

# --- The tools ---------------------------------------------------------------

find_tool() {
  local candidate
  for candidate in "$@"; do
    if [ -x "$candidate" ]; then
      echo "$candidate"
      return 0
    fi
    if command -v "$candidate" >/dev/null 2>&1; then
      command -v "$candidate"
      return 0
    fi
  done
  return 1
}

xvfb=$(find_tool Xvfb) || skip "Xvfb not found (Debian package xvfb)"
dbus_daemon=$(find_tool dbus-daemon) || skip "dbus-daemon not found (Debian package dbus-daemon)"
dbus_send=$(find_tool dbus-send) || skip "dbus-send not found (Debian package dbus-bin)"
bus_launcher=$(find_tool /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher) ||
  skip "at-spi-bus-launcher not found (Debian package at-spi2-core)"
registryd=$(find_tool /usr/libexec/at-spi2-registryd /usr/lib/at-spi2-core/at-spi2-registryd) ||
  skip "at-spi2-registryd not found (Debian package at-spi2-core)"

# pyatspi comes with the distribution's own Python; an interpreter earlier on
# PATH (a virtual environment, pyenv) usually lacks it.
python=""
for candidate in /usr/bin/python3 "$(command -v python3 2>/dev/null)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ] &&
    "$candidate" -c 'import gi; gi.require_version("Atspi", "2.0"); import pyatspi' >/dev/null 2>&1; then
    python=$candidate
    break
  fi
done
[ -n "$python" ] || skip "no python3 with pyatspi (Debian package python3-pyatspi)"
if [ "$mode" = --hostile ]; then
  xdotool=$(find_tool xdotool) || skip "xdotool not found (Debian package xdotool)"
fi

# --- Private session ---------------------------------------------------------

work=$(mktemp -d "${TMPDIR:-/tmp}/waitline-atspi.XXXXXX") || exit 1
pids=()
names=()
started() {
  names+=("$1")
  pids+=("$2")
}

cleanup() {
  local i pid timer ended
  # In the reverse order of starting: the program goes while its buses are
  # still there to say goodbye on, the X server last.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    kill -TERM "$pid" 2>/dev/null || continue
    # Two seconds to go, then it is killed; waiting reaps it either way.
    sleep 2 &
    timer=$!
    ended=""
    wait -n -p ended "$pid" "$timer" 2>/dev/null
    if [ "$ended" = "$pid" ]; then
      kill "$timer" 2>/dev/null
      wait "$timer" 2>/dev/null
    else
      echo "${names[i]} did not end on TERM; killed"
      kill -KILL "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
    fi
  done
  [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
# A closed pipe (the dump read through `head`) must not end the script before
# it has ended what it started.
trap 'exit 1' INT TERM HUP PIPE

show_logs() {
  local log
  for log in "$work"/*.log; do
    [ -s "$log" ] || continue
    echo "--- $(basename "$log") (last lines)"
    tail -n 20 "$log"
  done
}

fail() {
  echo "FAIL: $*"
  show_logs
  exit 1
}

# The whole check ends within about this many seconds, hung or not; the
# reader is always given at least 20 of them.
BUDGET=60
deadline=$((SECONDS + BUDGET))

# Waits up to $1 seconds, and never past the deadline, for the command after
# it to succeed.
wait_for() {
  local end=$((SECONDS + $1))
  [ "$end" -le "$deadline" ] || end=$deadline
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

file_has_line() { [ -s "$1" ] && grep -q . "$1"; }
alive() { kill -0 "$1" 2>/dev/null; }

mkdir -m 700 "$work/runtime" "$work/config" "$work/cache" "$work/data"
# Nothing the programs save or look up may reach the user's own session.
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache \
  XDG_DATA_HOME=$work/data GSETTINGS_BACKEND=memory
unset WAYLAND_DISPLAY AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER

# The X server chooses a free display itself and writes its number once it
# accepts connections, so parallel runs never race for one. The bus launcher
# opens and closes the display before anything else holds it; an X server that
# resets when its last client leaves refuses connections for a moment, and a
# registry that came just then, on a busy machine, found no display and died.
"$xvfb" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
started Xvfb "$xvfb_pid"
wait_for 15 file_has_line "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"

# A session bus on a socket of our own, set before anything could autolaunch
# one through the X server. It starts no service on demand: every process on
# it is started here and ended by cleanup, none behind our back.
cat >"$work/session.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$work/session_bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
"$dbus_daemon" --config-file="$work/session.conf" --nofork --nosyslog \
  --print-address=3 3>"$work/session_address" >"$work/dbus.log" 2>&1 &
started dbus-daemon $!
wait_for 10 file_has_line "$work/session_address" || fail "the D-Bus session bus did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/session_address")
export DBUS_SESSION_BUS_ADDRESS

# The accessibility bus, which the program and the reader find through the
# session bus.
"$bus_launcher" --launch-immediately >"$work/bus-launcher.log" 2>&1 &
launcher_pid=$!
started at-spi-bus-launcher "$launcher_pid"
accessibility_bus_up() {
  alive "$launcher_pid" &&
    "$dbus_send" --session --print-reply --reply-timeout=1000 --dest=org.a11y.Bus /org/a11y/bus \
      org.a11y.Bus.GetAddress >"$work/a11y_address" 2>/dev/null &&
    grep -q 'string "unix:' "$work/a11y_address"
}
wait_for 15 accessibility_bus_up || fail "the accessibility bus did not start"
a11y_address=$(sed -n 's/.*string "\(unix:[^"]*\)".*/\1/p' "$work/a11y_address")

# The registry, which lists the applications for a screen reader. That bus
# would start it on demand, but then as no child of ours to end and reap.
"$registryd" >"$work/registryd.log" 2>&1 &
registryd_pid=$!
started at-spi2-registryd "$registryd_pid"
registry_up() {
  alive "$registryd_pid" &&
    "$dbus_send" --bus="$a11y_address" --print-reply --reply-timeout=1000 --dest=org.freedesktop.DBus \
      /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:org.a11y.atspi.Registry 2>/dev/null |
    grep -q 'boolean true'
}
wait_for 15 registry_up || {
  alive "$registryd_pid" || fail "the accessibility registry ended on start"
  fail "the accessibility registry did not start"
}

# Qt turns its AT-SPI bridge on only when the desktop says a screen reader is
# running, unless told to always.
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 \
  "$program" >"$work/program.log" 2>&1 &
program_pid=$!
started "$(basename "$program")" "$program_pid"

# Ctrl+I in the main window, as a user opens the analysis window. Without a
# window manager the window is given the focus directly.
open_analysis() {
  local window
  window=$(timeout 15 "$xdotool" search --sync --onlyvisible --pid "$program_pid" --name '^Waitline$' | head -n 1)
  [ -n "$window" ] || return 1
  "$xdotool" windowfocus --sync "$window" && sleep 0.3 && "$xdotool" key --clearmodifiers ctrl+i
}

# The reader gets what is left of the budget: a hung call ends here, not at
# CTest's timeout, and the processes above are still ended.
left=$((deadline - SECONDS))
[ "$left" -ge 20 ] || left=20
if [ "$mode" = --hostile ]; then
  open_analysis || fail "could not give the window the focus to open the analysis window"
  timeout --kill-after=2 "$left" "$python" "$here/hostile.py" --pid "$program_pid" --bus "$a11y_address" \
    --wait "$((left / 3))"
  status=$?
else
  args=(--pid "$program_pid" --wait "$((left / 2))")
  [ "$mode" = --dump ] && args+=(--dump)
  timeout --kill-after=2 "$left" "$python" "$here/read_tree.py" "${args[@]}"
  status=$?
fi
if ! alive "$program_pid"; then
  wait "$program_pid"
  program_status=$?
  # Reaped: its number may soon be another process's, which cleanup must
  # leave alone. The program was started last.
  unset 'pids[${#pids[@]}-1]'
  echo "FAIL: the program ended during the check (status $program_status)"
  show_logs
  exit 1
fi
case "$status" in
  0)
    case "$mode" in
      check) echo "PASS: the window's controls and statistics reach a screen reader and follow a run" ;;
      --hostile) echo "PASS: every request was answered and the program stayed up" ;;
    esac
    exit 0
    ;;
  124 | 137) fail "the reader did not finish within $left s" ;;
  1) [ "$mode" = --hostile ] && fail "some requests went unanswered or were answered wrongly (see above)"
     fail "the accessibility tree lacks what a screen reader needs (see the checks above)" ;;
  *) fail "could not read the accessibility tree (reader status $status)" ;;
esac
