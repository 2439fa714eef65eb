#!/usr/bin/env bash
# Builds Quarvelle for Linux (SDL2) and starts it. VORN.DAT, the high-score
# file, lives in the directory you start the game from.
#   ./play.sh --web [port]   builds the page instead and serves it on 127.0.0.1
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

if [ "${1:-}" = "--web" ]; then
  page="$("$here/scripts/build-web.sh" "$here/build-web" | tail -n1)"
  port="${2:-8350}"
  echo "Quarvelle plays at http://127.0.0.1:$port/ (Ctrl-C ends the server)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$page"
fi

"$here/scripts/install-packages.sh" cmake make g++ libsdl2-dev libsdl2-ttf-dev libx11-dev

cmake -S "$here" -B "$here/build-play" -DCMAKE_BUILD_TYPE=Release -DQUARVELLE_FRONT_END_ONLY=ON >/dev/null
cmake --build "$here/build-play" -j"$(nproc)" --target quarvelle
exec "$here/build-play/quarvelle"
