#!/usr/bin/python3
"""The same scripted session leaves the same pixels on the desktop and in the browser.

tests/scripted_session.cpp runs once natively (Qt's offscreen platform; the
test gives it a screen of 1024 x 768 through QT_QPA_PLATFORM) and once as its
own page in headless Chromium (a page of 1024 x 768). Both hand over the
bodies' disc images, then windows 2 and 3 after each of the session's modes.
Every pixel of the windows must be the same in both editions, except where
the two editions' disc images differ, at the place where each disc lies; the
discs must lie at the same places. The disc images themselves may differ only
in their labels' cells (--labels-only): the letters come from Qt's fonts on
the desktop and from the browser's in the page. A label's cell is at most 18
pixels wide from 9 left of its disc's centre and runs from 7 above the centre
at most to the disc's foot (the label font is chosen to fit so); the letters
may reach a pixel beyond it. Without --labels-only, as long as the desktop
draws with Qt's painter instead of the shared pixel core, differences of the
disc images elsewhere (outlines, Jupiter's bands) are counted, not failed.
Then the page at 2 device pixels a pixel must leave the same pixels as a
page twice the size at 1, but in labels' cells twice as large.

    tests/compare_editions.py --native build-test/tests/scripted_session \\
        --page build-web/tests/scripted_session.html --out /tmp/heliogeo-compare

Exit status: 0 passed, 1 failed, 77 skipped (Chromium or emscripten missing).
"""

import argparse
import base64
import math
import os
import re
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing written into the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import end_to_end as e2e  # noqa: E402  (the browser driver)


def snapshots(record):
    """The handed-over record as {(mode, window): (width, height, rx, ry, corners, RGB bytes)}."""
    found, at = {}, 0
    while at < len(record):
        end = record.index(b"\n", at)
        fields = record[at:end].decode().split()
        mode, window, width, height = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
        rx, ry = float(fields[4]), float(fields[5])
        values = [float(v) for v in fields[6:]]
        corners = list(zip(values[0::2], values[1::2]))
        size = width * height * 3
        found[(mode, window)] = (width, height, rx, ry, corners, record[end + 1:end + 1 + size])
        at = end + 1 + size
    return found


