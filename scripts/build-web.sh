#!/usr/bin/env bash
# Builds the page on WebAssembly with Debian's emscripten into build-web/page/
# (or the build folder given): index.html and everything it loads, by
# relative URLs, ready for any static web server.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build-web}"

"$here/scripts/install-packages.sh" cmake make g++ python3 emscripten fonttools

# Debian's emcc needs Debian's acorn to link at -O2.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
emcmake cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target quarvelle_web
echo "$build/page"
