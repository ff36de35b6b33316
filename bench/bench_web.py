#!/usr/bin/python3
"""The web edition's figures, in Debian's headless Chromium (a page of 1024 x 768).

    bench/bench_web.py --page build-web/bench/bench_step_views.html
        prints what the timing page measured (one step with both views, a pass
        with the sky strip or the lines of sight, next event once round Mars's
        synodic period)
    bench/bench_web.py --cpu build-web/heliogeo.html [--show nothing|planets|paths|sightlines|paused] [--seconds 10]
        passes the title screen and the box; unless --show nothing, chooses
        SYSTEM | &Beide (and for paths DARSTELLUNG | Planten &und Bahnen, for
        sightlines the lines of sight, for paused those and Space) with
        keys; lets it run at 60 passes/s and prints the page's CPU: the time
        its main thread was busy (DevTools' TaskDuration) and the CPU time of
        all of Chromium's processes (without a GPU: it paints in software),
        each as % of one core over the wall time; --size WxH and --ratio R
        give another page (CSS pixels) and device pixels per CSS pixel

The browser is driven by the end-to-end test's driver (tests/end_to_end.py).
"""

import argparse
import os
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing written into the sources
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
import end_to_end as e2e  # noqa: E402


def chromium_cpu_seconds(s):
    """CPU time (user + system) of every process of Chromium's session so far."""
    total = 0
    for pid in os.listdir("/proc"):
        try:
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rpartition(")")[2].split()
        except (OSError, ValueError):
            continue
        if pid.isdigit() and int(fields[3]) == s.proc.pid:  # fields[3]: the session id
            total += int(fields[11]) + int(fields[12])
    return total / os.sysconf("SC_CLK_TCK")


def task_seconds(s):
    metrics = s.cmd("Performance.getMetrics")["metrics"]
    return next(m["value"] for m in metrics if m["name"] == "TaskDuration")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--page", help="a timing page that leaves its figures in window.benchResult")
    ap.add_argument("--cpu", help="heliogeo.html, to measure its CPU while it animates both views")
    ap.add_argument("--show", choices=("nothing", "planets", "paths", "sightlines", "paused"), default="planets",
                    help="no system chosen, both views with planets only, or with planets and paths")
    ap.add_argument("--seconds", type=float, default=10)
    ap.add_argument("--size", default="1024x768", help="the page in CSS pixels, WxH")
    ap.add_argument("--ratio", type=float, default=1, help="device pixels per CSS pixel")
    args = ap.parse_args()
    page = os.path.abspath(args.page or args.cpu)
    if not (args.page or args.cpu):
        ap.error("--page or --cpu")
    with tempfile.TemporaryDirectory(prefix="heliogeo-bench-web-") as out:
        return measure(e2e.BrowserSession(page, out), args)


def measure(s, args):
    try:
        s.start()
        s.emulate(tuple(int(v) for v in args.size.split("x")), args.ratio)
        s.launch()
        if args.page:
            e2e.poll(lambda: (s.alive(), s.eval("typeof benchResult == 'string'"))[1], 300, "the page's figures")
            print(s.eval("benchResult").strip())
            return 0
        e2e.poll(lambda: s.eval("HG.firstKeyWait > 0"), 10, "the title screen")
        s.key("space", "Return")
        e2e.poll(lambda: [w for w in s.windows() if w["id"] == "box"], 10, "the start-up box")
        s.key("Return")
        e2e.poll(lambda: len(s.windows()) == 3, 10, "the views")
        if args.show != "nothing":
            s.key("Alt_L", "Right", "Down", "b")
        if args.show == "paths":
            s.key("Alt_L", "Right", "Right", "Down", "u")
        if args.show in ("sightlines", "paused"):
            s.key("s")  # EXTRAS: the lines of sight
        if args.show == "paused":
            s.key("space")
        time.sleep(2)
        s.cmd("Performance.enable")
        wall, task, cpu = time.monotonic(), task_seconds(s), chromium_cpu_seconds(s)
        time.sleep(args.seconds)
        wall, task, cpu = time.monotonic() - wall, task_seconds(s) - task, chromium_cpu_seconds(s) - cpu
        shown = {"nothing": "nothing shown", "planets": "both views, planets only",
                 "paths": "both views, planets and paths", "sightlines": "both views, lines of sight",
                 "paused": "both views, lines of sight, paused"}[args.show]
        print("%s, page %s at %g, %.0f s: page's main thread %.1f %% of one core, all of Chromium %.1f %%"
              % (shown, args.size, args.ratio, wall, 100 * task / wall, 100 * cpu / wall))
        return 0
    except e2e.Failed as e:
        print("FAILED: %s" % e, file=sys.stderr)
        return 1
    finally:
        s.close()


if __name__ == "__main__":
    sys.exit(main())
