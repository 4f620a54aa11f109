#!/usr/bin/env bash
# Installs what building and playing need (through sudo when not root),
# builds the player into build/ and starts it in the current folder, as the
# user who ran this, in their own session and sound server. Arguments go to
# the player: files, folders or playlists to open.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/setup.sh"

# Run through sudo: the build and the player belong to the user who asked.
as_user=()
if [ "$(id -u)" = 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
  as_user=(sudo -u "$SUDO_USER" --preserve-env=DISPLAY,WAYLAND_DISPLAY,XDG_RUNTIME_DIR,DBUS_SESSION_BUS_ADDRESS,XAUTHORITY)
fi
"${as_user[@]}" cmake -S "$here" -B "$here/build" -DCORVAN_TESTS=OFF -DCORVAN_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
"${as_user[@]}" cmake --build "$here/build" -j"$(nproc)"
exec "${as_user[@]}" "$here/build/corvan-player" "$@"
