#!/usr/bin/env bash
# Builds everything and runs every test: the Windows program (MinGW-w64, run
# under Wine), the Linux program and all tests (on X11 and on Wayland), then
# the unit tests again in a Release build and built with AddressSanitizer and
# UndefinedBehaviorSanitizer; then it makes the Debian package, the Windows
# zip and the web zip and checks them without installing them; last, the
# page: the unit suites under node and the page in a headless Chromium.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
jobs="$(nproc)"

scripts/install-packages.sh \
  cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev \
  libsdl2-dev libsdl2-ttf-dev libx11-dev python3 \
  imagemagick xvfb xauth xfonts-base xdotool x11-utils x11-xserver-utils twm faketime \
  weston xwayland zenity libegl-mesa0 libgl1-mesa-dri \
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 \
  clang libclang-rt-14-dev \
  dpkg-dev lintian desktop-file-utils appstream unzip file \
  emscripten googletest nodejs chromium python3-websocket python3-pil fonttools

echo "== Windows program (MinGW-w64)"
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win32 -j"$jobs"

echo "== Linux program and tests"
cmake -S . -B build -DQUARVELLE_WIN32_EXE="$here/build-win32/quarvelle.exe" >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -L unit -j"$jobs")
(cd build && ctest --output-on-failure -LE "unit|stress")

echo "== Unit tests in the Release build (-O3), as a packager builds them"
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQUARVELLE_UNIT_ONLY=ON >/dev/null
cmake --build build-release -j"$jobs"
(cd build-release && ctest --output-on-failure -L unit -j"$jobs")

echo "== Unit tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DQUARVELLE_SANITIZE=ON -DQUARVELLE_UNIT_ONLY=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -L unit -j"$jobs")

echo "== Packages: the Debian package and the Windows zip, checked without installing them"
rm -rf build-packages
scripts/make-packages.sh build-packages
python3 tests/package/package_test.py --deb build-packages/quarvelle_*_amd64.deb \
  --zip build-packages/quarvelle-*-win64.zip --build build-pkg --probe build-win32/window_probe.exe

echo "== The page on WebAssembly: unit suites under node, then the page in headless Chromium"
scripts/web-unit-tests.sh build-web-unit
scripts/build-web.sh build-web >/dev/null
/usr/bin/python3 tests/web/page_test.py --page build-web/page --sdl build/quarvelle
unzip -l build-packages/quarvelle-*-web.zip | grep -q " index.html$" || { echo "no index.html in the web zip"; exit 1; }
