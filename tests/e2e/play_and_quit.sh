#!/usr/bin/env bash
# Starts the real game under the current X display (Xvfb in CI), answers the full-screen
# question with the keyboard, waits for the window captioned "Pondquest!", then presses Esc
# on the title and expects a clean exit with status 0.
#   usage: play_and_quit.sh <folder holding pondquest and its assets> [no|yes]
# "no" answers with Esc (a window of 800x600), "yes" with Enter (full screen).
set -uo pipefail
game_dir=${1:?usage: play_and_quit.sh <game folder> [no|yes]}
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null' EXIT
. "$(dirname "$0")/common.sh"
answer=${2:-no}
cd "$game_dir" || exit 2

LD_PRELOAD=$preload ./pondquest >"$log" 2>&1 &
pid=$!

box=$(wait_window 'Fullscreen?' 30) || fail "the full-screen question did not appear"
xdotool windowfocus "$box"
if [ "$answer" = yes ]; then xdotool key Return; else xdotool key Escape; fi

win=$(wait_window 'Pondquest!' 60) || fail "no window captioned Pondquest!"
geometry=$(xdotool getwindowgeometry "$win")
echo "$geometry"
if [ "$answer" = yes ]; then
    screen=$(xwininfo -root | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
    # The desktop keeps its mode, so the window must cover it at its own size.
    echo "$geometry" | grep -q "Geometry: $screen" || fail "full screen window does not cover the screen"
else
    echo "$geometry" | grep -q "Geometry: 800x600" || fail "window is not 800x600"
    echo "$geometry" | grep -q "Position: 0,0" || fail "window is not at the top-left corner"
fi

# Esc on the title quits; hold it across a few frames so the per-frame poll sees it.
quit_with_esc "$win"
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q "no answer to the full-screen question" "$log" && fail "the question box could not be shown"
echo "PASS: question answered $answer, window \"Pondquest!\" shown, Esc quit with status 0"
