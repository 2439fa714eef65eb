#!/usr/bin/env bash
# Makes what a player installs, from the install rules and the one project
# version, into build-packages/ (or the folder given):
#   quarvelle_<version>_amd64.deb   the Debian package (CPack, generator DEB)
#   quarvelle-<version>-win64.zip   the Windows program (MinGW-w64, CPack ZIP)
#   quarvelle-<version>-web.zip     the page (emscripten): index.html and all it loads at its root
# Each is built in Release in its own build folder, build-pkg and
# build-pkg-win32, and its programs go in stripped.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$here/build-packages}"
jobs=2

"$here/scripts/install-packages.sh" \
  cmake make g++ libsdl2-dev libsdl2-ttf-dev libx11-dev python3 dpkg-dev unzip \
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64

mkdir -p "$out"
out="$(cd "$out" && pwd)"

echo "== Debian package"
cmake -S "$here" -B "$here/build-pkg" -DCMAKE_BUILD_TYPE=Release -DQUARVELLE_FRONT_END_ONLY=ON >/dev/null
cmake --build "$here/build-pkg" -j"$jobs" --target quarvelle
(cd "$here/build-pkg" && cpack -G DEB -D CPACK_OUTPUT_FILE_PREFIX="$out")

echo "== Windows zip"
cmake -S "$here" -B "$here/build-pkg-win32" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build-pkg-win32" -j"$jobs" --target quarvelle
unstripped="$(stat -c %s "$here/build-pkg-win32/quarvelle.exe")"
(cd "$here/build-pkg-win32" && cpack -G ZIP -D CPACK_OUTPUT_FILE_PREFIX="$out")
echo "quarvelle.exe: $unstripped bytes as built; in the zip, stripped:"
unzip -l "$out/quarvelle-"*"-win64.zip" quarvelle.exe | sed -n 4p

echo "== The page (WebAssembly)"
"$here/scripts/build-web.sh" "$here/build-pkg-web" >/dev/null
version="$(sed -n 's/^project(Quarvelle VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
rm -f "$out/quarvelle-$version-web.zip"
(cd "$here/build-pkg-web/page" && python3 -m zipfile -c "$out/quarvelle-$version-web.zip" *)
echo "quarvelle-$version-web.zip: $(stat -c %s "$out/quarvelle-$version-web.zip") bytes"
