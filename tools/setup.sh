#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds, and then plays the game or runs every test.
#   tools/setup.sh play   build and start the game from the folder holding its assets
#   tools/setup.sh test   build and run every test headless (also under the sanitizers), then
#                         build the Debian package, validate it, install, run and remove it,
#                         and run the Windows build under Wine
#   tools/setup.sh windows   cross-build pondquest.exe and pack pondquest-<version>-win64.zip
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-play}

packages=(build-essential cmake pkg-config libsdl2-dev libsdl2-mixer-dev libfluidsynth-dev libfreetype-dev
  libfontconfig-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libgtest-dev
  timgm6mb-soundfont fonts-liberation)
if [ "$mode" = test ]; then
  packages+=(xvfb xauth xfonts-base xdotool x11-utils imagemagick)
fi
if [ "$mode" != play ]; then
  # The package checks: the desktop entry's and metainfo's validators, the manual page's.
  packages+=(desktop-file-utils appstream man-db)
  # The static checks: formatting, clang-tidy, cppcheck, the clang build; ccache keeps rebuilds short.
  packages+=(clang clang-tidy clang-format cppcheck ccache python3)
  # The Windows build: MinGW-w64's posix-thread compilers, Debian's source tools for the
  # libraries, zip for the package and Wine to run it.
  packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    mingw-w64-x86-64-dev dpkg-dev xz-utils zip unzip wine wine64 ca-certificates)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  command -v apt-get >/dev/null || { echo "apt-get not found: install these by hand" >&2; exit 1; }
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "run as root, or install sudo, to install packages" >&2; exit 1; }
    sudo=sudo
  fi
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
build() {  # build <dir> [cmake options...]
  local dir=$1; shift
  # The compiler cache makes a rebuild in a fresh clone cost what changed, not everything:
  # paths are taken relative to the clone, and the build folder (named in the debug
  # information) is left out of what is compared.
  local cache=()
  if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
    cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cache[@]}" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
}

case "$mode" in
  play)
    build build -DPONDQUEST_TESTS=OFF
    cd build/game && exec ./pondquest
    ;;
  test)
    started=$(date +%s)
    tools/checks/static.sh
    build build -DPONDQUEST_TESTS=ON
    build build-sanitize -DPONDQUEST_SANITIZE=ON -DPONDQUEST_TESTS=ON
    for dir in build build-sanitize; do
      echo "== tests in $dir"
      # Each server never resets: Xvfb otherwise resets when its last client leaves, and a
      # program opening its window at that moment is refused ("x11 not available", "no display
      # server answers"). The end-to-end runs of the real program, one at a time, on a fresh
      # server of their own, so no focus or key state left by the other tests reaches them.
      { xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
          ctest --test-dir "$dir" --output-on-failure -j"$jobs" -E '^e2e\.' &&
        xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
          ctest --test-dir "$dir" --output-on-failure -R '^e2e\.'
      } | tee "$dir/ctest.log"
      # The sum of the tests' own seconds, and the five slowest.
      sed -nE 's/.*Test +#[0-9]+: ([^ ]+) .* ([0-9.]+) sec$/\2 \1/p' "$dir/ctest.log" |
        sort -rn | awk '{ sum += $1; if (NR <= 5) slow = slow sprintf("  %8.2f s  %s\n", $1, $2) }
          END { printf "== %.1f test-seconds in %s; the slowest:\n%s", sum, dir, slow }' dir="$dir"
    done
    tools/checks/package.sh build
    echo "== the Windows build under Wine"
    tools/windows/package.sh
    xvfb-run -a -s "-screen 0 1024x768x24" tools/windows/wine_test.sh
    echo "== all tests passed in $(( $(date +%s) - started )) s (builds included)"
    ;;
  windows)
    tools/windows/package.sh
    ;;
  *)
    echo "usage: tools/setup.sh play|test|windows" >&2; exit 2 ;;
esac
