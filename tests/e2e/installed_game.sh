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

. "$(dirname "$0")/common.sh"
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

quit_with_esc "$win"
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q "cannot find the game's files\|cannot load image\|cannot use the sound file" "$log" &&
    fail "the installed game missed some of its files"
[ -z "$(ls -A "$elsewhere")" ] || fail "the game wrote into the folder it was started from: $(ls -A "$elsewhere")"
echo "PASS: $program started from $elsewhere, title drawn, window icon set, Esc quit with status 0"
