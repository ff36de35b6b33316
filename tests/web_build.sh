#!/bin/sh
# web_build.sh SOURCE_DIR BUILD_DIR [JOBS] — brings the web edition's build folder
# up to date, the program's page and its test page, so that the browser tests
# run what the sources say (bench/run_all.sh builds the timing page itself).
# Status 77 where emscripten cannot be had.
src="$1"
build="$2"
if ! command -v emcmake >/dev/null 2>&1 || ! command -v em++ >/dev/null 2>&1; then
  echo "SKIPPED: emscripten cannot be found here (Debian: apt-get install emscripten node-acorn)"
  exit 77
fi
emcmake cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DHELIOGEO_TESTS=ON -DHELIOGEO_BENCH=ON >/dev/null &&
  cmake --build "$build" -j "${3:-2}" --target heliogeo_page scripted_session_page
