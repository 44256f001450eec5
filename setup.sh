#!/usr/bin/env bash
# Installs what is missing, builds, then starts the program (run) or runs every test (test; a
# second, sanitizer build runs them again).
# Safe to run again: packages already present are not touched and the build is incremental.
set -euo pipefail
cd "$(dirname "$0")"

what=${1:-run}
case "$what" in run|test) ;; *) echo "usage: $0 run|test" >&2; exit 2 ;; esac

packages=(
  g++ cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libjpeg62-turbo-dev libxcb-shape0-dev libxtst6
  fonts-liberation2 fonts-dejavu-core xvfb xauth
  poppler-utils inkscape
  cups cups-client printer-driver-cups-pdf
  dbus at-spi2-core python3-pyatspi
  openbox xcompmgr x11-utils xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# ccache, when installed, makes rebuilds of unchanged sources quick.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

build=${NEAPWISE_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"

if [ "$what" = test ]; then
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
  # The same tests again under AddressSanitizer and UndefinedBehaviorSanitizer, built with clang,
  # which adds a few seconds of every fuzz target (cmake/Sanitize.cmake, tests/fuzz).
  sanitize=${NEAPWISE_SANITIZE_BUILD_DIR:-build-sanitize}
  cmake -S . -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DNEAPWISE_SANITIZE=ON -DNEAPWISE_BENCH=OFF "${launcher[@]}" >/dev/null
  cmake --build "$sanitize" -j "$(nproc)"
  UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS="suppressions=$PWD/cmake/lsan-suppressions.txt" \
    ctest --test-dir "$sanitize" --output-on-failure -j "$(nproc)"
else
  if [ -x "$build/app/neapwise" ]; then
    if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "Neapwise needs a graphical session to run in: X11, or Wayland with XWayland (DISPLAY is not set)." >&2
      exit 1
    fi
    exec "$build/app/neapwise"
  else
    echo "Built the engine library and the tide model; the program itself is not built yet."
  fi
fi
