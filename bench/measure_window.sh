#!/usr/bin/env bash
# Measures the real program in a real X session (Xvfb), driven only through
# real input (xdotool):
#   - time from process start to the first painted frame,
#   - CPU time as a share of one core while running at heavy load, the
#     window's own and the X server's,
#   - simulated seconds against wall-clock seconds over the same run,
#   - the same CPU share while paused,
#   - peak resident memory;
#   - with SPEED_SECONDS, simulated seconds against wall-clock seconds and the
#     CPU share at each lecture speed (a quarter, half, one, two and four times
#     real time), first at the start-up settings, then at heavy load, each
#     speed set through the keys a lecturer presses and held that long;
#   - with SWEEP_SECONDS, simulated seconds against wall-clock seconds while
#     the analysis window's "What if" sweeps the arrival rate at M/M/2/5 (ten
#     points of four replications, each of 36,000 simulated seconds so that
#     the sweep outlasts the measurement), measured for that long.
# Prints "key=value" lines.
#
# The simulated clock is read from the running process's memory: the debugger
# finds the address of the model's SimTime once, through the debug
# information, and the script then reads those eight bytes from
# /proc/PID/mem at the start and the end of the run without stopping the
# program. The program contains no measuring code of its own.
#
#   bench/measure_window.sh [BUILD_DIR] [RUN_SECONDS] [PAUSED_SECONDS] [SPEED_SECONDS] [SWEEP_SECONDS]
set -euo pipefail

build_dir=${1:-build}
run_seconds=${2:-30}
paused_seconds=${3:-20}
speed_seconds=${4:-0}
sweep_seconds=${5:-0}
program=$build_dir/bin/waitline

# The heavy load, as the tests and the other benchmarks apply it.
load_file=$(dirname "${BASH_SOURCE[0]}")/../tests/support/load.h
heavy_value() {
    local value
    # Within ApplyHeavyLoad alone: the file holds other loads too.
    value=$(sed -n "/void ApplyHeavyLoad(/,/^}/ s/.*ComboId::$1, std::string_view(\"\([0-9.]*\)\").*/\1/p" "$load_file")
    [[ $value =~ ^[0-9.]+$ ]] || { echo "no single heavy $1 in $load_file" >&2; exit 1; }
    echo "$value"
}
heavy_arrival_rate=$(heavy_value ArrivalCombo)
heavy_service_rate=$(heavy_value ServeRateCombo)
heavy_queue_length=$(heavy_value QueueCombo)
heavy_servers=$(heavy_value ServerCombo)
for tool in Xvfb xdotool xwd gdb python3; do
    command -v "$tool" >/dev/null || { echo "measure_window: $tool is missing" >&2; exit 2; }
done
[[ -x $program ]] || { echo "measure_window: $program not built" >&2; exit 2; }

# A free display number.
display=90
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
app_pid=
cleanup() {
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=:$display
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.05
done

now() { date +%s.%N; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

# Start-up: launch, then poll the window's pixels until the light grey of the
# picture covers most of it.
start=$(now)
QT_QPA_PLATFORM=xcb "$program" >/dev/null 2>&1 &
app_pid=$!
first_frame=$(python3 - "$app_pid" "$start" <<'PY'
import subprocess, sys, time
pid, start = sys.argv[1], float(sys.argv[2])
deadline = time.time() + 20
wid = None
while time.time() < deadline:
    if wid is None:
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", pid], capture_output=True, text=True)
        ids = r.stdout.split()
        if ids:
            wid = ids[0]
        continue
    r = subprocess.run(["xwd", "-id", wid, "-silent"], capture_output=True)
    data = r.stdout
    if len(data) > 100000 and data.count(b"\xc0\xc0\xc0") > 792 * 567 // 2:
        print(f"{time.time() - start:.3f}")
        sys.exit(0)
print("nan")
PY
)
wid=$(xdotool search --onlyvisible --pid "$app_pid" | head -1)
echo "first_frame_seconds=$first_frame"

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.2; }
type_into() {
    click "$1" "$2"
    xdotool key --window "$wid" ctrl+a
    xdotool type --window "$wid" --delay 40 "$3"
    sleep 0.2
}

# The model's clock, queue length, server count and run flag, found with the
# debugger: "WL <address of SimTime> <queue> <servers> <running>".
locate_model() {
    gdb -p "$app_pid" -batch -nx \
        -ex 'thread 1' -ex 'frame function main' \
        -ex 'printf "WL %lu %d %d %d\n", &window.form_.sim.SimTime, window.form_.sim.QueueLength, window.form_.sim.NumServers, window.form_.sim.Running' \
        2>/dev/null | grep '^WL '
}

sim_time() {
    python3 - "$app_pid" "$sim_addr" <<'PY'
import struct, sys
with open(f"/proc/{sys.argv[1]}/mem", "rb") as mem:
    mem.seek(int(sys.argv[2]))
    print(repr(struct.unpack("<d", mem.read(8))[0]))
PY
}

# Simulated seconds per wall second and the CPU share at each lecture speed.
# Each speed is set as a lecturer sets it, wherever the focus is: Ctrl+0 for
# real time, then Ctrl+- slower or Ctrl++ (and its twin Ctrl+=) faster.
# Prints <key>_<speed>=... with $1 put before the speed.
measure_speeds() {
    local speed keys
    for speed in 0.25 0.5 1 2 4; do
        case $speed in
            0.25) keys="ctrl+0 ctrl+minus ctrl+minus" ;;
            0.5) keys="ctrl+0 ctrl+minus" ;;
            1) keys="ctrl+0" ;;
            2) keys="ctrl+0 ctrl+plus" ;;
            4) keys="ctrl+0 ctrl+plus ctrl+equal" ;;
        esac
        # shellcheck disable=SC2086 # one word a key
        xdotool key --window "$wid" --delay 100 $keys
        sleep 1
        local c0 c1 w0 w1 s0 s1
        c0=$(cpu_ticks "$app_pid"); w0=$(now); s0=$(sim_time)
        sleep "$speed_seconds"
        c1=$(cpu_ticks "$app_pid"); w1=$(now); s1=$(sim_time)
        python3 - "$1$speed" "$c0" "$c1" "$w0" "$w1" "$s0" "$s1" "$hz" <<'PY'
