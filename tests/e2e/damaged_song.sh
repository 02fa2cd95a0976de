#!/usr/bin/env bash
# Starts the real game beside a song cut to half its length, under the current X display
# (Xvfb in CI): the full-screen question is answered, then the game must show the box it
# shows for a missing song, and once that is answered end with status 1 within 5 s, having
# named the file and what is wrong with it on one stderr line.
#   usage: damaged_song.sh <folder holding pondquest and its assets>
set -uo pipefail
game_dir=${1:?usage: damaged_song.sh <game folder>}
command -v xdotool >/dev/null || { echo "xdotool is missing"; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "no X display (run under xvfb-run)"; exit 2; }

# The game's folder copied whole (program included, so it finds these files whichever way it
# looks for them), with the title song cut in half.
work=$(mktemp -d)
log=$work/game.log
supp=$work/lsan.supp
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null' EXIT
cp -p "$game_dir"/* "$work"/ 2>/dev/null
song=$work/DuelOfTheFates.mid
size=$(stat -c %s "$song")
truncate -s $((size / 2)) "$song"

# For the sanitizer build, as in play_and_quit.sh: the system libraries' own leaks are
# suppressed, Mesa's driver stays loaded and the tracer-crashing TLS interceptor is off.
printf 'leak:%s\n' libGLX libGL.so libEGL swrast_dri libgallium libLLVM libX11 libxcb \
    libfontconfig libdbus libSDL2 libfluidsynth libglib libasound libpulse >"$supp"
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$supp:print_suppressions=0}
preload=""
if ldd "$work/pondquest" 2>/dev/null | grep -q libasan; then
    driver=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so
    [ -e "$driver" ] && preload=$driver
    export ASAN_OPTIONS=${ASAN_OPTIONS:-verify_asan_link_order=0:intercept_tls_get_addr=0}
fi
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export PONDQUEST_DATA=$work

fail() { echo "FAIL: $*"; echo "--- game output"; cat "$log"; exit 1; }
find_window() {
    xwininfo -root -tree 2>/dev/null | awk -v want="\"$1\":" '$2 == want { print $1; exit }'
}
wait_window() {  # wait_window <exact name> <seconds>
    local tries=$(( $2 * 10 )) id
    while [ "$tries" -gt 0 ]; do
        id=$(find_window "$1")
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1; tries=$((tries - 1))
    done
    return 1
}

cd "$work" || exit 2
LD_PRELOAD=$preload ./pondquest >"$log" 2>&1 &
pid=$!

box=$(wait_window 'Fullscreen?' 30) || fail "the full-screen question did not appear"
xdotool windowfocus "$box"
xdotool key Escape

error=$(wait_window 'ERROR!' 60) || fail "no box captioned ERROR!"
xdotool windowfocus "$error" 2>/dev/null
xdotool key Return
answered=$(date +%s%N)
while kill -0 "$pid" 2>/dev/null; do
    [ $(( ($(date +%s%N) - answered) / 1000000 )) -lt 5000 ] || fail "still running 5 s after the box was answered"
    # The key may have been pressed before the box could take it: answer again while it stays.
    [ -n "$(find_window 'ERROR!')" ] && { xdotool windowfocus "$error" 2>/dev/null; xdotool key Return; }
    sleep 0.1
done
wait "$pid"; status=$?
pid=
[ "$status" -eq 1 ] || fail "exit status $status, not 1"
grep -q "Audio file not found! Press OK to exit" "$log" || fail "not the box for a missing song"
grep -Eq "cannot use the sound file .*/DuelOfTheFates\.mid: .*(track|claims|ends)" "$log" ||
    fail "stderr does not name the file and what is wrong with it"
echo "PASS: the damaged song gave the missing-song box; the game ended with status 1, $(( ($(date +%s%N) - answered) / 1000000 )) ms after the answer"
grep "DuelOfTheFates" "$log"
