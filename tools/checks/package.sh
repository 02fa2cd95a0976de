#!/usr/bin/env bash
# The Debian package, end to end: builds it with cpack from a configured and built build folder,
# validates its desktop entry and AppStream metainfo, installs it into this machine with apt-get,
# runs the installed /usr/bin/pondquest from an unrelated folder under Xvfb (title drawn, window
# icon, Esc exits 0), and removes it again, even when a step fails.
#   tools/checks/package.sh <build folder>     (as root, or with sudo at hand)
set -euo pipefail
build=$(cd "${1:?usage: tools/checks/package.sh <build folder>}" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
started=$(date +%s)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

if dpkg-query -W -f='${Status}' pondquest 2>/dev/null | grep -q "install ok installed"; then
    echo "package: a pondquest package is already installed here; remove it first (apt-get remove pondquest)" >&2
    exit 1
fi

echo "== package: cpack -G DEB"
rm -f "$build"/pondquest_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/pondquest_*.deb)
echo "$deb"
dpkg-deb -f "$deb" Depends | sed 's/^/Depends: /'

echo "== package: validators"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked"/usr/share/applications/pondquest.desktop
echo "desktop-file-validate: no problems"
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml
man --warnings -l "$unpacked"/usr/share/man/man6/pondquest.6.gz >/dev/null

echo "== package: apt-get install $deb"
remove() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq pondquest >/dev/null || true; }
trap 'remove; rm -rf "$unpacked"' EXIT
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
dpkg -L pondquest | while read -r f; do [ -f "$f" ] && echo "$f"; done | sort

echo "== package: the installed game under Xvfb"
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
    "$root"/tests/e2e/installed_game.sh "$build"/tests/e2e_title_check --program /usr/bin/pondquest

echo "== package: apt-get remove pondquest"
remove
trap 'rm -rf "$unpacked"' EXIT
[ ! -e /usr/bin/pondquest ] || { echo "package: /usr/bin/pondquest is still there after removal" >&2; exit 1; }
echo "== package: passed in $(( $(date +%s) - started )) s"