import sys
name = sys.argv[1]
c0, c1, w0, w1, s0, s1, hz = map(float, sys.argv[2:])
wall = w1 - w0
print(f"simulated_per_wall_{name}={(s1 - s0) / wall:.4f}")
print(f"running_cpu_percent_{name}={100 * (c1 - c0) / hz / wall:.2f}")
PY
    done
    xdotool key --window "$wid" ctrl+0
    sleep 0.5
}

if ((speed_seconds > 0)); then
    click 216 36
    read -r _ sim_addr _ _ _ < <(locate_model)
    measure_speeds light_
    # Stop, so that the heavy run below begins with Go as it does without speeds.
    click 216 36
fi

# Go, then heavy load: both rates typed, queue length and servers typed and
# taken by the once-a-second check. A check that applies a typed queue length
# puts the server count in effect back into its box, so the servers are typed
# only after the queue length has been taken.
click 216 36
type_into 620 82 "$heavy_arrival_rate"
type_into 636 542 "$heavy_service_rate"
type_into 612 122 "$heavy_queue_length"
sleep 1.3
type_into 412 542 "$heavy_servers"
sleep 1.3

# The model's clock and settings, found once with the debugger.
read -r _ sim_addr queue servers running < <(locate_model)
echo "heavy_load_settings=queue $queue servers $servers running $running"

sleep 1
cpu0=$(cpu_ticks "$app_pid"); x0=$(cpu_ticks "$xvfb_pid"); wall0=$(now); sim0=$(sim_time)
sleep "$run_seconds"
cpu1=$(cpu_ticks "$app_pid"); x1=$(cpu_ticks "$xvfb_pid"); wall1=$(now); sim1=$(sim_time)
python3 - "$cpu0" "$cpu1" "$wall0" "$wall1" "$sim0" "$sim1" "$hz" "$x0" "$x1" <<'PY'
import sys
c0, c1, w0, w1, s0, s1, hz, x0, x1 = map(float, sys.argv[1:])
wall = w1 - w0
print(f"running_cpu_percent={100 * (c1 - c0) / hz / wall:.2f}")
# The X server puts the window's frames on the screen, as Chromium's GPU
# process does the page's: the two together compare with all of Chromium.
print(f"running_display_server_cpu_percent={100 * (x1 - x0) / hz / wall:.2f}")
print(f"running_wall_seconds={wall:.3f}")
print(f"running_simulated_seconds={s1 - s0:.3f}")
print(f"simulated_per_wall={(s1 - s0) / wall:.4f}")
PY

if ((speed_seconds > 0)); then
    measure_speeds ""
fi

click 80 116
sleep 1
cpu0=$(cpu_ticks "$app_pid"); wall0=$(now)
sleep "$paused_seconds"
cpu1=$(cpu_ticks "$app_pid"); wall1=$(now)
python3 -c "import sys; c0,c1,w0,w1,hz=map(float,sys.argv[1:]); print(f'paused_cpu_percent={100*(c1-c0)/hz/(w1-w0):.2f}')" \
    "$cpu0" "$cpu1" "$wall0" "$wall1" "$hz"

echo "peak_rss_mb=$(awk '/VmHWM/ {printf "%.1f", $2 / 1024}' "/proc/$app_pid/status")"

if ((sweep_seconds > 0)); then
    # Running again at M/M/2/5, λ 3, μ 2: the places before the servers.
    click 80 116
    type_into 620 82 3
    type_into 636 542 2
    type_into 612 122 5
    sleep 1.3
    type_into 412 542 2
    sleep 1.3
    xdotool key --window "$wid" ctrl+i
    sleep 1.5
    analysis=$(xdotool search --onlyvisible --name "Analysis" | head -1)
    xdotool mousemove --window "$analysis" 106 12 click 1
    sleep 0.5
    # The seconds per point, then back through step, to and from: 0.5 to 5
    # in steps of 0.5; then Run.
    xdotool mousemove --window "$analysis" 90 75 click 1
    for value in 36000 0.5 5 0.5; do
        xdotool key --window "$analysis" ctrl+a
        xdotool type --window "$analysis" --delay 40 "$value"
        xdotool key --window "$analysis" shift+Tab
    done
    sleep 0.3
    xdotool mousemove --window "$analysis" 48 131 click 1
    sleep 1
    c0=$(cpu_ticks "$app_pid"); w0=$(now); s0=$(sim_time)
    sleep "$sweep_seconds"
    c1=$(cpu_ticks "$app_pid"); w1=$(now); s1=$(sim_time)
    python3 - "$c0" "$c1" "$w0" "$w1" "$s0" "$s1" "$hz" <<'PY'
import sys
c0, c1, w0, w1, s0, s1, hz = map(float, sys.argv[1:])
wall = w1 - w0
print(f"sweep_simulated_per_wall={(s1 - s0) / wall:.4f}")
print(f"sweep_process_cpu_percent={100 * (c1 - c0) / hz / wall:.2f}")
PY
    xdotool mousemove --window "$analysis" 135 131 click 1
fi

