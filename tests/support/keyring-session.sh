#!/bin/sh
# keyring-session.sh <program> [arguments…]: runs it in a D-Bus session of its own with an unlocked
# keyring of its own (gnome-keyring, empty password); both end with the program.
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
