#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package from build/ (cpack), has lintian check it (any
# error or warning fails), installs it with apt, runs the installed programs
# as an ordinary user (settings and working folder in that user's XDG
# folders), removes and purges it, and checks that nothing of it is left.
# Needs root or sudo; changes the machine's /usr while it runs.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sudo=""
if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi
fail() { echo "deb: $*" >&2; exit 1; }

"$root/scripts/setup.sh"
"$root/scripts/build.sh"
(cd "$root/build" && cpack -G DEB >/dev/null)
deb="$(ls -t "$root"/build/bmslist_*.deb | head -1)"
echo "deb: built $deb"
dpkg-deb --field "$deb" Package Version Architecture Installed-Size Depends Recommends
command -v lintian >/dev/null || fail "lintian is not installed (scripts/setup.sh installs it)"
lint="$(lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>&1)" ||
  fail "lintian: $(grep -v '^running with root privileges' <<<"$lint")"
echo "deb: lintian finds no error or warning"
dpkg-query -W bmslist >/dev/null 2>&1 && fail "bmslist is installed already; remove it first"

scratch="$(mktemp -d)"
chmod 755 "$scratch"
cleanup() {
  $sudo apt-get remove --purge -y -q bmslist >/dev/null 2>&1 || true
  $sudo rm -rf "$scratch"
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "$deb" >/dev/null
[ -x /usr/bin/bmslist-cli ] && [ -f /usr/lib/bmslist/UNZIP32.DLL ] || fail "not installed where expected"

# An ordinary user with a home of its own in the scratch folder.
user=nobody
home="$scratch/home"
mkdir -p "$home/songs"
printf '#ARTIST taro\r\n#TITLE %s\r\n#WAV01 a.wav\r\n' "$(printf '\xb6\xdd\xc3\xdd')" >"$home/songs/a.bms"
(cd "$home/songs" && bsdtar -cf song.zip --format zip a.bms && rm a.bms)
$sudo chown -R "$user" "$home"
as_user() { $sudo env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 setpriv --reuid="$user" --regid=nogroup --clear-groups "$@"; }

as_user bmslist-cli --version
as_user bmslist --version
as_user bmslist-cli --csv "$home/list.csv" "$home/songs/song.zip"
grep -q '^"a.bms","taro",' "$home/list.csv" || fail "unexpected list: $(cat "$home/list.csv")"
[ -d "$home/.cache/bmslist/work" ] || fail "no working folder in ~/.cache/bmslist"
[ -z "$(ls -A "$home/.cache/bmslist/work")" ] || fail "working folder not emptied"
if command -v xvfb-run >/dev/null; then
  # The window starts, reads the archive named on its command line, and is
  # closed by a timeout; its settings land in ~/.config/bmslist.
  as_user xvfb-run -a timeout -s TERM 8 bmslist "$home/songs/song.zip" >/dev/null 2>&1 || true
fi
[ ! -e /usr/bin/work ] && [ ! -e /usr/bin/Bmslist.ini ] || fail "the programs wrote into /usr/bin"
echo "deb: installed copy ran as $user: $(head -c 60 "$home/list.csv")"

$sudo apt-get remove --purge -y -q bmslist >/dev/null
dpkg-query -W bmslist >/dev/null 2>&1 && [ "$(dpkg-query -W -f='${Status}' bmslist)" != "unknown ok not-installed" ] &&
  fail "still known to dpkg: $(dpkg-query -W -f='${Status}' bmslist)"
for f in /usr/bin/bmslist /usr/bin/bmslist-cli /usr/lib/bmslist /usr/share/applications/bmslist.desktop \
         /usr/share/man/man1/bmslist.1.gz /usr/share/icons/hicolor/48x48/apps/bmslist.png /usr/share/doc/bmslist; do
  [ ! -e "$f" ] || fail "$f left after removal"
done
echo "deb: installed, ran and removed cleanly"
