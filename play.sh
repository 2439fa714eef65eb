#!/usr/bin/env bash
# Builds Quarvelle for Linux (SDL2) and starts it. VORN.DAT, the high-score
# file, lives in the directory you start the game from.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

"$here/scripts/install-packages.sh" cmake make g++ libsdl2-dev libsdl2-ttf-dev libx11-dev

cmake -S "$here" -B "$here/build-play" -DCMAKE_BUILD_TYPE=Release -DQUARVELLE_FRONT_END_ONLY=ON >/dev/null
cmake --build "$here/build-play" -j"$(nproc)" --target quarvelle
exec "$here/build-play/quarvelle"
