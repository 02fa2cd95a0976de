#!/usr/bin/env bash
# Fuzzes the TGA, BMP and PCX readers with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer for the given number of seconds (default 60).
#   tools/fuzz/run.sh [seconds] [build-dir]
# Needs clang with libFuzzer, SDL2 and GLU (and xvfb-run when there is no display).
# Crashes land in <build-dir>/crashes; the log is <build-dir>/fuzz.log.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-60}
out=${2:-build-fuzz}
mkdir -p "$out/corpus" "$out/seeds" "$out/crashes"

# clang's libFuzzer runtime comes from Debian's packages.
missing=()
for p in clang libclang-rt-14-dev libsdl2-dev libglu1-mesa-dev xvfb xauth; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

flags=(-std=c++17 -g -O1 -I. -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined
       -fno-sanitize-recover=undefined)
clang++ "${flags[@]}" tools/fuzz/fuzz_images.cpp textures/CTextureImage.cpp \
  $(pkg-config --cflags --libs sdl2) -lGLU -lGL -o "$out/fuzz_images"
clang++ -std=c++17 -O1 tools/fuzz/make_seeds.cpp -o "$out/make_seeds"
"$out/make_seeds" "$out/seeds"

run=("$out/fuzz_images" "$out/corpus" "$out/seeds" -max_total_time="$seconds" -max_len=4096
     -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/crashes/"
     -close_fd_mask=2)
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  run=(xvfb-run -a -s "-screen 0 640x480x24" "${run[@]}")
fi
echo "Fuzzing for $seconds s; log in $out/fuzz.log"
status=0
LSAN_OPTIONS=suppressions=$PWD/tools/fuzz/lsan.supp:print_suppressions=0 \
  "${run[@]}" >"$out/fuzz.log" 2>&1 || status=$?
# The readers' one-line messages go to the closed stderr (sanitizer reports and
# libFuzzer's own output still reach the log); show the summary.
grep -aE '^(#[0-9]+.*(DONE|pulse)|stat::|==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)' \
  "$out/fuzz.log" | tail -n 20 || true
ls "$out/crashes"
exit $status
