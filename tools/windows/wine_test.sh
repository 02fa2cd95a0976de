#!/usr/bin/env bash
# The Windows build tested under Wine, on the current X display (Xvfb in the test command):
#  1. the platform-free unit tests, cross-built, run under Wine: each must pass the same tests
#     as the Linux build of the same file;
#  2. the packed zip, unpacked to a fresh folder, played: the title, P (level one's
#     introduction), Space and W held for a few seconds (play), Enter (the in-game menu), Q (the
#     title again), each screen checked from the window's pixels against the Linux build's
#     screenshots; then Esc, an exit status of 0 and no "err:" line from Wine about the game's
#     own calls.
# Needs tools/windows/package.sh to have run. The screenshots are left in
# <build folder>/wine_screens/, the title's also as <build folder>/wine_title.png.
#   tools/windows/wine_test.sh [build folder, default build-win64] [Linux build folder, default build]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root" || exit 2
out=$(realpath -m "${1:-build-win64}")
linux=$(realpath -m "${2:-build}")
cache=${PONDQUEST_CACHE:-$HOME/.cache/pondquest}
jobs=${PONDQUEST_JOBS:-$(nproc 2>/dev/null || echo 2)}
started=$(date +%s)
fail() { echo "FAIL: $*"; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "no X display (run under xvfb-run)"; exit 2; }
for tool in xdotool xwininfo import compare unzip; do
    command -v "$tool" >/dev/null || { echo "$tool is missing"; exit 2; }
done
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
[ -x "$wine" ] || { echo "wine64 is missing"; exit 2; }

# One Wine prefix for every run, kept outside the clone; made once (that takes a while).
export WINEPREFIX=${PONDQUEST_WINEPREFIX:-$cache/wine64-prefix}
export WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers
export WINEDEBUG=${WINEDEBUG:-err+all,fixme-all}
if [ ! -e "$WINEPREFIX/system.reg" ]; then
    echo "== making the Wine prefix $WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1
    "$(dirname "$wine")/wineserver" -w 2>/dev/null || wineserver -w 2>/dev/null || true
fi

