# Shared by the end-to-end scripts, sourced once work (a scratch folder the caller removes) and
# game_dir (or program, the game itself) are set; the game's output goes to $log, the game's process id is $pid.
command -v xdotool >/dev/null || { echo "xdotool is missing"; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "no X display (run under xvfb-run)"; exit 2; }
log=$work/game.log
# For the sanitizer build: the system libraries' own leaks are suppressed, and Mesa's software
# driver is kept loaded to the end so its allocations can be named (a slow unwinder instead
# deadlocks inside the driver), and the runtime's __tls_get_addr interceptor, which can crash
# LeakSanitizer's tracer at exit, is off. No effect on a normal build.
printf 'leak:%s\n' libGLX libGL.so libEGL swrast_dri libgallium libLLVM libX11 libxcb \
    libfontconfig libdbus libSDL2 libfluidsynth libglib libasound libpulse >"$work/lsan.supp"
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$work/lsan.supp:print_suppressions=0}
preload=""
if ldd "${program:-$game_dir/pondquest}" 2>/dev/null | grep libasan >/dev/null; then
    driver=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so
    [ -e "$driver" ] && preload=$driver
    export ASAN_OPTIONS=${ASAN_OPTIONS:-verify_asan_link_order=0:intercept_tls_get_addr=0}
fi
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

fail() { echo "FAIL: $*"; echo "--- game output"; cat "$log"; exit 1; }
# The id of a top-level window with exactly this name, if there is one.
find_window() {
    xwininfo -root -tree 2>/dev/null | awk -v want="\"$1\":" '$2 == want { print $1; exit }'
}
wait_window() {  # wait_window <exact name> <seconds>: polls until it exists; prints its id
    local tries=$(( $2 * 10 )) id
    while [ "$tries" -gt 0 ]; do
        id=$(find_window "$1")
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1; tries=$((tries - 1))
    done
    return 1
}
ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }  # ms_since <date +%s%N>
# quit_with_esc <window>: holds Esc across a few frames (the per-step poll must see it) until
# the game ends, and leaves its exit status in $status.
quit_with_esc() {
    xdotool windowfocus "$1" 2>/dev/null
    for attempt in 1 2 3 4 5; do
        xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
        for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break 2; sleep 0.1; done
    done
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "the game did not quit on Esc"
    wait "$pid"; status=$?
    pid=
}
