#!/usr/bin/env bash
# Starts the real game beside a song cut to half its length, under the current X display
# (Xvfb in CI): the full-screen question is answered, then the game must show the box it
# shows for a missing song, and once that is answered end with status 1 within 5 s, having
# named the file and what is wrong with it on one stderr line. The failure travels up to main,
# which releases everything on the way out: no uncaught exception, no sanitizer report.
#   usage: damaged_song.sh <folder holding pondquest and its assets>
set -uo pipefail
game_dir=${1:?usage: damaged_song.sh <game folder>}

# The game's folder copied whole (program included, so it finds these files whichever way it
# looks for them), with the title song cut in half.
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null' EXIT
cp -p "$game_dir"/* "$work"/ 2>/dev/null
song=$work/DuelOfTheFates.mid
size=$(stat -c %s "$song")
truncate -s $((size / 2)) "$song"

. "$(dirname "$0")/common.sh"
export PONDQUEST_DATA=$work

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
    [ "$(ms_since "$answered")" -lt 5000 ] || fail "still running 5 s after the box was answered"
    # The key may have been pressed before the box could take it: answer again while it stays.
    [ -n "$(find_window 'ERROR!')" ] && { xdotool windowfocus "$error" 2>/dev/null; xdotool key Return; }
    sleep 0.1
done
wait "$pid"; status=$?
pid=
[ "$status" -eq 1 ] || fail "exit status $status, not 1"
! grep -Eq "terminate called|AddressSanitizer|LeakSanitizer|runtime error:" "$log" ||
    fail "the way out was not clean"
grep -q "Audio file not found! Press OK to exit" "$log" || fail "not the box for a missing song"
grep -Eq "cannot use the sound file .*/DuelOfTheFates\.mid: .*(track|claims|ends)" "$log" ||
    fail "stderr does not name the file and what is wrong with it"
echo "PASS: the damaged song gave the missing-song box; the game ended with status 1, $(ms_since "$answered") ms after the answer"
grep "DuelOfTheFates" "$log"
