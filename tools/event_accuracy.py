#!/usr/bin/env python3
"""event_accuracy.py — the real sky's event times against an independent ephemeris.

    cmake --build build-test --target event_times
    tools/event_accuracy.py --program build-test/event_times --years 1900 2100

Each planet's events are found again by tools/event_reference.js from the npm
package ephemeris (Moshier's theory, fitted to JPL's DE404) or astronomy-engine,
installed with npm into the cache folder (outside the sources; kept, with the
reference times, for the next run). Prints, per planet and kind of event, how
many there were and how far the program's times lie from the reference's: the
largest difference, the 99th percentile and how many lie beyond 5 minutes;
--worst N adds the N largest differences of each kind with their reference
times (TT). --engine picks the reference, --against compares a second
reference with it instead of the program, --planets some planets only.
"""
import argparse
import bisect
import collections
import datetime
import os
import subprocess
import sys
from pathlib import Path

PLANETS = ["mercury", "venus", "mars", "jupiter"]
PACKAGES = {"moshier": "ephemeris@3.2.1", "astronomy-engine": "astronomy-engine@2.1.19"}
GROUPS = {"inferior-conjunction": "conjunction", "superior-conjunction": "conjunction",
          "conjunction": "conjunction", "opposition": "opposition", "east-quadrature": "quadrature",
          "west-quadrature": "quadrature", "station-retrograde": "station", "station-direct": "station",
          "greatest-east-elongation": "elongation", "greatest-west-elongation": "elongation"}
ORDER = ["conjunction", "opposition", "quadrature", "station", "elongation"]
J2000 = datetime.datetime(2000, 1, 1, 12)


def reference(engine, years, cache, planets):
    """The engine's events over the years, made once and kept in the cache."""
    lines = []
    for planet in planets:
        path = cache / f"{engine}-{planet}-{years[0]}-{years[1]}.txt"
        if not path.exists():
            modules = cache / "node_modules"
            if not (modules / PACKAGES[engine].split("@")[0]).exists():
                subprocess.run(["npm", "install", "--prefix", str(cache), "--no-audit", "--no-fund", "-q",
                                PACKAGES[engine]], check=True)
            print(f"{engine}: {planet} {years[0]}-{years[1]} …", file=sys.stderr)
            script = Path(__file__).with_name("event_reference.js")
            out = subprocess.run(["node", str(script), engine, planet, str(years[0]), str(years[1])],
                                 check=True, capture_output=True, text=True,
                                 env=dict(os.environ, NODE_PATH=str(modules))).stdout
            path.write_text(out)
        lines += path.read_text().splitlines()
    return lines


def table(lines):
    events = collections.defaultdict(list)
    for line in lines:
        planet, kind, day = line.split()
        events[(planet, kind)].append(float(day))
    for days in events.values():
        days.sort()
    return events


def tt_text(day):
    return (J2000 + datetime.timedelta(days=day)).strftime("%Y-%m-%d %H:%M:%S TT")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", default="build-test/event_times")
    parser.add_argument("--years", nargs=2, type=int, default=[1900, 2100])
    parser.add_argument("--engine", choices=sorted(PACKAGES), default="moshier")
    parser.add_argument("--against", choices=sorted(PACKAGES))
    parser.add_argument("--cache", type=Path, default=Path("/tmp/heliogeo-event-reference"))
    parser.add_argument("--worst", type=int, default=0)
    parser.add_argument("--planets", nargs="+", choices=PLANETS, default=PLANETS)
    args = parser.parse_args()
    args.cache.mkdir(parents=True, exist_ok=True)
    ref = table(reference(args.engine, args.years, args.cache, args.planets))
    if args.against:
        ours = table(reference(args.against, args.years, args.cache, args.planets))
    else:
        ours = table(subprocess.run([args.program, *map(str, args.years)], check=True, capture_output=True,
                                    text=True).stdout.splitlines())
    differences = collections.defaultdict(list)
    missing = collections.Counter()
    for (planet, kind), days in ref.items():
        found = ours.get((planet, kind), [])
        for day in days:
            i = bisect.bisect_left(found, day)
            near = [found[j] for j in (i - 1, i) if 0 <= j < len(found)]
            best = min(near, key=lambda d: abs(d - day), default=None)
            if best is None or abs(best - day) > 2:
                missing[(planet, kind)] += 1
                continue
            differences[(planet, GROUPS[kind])].append(((best - day) * 1440, kind, day))
    print(f"{args.against or args.program} against {args.engine}, {args.years[0]}-{args.years[1]}: "
          "events, largest |difference|, 99th percentile, beyond 5 min (minutes)")
    for planet in args.planets:
        for group in ORDER:
            found = sorted(differences.get((planet, group), []), key=lambda d: -abs(d[0]))
            if not found:
                continue
            sizes = sorted(abs(d[0]) for d in found)
            print(f"  {planet:8} {group:12} {len(found):5}  {sizes[-1]:5.1f}  {sizes[int(0.99 * (len(sizes) - 1))]:5.1f}"
                  f"  {sum(s > 5 for s in sizes):4}")
            for minutes, kind, day in found[:args.worst]:
                print(f"      {kind:26} {tt_text(day)}  {minutes:+6.1f}")
    for (planet, kind), count in sorted(missing.items()):
        print(f"  {planet} {kind}: {count} without a counterpart within 2 days")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
