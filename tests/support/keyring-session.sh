#!/bin/sh
# Runs a test program in a D-Bus session of its own with a keyring of its own: gnome-keyring's
# secret service, unlocked with an empty password, its session collection as the default one.
# The session and the keyring end with the program (dbus-run-session ends the bus; the daemon
# follows it).
# Usage: keyring-session.sh <program> [arguments…]
set -eu
if [ -z "${TAVLIX_KEYRING_INNER:-}" ]; then
    TAVLIX_KEYRING_INNER=1 exec dbus-run-session -- "$0" "$@"
fi
unset TAVLIX_KEYRING_INNER
printf '' | gnome-keyring-daemon --unlock --components=secrets >/dev/null
gdbus call --session --dest org.freedesktop.secrets --object-path /org/freedesktop/secrets \
    --method org.freedesktop.Secret.Service.SetAlias default \
    /org/freedesktop/secrets/collection/session >/dev/null
export TAVLIX_TEST_KEYRING=1
exec "$@"
