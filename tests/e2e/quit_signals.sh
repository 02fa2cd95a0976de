#!/usr/bin/env bash
# The real game under the current X display (Xvfb in CI), ended by signals:
#   - SIGTERM while the full-screen question shows: exit 0, the box gone, no process left;
#   - SIGINT on the title and SIGTERM during play: exit 0, no process left;
#   - DISPLAY unset: one "cannot open a display" line and exit 1 within 5 s.
# Each run is a session of its own, so every process it made, the box's included, can be
# found afterwards by its session id.
#   usage: quit_signals.sh <folder holding pondquest and its assets>
set -uo pipefail
game_dir=${1:?usage: quit_signals.sh <game folder>}
command -v xdotool >/dev/null || { echo "xdotool is missing"; exit 2; }
command -v setsid >/dev/null || { echo "setsid is missing"; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "no X display (run under xvfb-run)"; exit 2; }

work=$(mktemp -d)
log=$work/game.log
supp=$work/lsan.supp
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill -9 -- -"$pid" 2>/dev/null' EXIT
# For the sanitizer build, as in play_and_quit.sh.
printf 'leak:%s\n' libGLX libGL.so libEGL swrast_dri libgallium libLLVM libX11 libxcb \
    libfontconfig libdbus libSDL2 libfluidsynth libglib libasound libpulse >"$supp"
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$supp:print_suppressions=0}
preload=""
if ldd "$game_dir/pondquest" 2>/dev/null | grep -q libasan; then
    driver=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so
    [ -e "$driver" ] && preload=$driver
    export ASAN_OPTIONS=${ASAN_OPTIONS:-verify_asan_link_order=0}
fi
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export XDG_CONFIG_HOME=$work/config  # the player's own settings stay untouched
cd "$game_dir" || exit 2

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
start() {
    LD_PRELOAD=$preload setsid ./pondquest >"$log" 2>&1 &
    pid=$!
}
# Processes of the run's session still alive (zombies, already ended, are not counted).
left_behind() { ps -e -o sid=,stat=,pid=,args= | awk -v sid="$pid" '$1 == sid && $2 !~ /^Z/'; }
# end_with <signal> <what>: the game must end with 0 within 5 s and leave nothing behind.
end_with() {
    local sent status
    sent=$(date +%s%N)
    kill -"$1" "$pid" || fail "$2: the game was already gone"
    while kill -0 "$pid" 2>/dev/null; do
        [ $(( ($(date +%s%N) - sent) / 1000000 )) -lt 5000 ] || fail "$2: still running 5 s after SIG$1"
        sleep 0.05
    done
    wait "$pid"; status=$?
    [ "$status" -eq 0 ] || fail "$2: exit status $status after SIG$1"
    sleep 0.3  # the box's processes end by the group's kill; give the kernel a moment
    local rest
    rest=$(left_behind)
    [ -z "$rest" ] || fail "$2: left behind: $rest"
    echo "PASS: $2: SIG$1 ended the game with 0 in $(( ($(date +%s%N) - sent) / 1000000 )) ms, nothing left"
    pid=
}

# 1. The question box.
start
wait_window 'Fullscreen?' 30 >/dev/null || fail "the full-screen question did not appear"
end_with TERM "question box"
[ -z "$(find_window 'Fullscreen?')" ] || fail "the question box is still on screen"

# 2. The title, then 3. play: the question answered, P and Space pressed in the window.
for case in title play; do
    start
    box=$(wait_window 'Fullscreen?' 30) || fail "$case: the full-screen question did not appear"
    xdotool windowfocus "$box"
    xdotool key Escape
    win=$(wait_window 'Pondquest!' 60) || fail "$case: no window captioned Pondquest!"
    sleep 1
    if [ "$case" = play ]; then
        xdotool windowfocus "$win" 2>/dev/null
        for key in p space; do
            xdotool keydown "$key"; sleep 0.5; xdotool keyup "$key"; sleep 1
        done
        end_with TERM "$case"
    else
        end_with INT "$case"
    fi
done

# 4. No display at all.
began=$(date +%s%N)
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER LD_PRELOAD=$preload timeout 10 ./pondquest >"$log" 2>&1
status=$?
took=$(( ($(date +%s%N) - began) / 1000000 ))
[ "$status" -eq 1 ] || fail "no display: exit status $status, not 1"
[ "$took" -lt 5000 ] || fail "no display: took $took ms"
grep -q "^Pondquest: cannot open a display: " "$log" || fail "no display: no line saying so"
[ "$(wc -l <"$log")" -eq 1 ] || fail "no display: more than one line"
echo "PASS: no display: exit 1 in $took ms: $(cat "$log")"
