#!/usr/bin/env bash
# setup.sh — installs what is missing, builds heliogeo, then starts it or runs
# every test.
#
#   ./setup.sh run [options]   build a Release and start the program
#   ./setup.sh web             build the web edition: build-web/heliogeo.html
#   ./setup.sh test            build and run every test, the web edition's too
#
# Works as root, or as a normal user who may use sudo (only apt-get is run
# through sudo; the build and the program run as that user).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mode="${1:-}"
shift || true

case "$mode" in
  run|web|test) ;;
  *) echo "usage: $0 run [program options] | $0 web | $0 test" >&2; exit 2 ;;
esac

# What the program needs to build and run, and what the tests need besides.
# The web edition is built with emscripten; its tests run in Chromium, and
# the lesson a class runs also in Firefox and in WebKit (Safari's engine).
# Where those cannot be installed the tests still run, and the web edition's
# say that they are skipped.
packages=(cmake g++ make qt6-base-dev qt6-qpa-plugins fonts-dejavu-core liberfa-dev)
web_packages=(emscripten node-acorn)
optional=()
engines=()
if [ "$mode" = web ]; then
  packages=(cmake make "${web_packages[@]}")
elif [ "$mode" = test ]; then
  packages+=(libbenchmark-dev libgtest-dev xvfb xauth xdotool x11-utils imagemagick openbox desktop-file-utils python3 python3-pil python3-xlib)
  optional=("${web_packages[@]}" chromium python3-websocket)
  # Installed on their own, so that the others come even where these cannot.
  engines=(firefox-esr webkit2gtk-driver)
fi

# Started through sudo: everything but apt-get runs as the user who asked.
as_user() {
  if [ "$(id -u)" = 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    sudo -u "$SUDO_USER" --preserve-env=DISPLAY,XAUTHORITY,WAYLAND_DISPLAY,XDG_RUNTIME_DIR,XDG_SESSION_TYPE,QT_QPA_PLATFORM "$@"
  else
    "$@"
  fi
}

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_optional < <(missing_of "${optional[@]}")
mapfile -t missing_engines < <(missing_of "${engines[@]}")
if [ $((${#missing[@]} + ${#missing_optional[@]} + ${#missing_engines[@]})) -gt 0 ]; then
  root=()
  [ "$(id -u)" = 0 ] || root=(sudo)
  "${root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  if [ ${#missing_optional[@]} -gt 0 ]; then
    echo "Installing for the web edition's tests: ${missing_optional[*]}"
    "${root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing_optional[@]}" \
      >/dev/null || echo "Could not install ${missing_optional[*]}: the web edition's tests will be skipped."
  fi
  if [ ${#missing_engines[@]} -gt 0 ]; then
    echo "Installing for the web edition's tests in Firefox and WebKit: ${missing_engines[*]}"
    "${root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing_engines[@]}" \
      >/dev/null || echo "Could not install ${missing_engines[*]}: the lesson in those browsers will be skipped."
  fi
fi

# The web edition compiles the real sky's theories from ERFA's C sources,
# which its build fetches with apt-get source from Debian's archive: Debian's
# source lines (deb-src) are added beside the binary ones where they are
# missing, for the Debian mirrors this machine already uses.
if [ "$mode" = web ] || [ "$mode" = test ]; then
  if ! apt-cache showsrc erfa 2>/dev/null | grep -q '^Package: erfa'; then
    root=()
    [ "$(id -u)" = 0 ] || root=(sudo)
    echo "Adding Debian's source lines (deb-src), for ERFA's sources in the web edition"
    {
      for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && [ "$f" != /etc/apt/sources.list.d/heliogeo-deb-src.sources ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" } /URIs:[^\n]*debian/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f"
      done
    } | "${root[@]}" tee /etc/apt/sources.list.d/heliogeo-deb-src.sources >/dev/null
    if [ -f /etc/apt/sources.list ]; then
      { grep -E '^deb +[^ ]*debian' /etc/apt/sources.list || true; } | sed 's/^deb /deb-src /' |
        "${root[@]}" tee /etc/apt/sources.list.d/heliogeo-deb-src.list >/dev/null
    fi
    "${root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq ||
      echo "Could not read Debian's source lines: the web edition cannot be built."
  fi
fi

jobs="$(nproc 2>/dev/null || echo 2)"
# A build takes a few jobs more than there are cores, as ninja does by
# itself: on a machine busy with other work it then keeps its share.
build_jobs=$((jobs + 2))
cd "$here"

if [ "$mode" = web ]; then
  as_user emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
  as_user cmake --build build-web --target heliogeo_page -j "$jobs" >/dev/null
  echo "The web edition: $here/build-web/heliogeo.html (one file; open it in a browser)"
  exit 0
fi

if [ "$mode" = run ]; then
  as_user cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DHELIOGEO_TESTS=OFF -DHELIOGEO_BENCH=OFF >/dev/null
  as_user cmake --build build -j "$jobs" >/dev/null
  exec_user=()
  [ "$(id -u)" = 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ] && exec_user=(as_user)
  "${exec_user[@]}" ./build/heliogeo "$@"
  exit $?
fi

# Tests: the web edition with its test and timing pages, where emscripten
# could be had (its tests are skipped otherwise)…
if command -v emcmake >/dev/null 2>&1; then
  as_user sh tests/web_build.sh "$here" "$here/build-web" "$build_jobs"
fi
# …the Release build with every test (and the benchmarks built)…
as_user cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Release >/dev/null
as_user cmake --build build-test -j "$build_jobs"

# …then the program's own tests again in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, where any report fails the test (but for the
# memory that system libraries keep to the end: tests/lsan.supp, which that
# build gives its tests). Packaging and the real-window run belong to the
# Release build only. That build is made, and its tests run, while the
# Release build's tests run: the longest of those, the end-to-end runs, run
# one at a time and spend much of their time waiting for windows and the
# browser. Its output follows the Release build's.
as_user cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHELIOGEO_SANITIZE=ON \
  -DHELIOGEO_BENCH=OFF >/dev/null
(
  as_user cmake --build build-sanitize -j "$build_jobs" >build-sanitize/build.log 2>&1 || exit 90
  as_user env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure --no-tests=error -j "$build_jobs" -LE release-only \
    >build-sanitize/tests.log 2>&1
) &
sanitize=$!
# The tests, too, run a few more at a time than there are cores: most wait
# for windows or the browser part of the time, and on a busy machine they
# keep their share (the end-to-end runs, which time the program, run one at
# a time).
release_tests=0
as_user ctest --test-dir build-test --output-on-failure --no-tests=error -j "$build_jobs" || release_tests=$?
sanitize_tests=0
wait "$sanitize" || sanitize_tests=$?
if [ "$sanitize_tests" = 90 ]; then
  cat build-sanitize/build.log
  echo "The sanitizer build failed." >&2
  exit 1
fi
echo "The sanitizer build's tests (build-sanitize/tests.log):"
cat build-sanitize/tests.log
[ "$release_tests" = 0 ] || exit "$release_tests"
exit "$sanitize_tests"
