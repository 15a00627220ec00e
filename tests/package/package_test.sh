#!/usr/bin/env bash
# The Debian package as a new user meets it: built and checked (scripts/package), installed with
# apt-get, started from a fresh home on a virtual display, the first-start message answered; the
# data tree must appear in that home's documents folder (the desktop's default one, and one named
# ~/Belgeler by user-dirs.dirs) with nothing new under /usr, and survive `apt-get remove`.
# Needs root (it installs and removes the package); CI runs it on a throwaway machine.
set -euo pipefail
cd "$(dirname "$0")/../.."

if [ "$(id -u)" -ne 0 ]; then
    echo "package test: skipped, it installs a package and needs root" >&2
    exit 0
fi
started=$(date +%s)
deb=$(scripts/package | tail -n 1)
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$deb" > /dev/null

work=$(mktemp -d /tmp/tavlix-package-test.XXXXXX)
# Also on a failure: the package goes again (a removal that found it gone already is no failure).
trap 'status=$?; apt-get remove -y -qq tavlix > /dev/null 2>&1 || true; rm -rf "$work"; exit $status' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

# Starts the installed tavlix in HOME=$1 on a display of its own, answers the first-start box with
# Return and waits until DATA.xlsx exists under $2; then ends that Tavlix.
first_start() {
    local home=$1 expected=$2
    env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 TAVLIX_CONNECTIVITY=offline \
        xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
            tavlix > "$HOME/tavlix.log" 2>&1 &
            pid=$!
            for _ in $(seq 1 60); do
                window=$(xdotool search --onlyvisible --name "^Tavlix$" 2> /dev/null | head -n 1)
                [ -n "$window" ] && break
                sleep 0.5
            done
            [ -z "$window" ] || xdotool windowfocus --sync "$window" key Return || true
            for _ in $(seq 1 60); do
                [ -f "$0/Data/DATA.xlsx" ] && break
                sleep 0.5
            done
            kill "$pid" 2> /dev/null || true
            wait "$pid" 2> /dev/null || true' "$expected"
    for path in Data/DATA.xlsx Firmalarım prgDosyaları; do
        [ -e "$expected/$path" ] || fail "$expected/$path was not made (log: $(cat "$home/tavlix.log"))"
    done
}

touch "$work/installed"
sleep 1 # a file written from now on is newer than the mark

home1="$work/home1" home2="$work/home2"
mkdir -p "$home1" "$home2/.config"
first_start "$home1" "$home1/Documents/Tavlix"
echo 'XDG_DOCUMENTS_DIR="$HOME/Belgeler"' > "$home2/.config/user-dirs.dirs"
first_start "$home2" "$home2/Belgeler/Tavlix"
[ ! -e "$home2/Documents" ] || fail "a Documents folder was made beside ~/Belgeler"

new=$(find /usr -newer "$work/installed" -print 2> /dev/null | head -n 5)
[ -z "$new" ] || fail "Tavlix wrote under /usr: $new"
changed=$(dpkg --verify tavlix)
[ -z "$changed" ] || fail "files of the package were changed: $changed"

apt-get remove -y -qq tavlix > /dev/null
[ ! -e /usr/lib/tavlix/Tavlix ] || fail "apt-get remove left the program"
for home in "$home1/Documents" "$home2/Belgeler"; do
    [ -f "$home/Tavlix/Data/DATA.xlsx" ] || fail "apt-get remove took $home/Tavlix/Data/DATA.xlsx"
done
echo "package test: passed in $(($(date +%s) - started)) s ($deb)"