def differing(native, browser, width, height):
    """The pixels (x, y) where two pictures of the same size differ."""
    images = [e2e.Image.frombytes("RGB", (width, height), data) for data in (native, browser)]
    mask = e2e.ImageChops.difference(*images).convert("L").point(lambda v: 255 if v else 0).tobytes()
    return [(i % width, i // width) for i in (m.start() for m in re.finditer(rb"[^\x00]", mask))], images


def in_label(dx, dy, ry, scale=1):
    """Is (dx, dy), from a disc's centre pixel, in its label's cell? The cell
    is at most 18 pixels wide from 9 left of the centre and runs from 7 above
    the centre at most to the disc's foot (at a pixel ratio of `scale` so many
    times the pixels); letters may reach a pixel beyond."""
    return -9 * scale - 1 <= dx <= 9 * scale and -7 * scale - 1 <= dy <= ry


def save(images, out, name):
    paths = [os.path.join(out, "%s-%s.png" % (name, edition)) for edition in ("desktop", "browser")]
    for image, path in zip(images, paths):
        image.save(path)
    return ", ".join(paths)


def compare(native, browser, out, labels_only, scale=1):
    """One line per picture; raises Failed where pixels differ that may not."""
    e2e.check(sorted(native) == sorted(browser), "both editions hand over the same pictures: %s"
              % ", ".join("%s %d" % k for k in native))
    # The disc images: where they differ, the views may differ too, wherever
    # a disc stands.
    disc_diff = {}
    for (name, number), (width, height, rx, ry, _, pixels) in native.items():
        if name != "disc":
            continue
        b_width, b_height, _, _, _, b_pixels = browser[(name, number)]
        if (width, height) != (b_width, b_height):
            raise e2e.Failed("disc image %d: %dx%d on the desktop, %dx%d in the browser"
                             % (number, width, height, b_width, b_height))
        diff, images = differing(pixels, b_pixels, width, height)
        disc_diff[number] = diff
        elsewhere = [xy for xy in diff if not in_label(xy[0] - rx - 1, xy[1] - ry - 1, ry, scale)]
        if elsewhere and labels_only:
            raise e2e.Failed("disc image %d: %d pixels differ outside the label's cell, e.g. %s (%s)"
                             % (number, len(elsewhere), elsewhere[:5], save(images, out, "disc-%d" % number)))
        e2e.log("%s: disc image %d: %d pixels differ in the label's cell, %d outside it%s"
                % ("ok" if not elsewhere else "note", number, len(diff) - len(elsewhere), len(elsewhere),
                   "" if not elsewhere else " (the desktop does not draw with the shared pixel core: outline and"
                   " bands)"))

    for key, (width, height, rx, ry, corners, pixels) in native.items():
        if key[0] == "disc":
            continue
        b_width, b_height, b_rx, b_ry, b_corners, b_pixels = browser[key]
        name = "%s, window %d" % key
        if (width, height, rx, ry) != (b_width, b_height, b_rx, b_ry):
            raise e2e.Failed("%s: the desktop's window is %dx%d with discs of %gx%g, the browser's %dx%d with %gx%g"
                             % (name, width, height, rx, ry, b_width, b_height, b_rx, b_ry))
        if any(abs(a - b) > 1e-6 for p, q in zip(corners, b_corners) for a, b in zip(p, q)):
            raise e2e.Failed("%s: the discs lie at %s on the desktop, at %s in the browser"
                             % (name, corners, b_corners))
        # Where the disc images differ, put where each disc lies.
        allowed = set()
        for body, (x, y) in enumerate(corners, start=1):
            allowed.update((math.floor(x) + dx, math.floor(y) + dy) for dx, dy in disc_diff[body])
        diff, images = differing(pixels, b_pixels, width, height)
        outside = [xy for xy in diff if xy not in allowed]
        if outside:
            raise e2e.Failed("%s: %d pixels differ where no disc image differs, e.g. %s (%s)"
                             % (name, len(outside), outside[:5], save(images, out, "%s-%d" % key)))
        e2e.log("ok: %s: the same pixels on the desktop and in the browser, but for %d where the disc images differ"
                % (name, len(diff)))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--native", required=True, help="scripted_session built for the desktop")
    ap.add_argument("--page", required=True, help="scripted_session.html, built with emscripten")
    ap.add_argument("--out", required=True, help="folder for logs and pictures")
    ap.add_argument("--labels-only", action="store_true",
                    help="the disc images may differ only in their labels' cells (once both editions draw with the"
                         " shared pixel core)")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)

    args.program, args.browser = args.page, True
    missing, packages = e2e.missing_tools(args)
    if missing:
        e2e.log("SKIPPED: the comparison needs %s, which cannot be found here (Debian: apt-get install %s)"
                % (", ".join(missing), packages))
        return e2e.SKIP
    if not os.path.isfile(args.page):
        e2e.log("FAILED: %s is not built (./setup.sh test builds it)" % args.page)
        return 1

    s = e2e.BrowserSession(os.path.abspath(args.page), args.out)
    try:
        record = os.path.join(args.out, "desktop.bin")
        r = subprocess.run([args.native, record], stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        if r.returncode != 0:
            raise e2e.Failed("%s ended with status %d: %s" % (args.native, r.returncode, r.stderr.decode().strip()))
        with open(record, "rb") as f:
            native = snapshots(f.read())
        s.start()
        pages = []
        for size, ratio in (((1024, 768), 1), ((2048, 1536), 1), ((1024, 768), 2)):
            s.emulate(size, ratio)
            s.launch()
            e2e.poll(lambda: (s.alive(), s.eval("typeof scriptedSession == 'string'"))[1], 60,
                     "the page's scripted session to end")
            pages.append(snapshots(base64.b64decode(s.eval("scriptedSession"))))
        compare(native, pages[0], args.out, args.labels_only)
        e2e.log("the page of 2048x1536 (first) and 1024x768 at 2 device pixels a pixel (second):")
        compare(pages[1], pages[2], args.out, True, 2)
    except e2e.Failed as e:
        e2e.log("FAILED: %s" % e)
        return 1
    finally:
        s.close()
    e2e.log("passed: the scripted session leaves the same pixels in windows 2 and 3 on the desktop and in the browser,"
            " but where the disc images differ (%s); at 2 device pixels a pixel as on a page twice the size"
            % ("in their labels' cells" if args.labels_only else "see above"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
