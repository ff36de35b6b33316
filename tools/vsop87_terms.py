#!/usr/bin/env python3
"""vsop87_terms.py DATA_DIR > model/vsop87.cpp — the real sky's planetary series.

Reads the full VSOP87 series of version B (heliocentric longitude, latitude and
distance in the ecliptic and equinox of J2000) of Mercury, Venus, Mars and
Jupiter from the npm package astronomia (MIT licence; data/vsop87B*.js), keeps
the terms that matter within the program's years 1600 to 2400 and writes them
as C++. DATA_DIR is that package's data folder, for example:

    d=$(mktemp -d) && (cd "$d" && npm pack -q astronomia@4.2.0 && tar xzf astronomia-4.2.0.tgz)
    tools/vsop87_terms.py "$d/package/data" > model/vsop87.cpp

A term A·cos(B + C·τ) of the series multiplied by τ^α (τ in millennia from
J2000) is kept where A·0.4^α reaches LIMIT radians at the program's farthest
years (τ = ±0.4), for the distance LIMIT times the planet's mean distance.
"""
import json
import re
import sys
from pathlib import Path

LIMIT = 1e-7
SPAN = 0.4
PLANETS = [("mercury", "Mercury", 0.387), ("venus", "Venus", 0.723), ("mars", "Mars", 1.524),
           ("jupiter", "Jupiter", 5.203)]
NOTICE = """\
// astronomia's notice (its LICENSE):
//   The MIT License (MIT)
//   Copyright (c) 2013 Sonia Keys
//   Copyright (c) 2016 Commenthol
//   Permission is hereby granted, free of charge, to any person obtaining a copy of
//   this software and associated documentation files (the "Software"), to deal in
//   the Software without restriction, including without limitation the rights to
//   use, copy, modify, merge, publish, distribute, sublicense, and/or sell copies of
//   the Software, and to permit persons to whom the Software is furnished to do so,
//   subject to the following conditions:
//   The above copyright notice and this permission notice shall be included in all
//   copies or substantial portions of the Software.
//   THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR
//   IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS
//   FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR
//   COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER LIABILITY, WHETHER
//   IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM, OUT OF OR IN
//   CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE SOFTWARE."""


def read_series(path):
    """The package's module as a dict: {"L": {"0": [[A, B, C], …], …}, "B": …, "R": …}."""
    text = path.read_text()
    body = text[text.index("{"):text.rindex("}") + 1]
    body = re.sub(r"^(\s*)([A-Za-z]\w*):", r'\1"\2":', body, flags=re.M)
    return json.loads(body)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    data = Path(sys.argv[1])
    out = ["// vsop87.cpp — made by tools/vsop87_terms.py (see there how); not edited by hand.",
           "//",
           "// The terms of VSOP87, version B: P. Bretagnon and G. Francou, \"Planetary theories",
           "// in rectangular and spherical variables: VSOP87 solutions\", Astronomy and",
           "// Astrophysics 202, 309 (1988); the Bureau des Longitudes' files as the CDS",
           "// distributes them (catalogue VI/81), taken from the npm package astronomia 4.2.0",
           "// (data/vsop87B*.js), which carries them under the MIT licence. Of each series",
           f"// multiplied by τ^α only the terms with A·{SPAN}^α ≥ {LIMIT:g} rad are kept (for the",
           "// distance, times the planet's mean distance): together the terms left out move",
           "// a planet by less than an arcsecond as seen from the Sun, within 1600 to 2400.",
           NOTICE,
           '#include "model/vsop87.h"',
           "",
           "namespace {",
           ""]
    tables = []
    kept = 0
    for key, name, distance in PLANETS:
        series = read_series(data / f"vsop87B{key}.js")
        rows = []
        for coordinate in "LBR":
            limit = LIMIT * (distance if coordinate == "R" else 1)
            names, counts = [], []
            for power in range(6):
                terms = [t for t in series[coordinate].get(str(power), []) if abs(t[0]) * SPAN**power >= limit]
                kept += len(terms)
                counts.append(str(len(terms)))
                if not terms:
                    names.append("nullptr")
                    continue
                table = f"{name}{coordinate}{power}"
                names.append(table)
                out.append(f"constexpr Vsop87Term {table}[] = {{")
                out.extend(f"    {{{a!r}, {b!r}, {c!r}}}," for a, b, c in terms)
                out.append("};")
            rows.append(f"{{{', '.join(names)}}}")
            tables.append((name, coordinate, counts))
        counts = [f"{{{', '.join(c)}}}" for n, _, c in tables if n == name]
        out.append(f"constexpr Vsop87Series {name}{{")
        out.append("    {" + ",\n     ".join(rows) + "},")
        out.append(f"    {{{', '.join(counts)}}},")
        out.append("};")
        out.append("")
    out.append("}  // namespace")
    out.append("")
    out.append(f"// {kept} terms in all.")
    out.append("const Vsop87Series* const Vsop87[4] = {&Mercury, &Venus, &Mars, &Jupiter};")
    print("\n".join(out))


if __name__ == "__main__":
    main()