# --- 1. unit tests ---
cmake -S . -B "$out" -DPONDQUEST_TESTS=ON >/dev/null || fail "cannot configure $out with tests"
tests=(test_vec3 test_random test_scene_tree test_texture_image test_maze test_replacing_file)
cmake --build "$out" -j"$jobs" --target "${tests[@]}" >/dev/null || fail "the Windows tests do not build"
cmake --build "$linux" -j"$jobs" --target "${tests[@]}" >/dev/null || fail "the Linux tests do not build"
zip=$(ls -t "$out"/pondquest-*-win64.zip 2>/dev/null | head -1)
[ -n "$zip" ] || fail "no zip in $out (run tools/windows/package.sh)"
stage=${zip%.zip}
# The tests load the same DLLs as the game, from beside them.
cp "$stage"/*.dll "$out/tests/"
for f in "$stage"/*.tga "$stage"/*.mid "$stage"/*.wav; do cp "$f" "$out/game/"; done
passed() { tr -d '\r' <"$1" | grep -E '^\[       OK \]' | sed -E 's/ \([0-9]+ ms\)//' | sort; }
for t in "${tests[@]}"; do
    log_w=$(mktemp) log_l=$(mktemp)
    (cd "$out/game" && "$wine" "../tests/$t.exe" --gtest_color=no >"$log_w" 2>&1)
    status_w=$?
    (cd "$linux/game" && SDL_AUDIODRIVER=dummy "$linux/tests/$t" --gtest_color=no >"$log_l" 2>&1)
    status_l=$?
    count=$(passed "$log_w" | wc -l)
    if [ $status_w -ne 0 ] || [ $status_l -ne 0 ] || [ "$count" -eq 0 ] ||
        ! diff <(passed "$log_l") <(passed "$log_w") >/dev/null; then
        echo "--- $t under Wine (status $status_w)"; tail -40 "$log_w"
        echo "--- $t on Linux (status $status_l)"; tail -5 "$log_l"
        fail "$t: Windows and Linux results differ"
    fi
    echo "PASS: $t: the same $count tests pass under Wine as on Linux"
    rm -f "$log_w" "$log_l"
done
units_done=$(date +%s)

# --- 2. the packed game, played ---
play=$(mktemp -d)
log=$(mktemp)
trap 'rm -rf "$play" "$log"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null' EXIT
unzip -q "$zip" -d "$play" || fail "cannot unpack $zip"
game=$(ls -d "$play"/pondquest-*-win64)

find_window() {  # a top-level window with exactly this name; prints its id
    xwininfo -root -tree 2>/dev/null | awk -v want="\"$1\":" '$2 == want { print $1; exit }'
}
press() {  # press <key> [seconds held]: held across several frames so the per-frame poll sees it
    xdotool windowfocus "$win" 2>/dev/null
    xdotool keydown "$1"; sleep "${2:-0.3}"; xdotool keyup "$1"; sleep 0.5
}

(cd "$game" && exec "$wine" pondquest.exe --windowed >"$log" 2>&1) &
pid=$!
# With --windowed the window comes straight away; a build without it asks first.
win=""
for _ in $(seq 900); do
    win=$(find_window 'Pondquest!')
    [ -n "$win" ] && break
    box=$(find_window 'Fullscreen?')
    if [ -n "$box" ]; then
        xdotool windowfocus "$box" 2>/dev/null; sleep 0.2; xdotool key Escape
    fi
    kill -0 "$pid" 2>/dev/null || { cat "$log"; fail "the game ended before its window showed"; }
    sleep 0.2
done
[ -n "$win" ] || { cat "$log"; fail "no window captioned Pondquest!"; }
sleep 3  # the title's first frames
# Each screen under Wine is told from the screenshots the Linux build makes of the same screens
# (same pictures, same font, same mazes in the same order), by the RMS difference of the window
# scaled to their size: about 0.01 for the same screen here, over 0.2 for any other (the in-game
# menu, drawn over the level, is about 0.09 from its screenshot over a plain background).
shots=$out/wine_screens
rm -rf "$shots"; mkdir -p "$shots"
step=0
distance() {  # distance <screenshot> <reference in docs/screenshots>
    compare -metric RMSE "$1" "docs/screenshots/$2" null: 2>&1 | sed -E 's/.*\(([0-9.e-]+)\).*/\1/'
}
shoot() {  # shoot <name>: the window now, scaled to 640 x 480
    step=$((step + 1))
    import -window "$win" "$shots/$step-$1.png" 2>/dev/null || fail "no screenshot of the window ($1)"
    convert "$shots/$step-$1.png" -resize '640x480!' "$shots/$step-$1-640.png" || fail "cannot scale $1"
    shot=$shots/$step-$1-640.png
}
near() {  # near <reference> <most>: the last screenshot shows that screen
    local d; d=$(distance "$shot" "$1")
    echo "  $(basename "$shot" -640.png): $d from $1"
    awk -v d="$d" -v m="$2" 'BEGIN { exit !(d < m) }' || fail "$(basename "$shot") does not show $1 ($d)"
}
far() {  # far <reference> <least>: the last screenshot does not show that screen
    local d; d=$(distance "$shot" "$1")
    echo "  $(basename "$shot" -640.png): $d from $1"
    awk -v d="$d" -v m="$2" 'BEGIN { exit !(d > m) }' || fail "$(basename "$shot") still shows $1 ($d)"
}
shoot title; near title.png 0.05
cp "$shots/1-title.png" "$out/wine_title.png"
press p; shoot intro; near level_one_intro.png 0.05
press space; press w 3; shoot play; far level_one_intro.png 0.2; far title.png 0.2
press Return; shoot menu; near screens/in_game_menu.png 0.15; far title.png 0.2
press q; shoot back; near title.png 0.05
press Escape
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && { cat "$log"; fail "the game did not quit on Esc"; }
wait "$pid"; status=$?
pid=
[ "$status" -eq 0 ] || { cat "$log"; fail "exit status $status"; }
# Wine's complaints about the machine (no sound card, no MIDI synthesizer: "winediag" and the
# audio drivers' channels) are not the game's; any other err: line is about what it asked for.
errors=$(grep -E '^[0-9a-f]+:err:' "$log" | grep -vE ':err:(winediag|alsa|pulse|mmdevapi):' || true)
[ -z "$errors" ] || { cat "$log"; fail "Wine reported errors: $errors"; }
echo "PASS: the packed game under Wine: title, introduction, play, in-game menu, title again; Esc quit with status 0"
echo "wine step: unit tests $((units_done - started)) s, game $(($(date +%s) - units_done)) s"
