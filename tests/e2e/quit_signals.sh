#!/usr/bin/env bash
# The real game under the current X display (Xvfb in CI), ended by signals: SIGTERM while
# the full-screen question shows, SIGINT on the title, SIGTERM in play. Each must end it with
# status 0 within 5 s and leave no process behind; each run is a session of its own, so the
# question box's processes are found by its session id. Then, with no display named and with
# one nobody answers at: a "cannot open a display" line and status 1 within 5 s.
#   usage: quit_signals.sh <folder holding pondquest and its assets>
set -uo pipefail
game_dir=${1:?usage: quit_signals.sh <game folder>}
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill -9 -- -"$pid" 2>/dev/null' EXIT
. "$(dirname "$0")/common.sh"
export XDG_CONFIG_HOME=$work/config
cd "$game_dir" || exit 2

end_with() {  # end_with <signal> <case>
    local sent status rest
    sent=$(date +%s%N)
    kill -"$1" "$pid" || fail "$2: the game was already gone"
    while kill -0 "$pid" 2>/dev/null; do
        [ "$(ms_since "$sent")" -lt 5000 ] || fail "$2: still running 5 s after SIG$1"
        sleep 0.05
    done
    wait "$pid"; status=$?
    [ "$status" -eq 0 ] || fail "$2: exit status $status after SIG$1"
    sleep 0.3  # the box's processes end by their group's kill
    rest=$(ps -e -o sid=,stat=,pid=,args= | awk -v sid="$pid" '$1 == sid && $2 !~ /^Z/')
    [ -z "$rest" ] || fail "$2: left behind: $rest"
    echo "PASS: $2: SIG$1 ended the game with 0 in $(ms_since "$sent") ms, nothing left behind"
    pid=
}

for case in question title play; do
    LD_PRELOAD=$preload setsid ./pondquest >"$log" 2>&1 &
    pid=$!
    box=$(wait_window 'Fullscreen?' 30) || fail "$case: the full-screen question did not appear"
    if [ "$case" = question ]; then
        end_with TERM "$case"
        [ -z "$(find_window 'Fullscreen?')" ] || fail "the question box is still on screen"
        continue
    fi
    xdotool windowfocus "$box"
    xdotool key Escape
    win=$(wait_window 'Pondquest!' 60) || fail "$case: no window captioned Pondquest!"
    sleep 1
    if [ "$case" = play ]; then
        xdotool windowfocus "$win" 2>/dev/null
        for key in p space; do xdotool keydown "$key"; sleep 0.5; xdotool keyup "$key"; sleep 1; done
        end_with TERM "$case"
    else
        end_with INT "$case"
    fi
done

for display in unset :97; do  # no display named, and one that nobody answers at
    began=$(date +%s%N)
    if [ "$display" = unset ]; then set -- -u DISPLAY; else set -- DISPLAY=$display; fi
    env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$@" LD_PRELOAD="$preload" timeout 10 ./pondquest >"$log" 2>&1
    status=$? took=$(ms_since "$began")
    [ "$status" -eq 1 ] && [ "$took" -lt 5000 ] || fail "display $display: exit status $status after $took ms"
    grep -q "^Pondquest: cannot open a display: " "$log" || fail "display $display: no line saying so"
    echo "PASS: display $display: exit 1 in $took ms: $(grep 'cannot open' "$log")"
done
