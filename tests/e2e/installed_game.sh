#!/usr/bin/env bash
# Runs an installed game as a user would, from an unrelated folder under the current X display
# (Xvfb in CI): --windowed skips the question, the title must be drawn (its picture and key
# lines, read from the window's pixels), the window must carry the duckling icon, and Esc must
# quit with status 0 having written nothing into the folder it was started from.
#   installed_game.sh <e2e_title_check> --program <installed pondquest>
#   installed_game.sh <e2e_title_check> --destdir <build folder>
# The second form first installs the build into a fresh DESTDIR (prefix /usr) and checks the
# files are where the desktop expects them.
set -uo pipefail
checker=${1:?usage: installed_game.sh <e2e_title_check> --program PATH | --destdir BUILD}
mode=${2:-}
target=${3:?usage: installed_game.sh <e2e_title_check> --program PATH | --destdir BUILD}
command -v xdotool >/dev/null || { echo "xdotool is missing"; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "no X display (run under xvfb-run)"; exit 2; }

work=$(mktemp -d)
log=$work/game.log
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null' EXIT
fail() { echo "FAIL: $*"; [ -f "$log" ] && { echo "--- game output"; cat "$log"; }; exit 1; }

case "$mode" in
  --program) program=$target ;;
  --destdir)
    DESTDIR=$work/root cmake --install "$target" --prefix /usr >/dev/null || fail "cmake --install failed"
    program=$work/root/usr/bin/pondquest
    for f in usr/bin/pondquest usr/share/pondquest/titlemenu.tga usr/share/pondquest/DuelOfTheFates.mid \
        usr/share/pondquest/pondquest.bmp usr/share/pondquest/demos/whole_game.pqdemo \
        usr/share/applications/pondquest.desktop usr/share/man/man6/pondquest.6.gz \
        usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/pondquest.png; do
      [ -s "$work/root/$f" ] || fail "not installed: /$f"
    done
    ls "$work"/root/usr/share/metainfo/*.metainfo.xml >/dev/null 2>&1 || fail "no metainfo installed"
    # The program is what the install put there, not a link back into the build.
    [ -L "$program" ] && fail "the installed program is a link"
    ;;
  *) echo "usage: installed_game.sh <e2e_title_check> --program PATH | --destdir BUILD"; exit 2 ;;
esac
[ -x "$program" ] || fail "no program at $program"

# For the sanitizer build, as in play_and_quit.sh.
printf 'leak:%s\n' libGLX libGL.so libEGL swrast_dri libgallium libLLVM libX11 libxcb \
    libfontconfig libdbus libSDL2 libfluidsynth libglib libasound libpulse >"$work/lsan.supp"
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$work/lsan.supp:print_suppressions=0}
preload=""
if ldd "$program" 2>/dev/null | grep libasan >/dev/null; then
    driver=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so
    [ -e "$driver" ] && preload=$driver
    export ASAN_OPTIONS=${ASAN_OPTIONS:-verify_asan_link_order=0:intercept_tls_get_addr=0}
fi
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
unset PONDQUEST_DATA

elsewhere=$work/elsewhere
mkdir "$elsewhere"
cd "$elsewhere" || exit 2
LD_PRELOAD=$preload "$program" --windowed >"$log" 2>&1 &
pid=$!

win=""
for _ in $(seq 600); do
    # This game's own window: one left behind by another run must not stand in for it.
    win=$(xdotool search --pid "$pid" --name '^Pondquest!$' 2>/dev/null | head -1)
    [ -n "$win" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended before its window showed"
    sleep 0.1
done
[ -n "$win" ] || fail "no window captioned Pondquest!"
"$checker" "$win" 60 || fail "the title was not drawn"
# Read whole first: grep -q leaving early would end xprop with SIGPIPE and fail the pipe.
icon=$(xprop -id "$win" _NET_WM_ICON 2>&1)
[[ $icon == *"Icon (64 x 64)"* ]] || fail "the window has no 64 x 64 icon"

xdotool windowfocus "$win" 2>/dev/null
for attempt in 1 2 3 4 5; do
    xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
    for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break 2; sleep 0.1; done
done
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the game did not quit on Esc"
wait "$pid"; status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q "cannot find the game's files\|cannot load image\|cannot use the sound file" "$log" &&
    fail "the installed game missed some of its files"
[ -z "$(ls -A "$elsewhere")" ] || fail "the game wrote into the folder it was started from: $(ls -A "$elsewhere")"
echo "PASS: $program started from $elsewhere, title drawn, window icon set, Esc quit with status 0"
