#!/usr/bin/env bash
# classroom_cpu.sh [BUILD_DIR] [SECONDS] — the CPU of the real program under
# Xvfb 1024x768 while a class watches: both views animating at 60 passes/s,
# the same with the lines of sight on, and paused (lines of sight on). The
# program is steered as a pupil would, by keys (xdotool); its CPU time is read
# from /proc over SECONDS (default 10) in each state.
set -euo pipefail
build="${1:-build-test}"
seconds="${2:-10}"
program="$build/heliogeo"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $program_pid $xvfb 2>/dev/null || true' EXIT
export DISPLAY="$display"
sleep 1
"$program" >/dev/null 2>&1 &
program_pid=$!
sleep 1.5
main=$(xdotool search --sync --onlyvisible --name '^Helio- und geozentrisches Planetensystem$' | head -1)
keys() { xdotool windowfocus --sync "$main" key --delay 120 "$@"; sleep 1; }
ticks() { awk '{print $14 + $15}' "/proc/$program_pid/stat"; }
measure() {
  local t0 t1
  t0=$(ticks)
  sleep "$seconds"
  t1=$(ticks)
  awk -v a="$t0" -v b="$t1" -v hz="$(getconf CLK_TCK)" -v s="$seconds" -v what="$1" \
    'BEGIN { printf "%-40s %5.2f %% of one core\n", what, 100 * (b - a) / hz / s }'
}
keys space Return Return          # the title's two key waits, the warning
keys Alt_L Right Down b           # SYSTEM | &Beide
measure "both views, planets only"
keys s                            # EXTRAS | &Sichtlinien ein/aus
measure "both views, lines of sight"
keys space                        # EXTRAS | &Anhalten / Weiter
measure "paused, lines of sight"
