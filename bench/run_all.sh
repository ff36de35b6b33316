#!/usr/bin/env bash
# run_all.sh [BUILD_DIR [WEB_BUILD_DIR]] — every benchmark of heliogeo, one
# after the other on a quiet machine, each figure printed with the command
# that produced it. Needs the benchmarks built (./setup.sh test builds them
# into build-test/, and the web edition's pages into build-web/), Xvfb for the
# figures in real windows and Chromium for the web edition's.
set -euo pipefail
build="${1:-build-test}"
web="${2:-build-web}"
bench="$build/bench"
py=/usr/bin/python3  # Debian's, with python3-websocket and python3-pil
[ -x "$py" ] || py=python3
xvfb() { local size="$1"; shift; xvfb-run -a -s "-screen 0 ${size}x24" "$@" 2>/dev/null; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

echo "== one step of the model alone (SystemMode 0)"
echo "\$ $bench/bench_step --benchmark_repetitions=5 --benchmark_report_aggregates_only=true"
"$bench/bench_step" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null | grep -E 'median'

for screen in 1024x768 3840x2160; do
  echo "== one step with both views, offscreen $screen: incremental, and the full redraw beside it"
  echo "\$ $bench/bench_render --screen=$screen --benchmark_repetitions=5 --benchmark_report_aggregates_only=true"
  "$bench/bench_render" --screen="$screen" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null \
    | grep -E 'median'
done

# CPU of the paced loop: every configuration once per round, five rounds, so
# that a busy spell on the machine falls on all of them alike; the median of
# each, and its ratio to the idle loop's median of the same run.
configs=(
  "--system-mode 0"
  "--system-mode 3 --draw-mode 6"
  "--system-mode 3 --draw-mode 7"
  "--system-mode 3 --draw-mode 6 --polygon 1"
  "--system-mode 3 --draw-mode 6 --views hidden"
  "--probe-box 1"
  "--probe-box 100"
)
declare -A runs
for _ in 1 2 3 4 5; do
  for args in "${configs[@]}"; do
    runs[$args]+="$(xvfb 1024x768 "$bench/bench_loop_cpu" $args --seconds 10 | sed -E 's/.*= ([0-9.]+) % of one core/\1/') "
  done
done
echo "== CPU of the paced loop at 60 passes/s under Xvfb 1024x768, % of one core: median of 5 runs of 10 s [all runs]"
echo "\$ xvfb-run -s '-screen 0 1024x768x24' $bench/bench_loop_cpu ARGS --seconds 10"
idle=$(echo ${runs["--system-mode 0"]} | tr ' ' '\n' | median)
for args in "${configs[@]}"; do
  m=$(echo ${runs[$args]} | tr ' ' '\n' | median)
  printf '%-45s %5s %%  %4.1f x idle  [%s]\n' "$args" "$m" "$(echo "$m $idle" | awk '{print $1 / $2}')" "${runs[$args]% }"
done

echo "== the real program's CPU at 60 passes/s under Xvfb 1024x768, steered by keys: animating, with the lines of sight, paused"
echo "\$ bench/classroom_cpu.sh $build 10"
bench/classroom_cpu.sh "$build" 10

for screen in 1024x768 3840x2160; do
  echo "== steps per second, unpaced, both views (DrawMode 6), real windows under Xvfb $screen"
  echo "\$ xvfb-run -s '-screen 0 ${screen}x24' $bench/bench_loop_cpu --system-mode 3 --steps-per-second 0 --seconds 10"
  xvfb "$screen" "$bench/bench_loop_cpu" --system-mode 3 --steps-per-second 0 --seconds 10 | sed -E 's/.*= ([0-9]+) steps\/s.*/\1 steps\/s/'
done

echo "== one step with both views, a pass with the sky strip or the lines of sight, next event once round Mars's"
echo "   synodic period, in the model and in the real sky, the real sky's list of 1000 days: the same timing"
echo "   program on the desktop (offscreen 1024x768) and in the browser"
echo "   (headless Chromium, a page of 1024x768); 5 runs of each, side by side, and the median of each figure"
echo "\$ $bench/bench_step_views --screen=1024x768"
cmake --build "$web" --target bench_step_views_page >/dev/null
echo "\$ bench/bench_web.py --page $web/bench/bench_step_views.html"
for _ in 1 2 3 4 5; do
  "$bench/bench_step_views" --screen=1024x768 2>/dev/null | sed 's/^/desktop /'
  "$py" bench/bench_web.py --page "$web/bench/bench_step_views.html" | tail -n +2 | sed 's/^/browser /'
done | "$py" -c '
import re, statistics, sys
said = {"screen": "planets only %.1f us, with the polygon %.1f us, planets and paths %.1f us",
        "one pass": "a pass with neither %.1f us, the sky strip %.1f us, the lines of sight %.1f us",
        "next event": "next event once round Mars\x27s synodic period %.1f ms",
        "real sky: one pass": "real sky: a pass with neither %.1f us, the sky strip %.1f us, the lines of sight %.1f us",
        "real sky: the list": "real sky: the list of 1000 days %.1f ms, next event once round Mars\x27s synodic"
                              " period from 2027 %.1f ms, the longest jump %.1f ms"}
runs = {}
for line in sys.stdin:
    edition, text = line.split(" ", 1)
    kind = next(k for k in said if text.startswith(k))
    runs.setdefault((edition, kind), []).append([float(v) for v in re.findall(r"([0-9.]+) [um]s", text)])
for (edition, kind), rows in runs.items():
    print(edition + ": " + said[kind] % tuple(statistics.median(column) for column in zip(*rows)))'

for show in nothing planets paths sightlines paused; do
  echo "== the web edition's CPU at 60 passes/s in headless Chromium, a page of 1024x768, $show (median of 3 runs of 10 s)"
  echo "\$ bench/bench_web.py --cpu $web/heliogeo.html --show $show --seconds 10"
  for _ in 1 2 3; do "$py" bench/bench_web.py --cpu "$web/heliogeo.html" --show "$show" --seconds 10 | tail -1; done \
    | awk '{ for (i = 1; i < NF; i++) if ($i == "thread") print $(i + 1), $0 }' | sort -n | sed -n '2s/^[^ ]* //p'
done

echo "== the web edition's file"
echo "\$ stat -c %s $web/heliogeo.html"
echo "$(stat -c %s "$web/heliogeo.html") bytes"

echo "== start to title screen, peak resident memory, Quit to exit: the end-to-end runs (the browser's too)"
echo "\$ (cd $build && ctest -R end_to_end) && cat $build/tests/end_to_end_*/figures.txt"
(cd "$build" && ctest -R end_to_end >/dev/null) && for f in "$build"/tests/end_to_end_*/figures.txt; do
  echo "-- $(basename "$(dirname "$f")")"
  cat "$f"
done
