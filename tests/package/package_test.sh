#!/usr/bin/env bash
# The program as a person installs it: the launcher and the software
# centre's description pass their validators; the Debian package is made,
# names what the program needs, unpacks into a scratch root, and its program
# starts there; where the test runs as root, the package is installed for
# real with apt and removed again.
#
#   package_test.sh SOURCE BUILD WORK
set -euo pipefail
source=$1 build=$2 work=$3
rm -rf "$work" && mkdir -p "$work"

desktop-file-validate "$source/assets/corvan-player.desktop"
appstreamcli validate --no-net "$source/assets/corvan-player.metainfo.xml"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >cpack.log) ||
  { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/corvan-player_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libgstreamer1.0-0 gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly \
              gstreamer1.0-libav timgm6mb-soundfont; do
  grep -q "$needed" <<<"$depends" || { echo "the package does not depend on $needed: $depends"; exit 1; }
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
for file in usr/bin/corvan-player usr/share/corvan-player/new2.gif usr/share/corvan-player/new2@2x.png \
            usr/share/corvan-player/buttons/Command9@2x.png usr/share/applications/corvan-player.desktop \
            usr/share/metainfo/org.example.corvan_player.metainfo.xml usr/share/man/man1/corvan-player.1; do
  [ -e "$root/$file" ] || { echo "the package lacks $file"; exit 1; }
done
"$root/usr/bin/corvan-player" --version | grep -q '^Corvan Media Player'
module=$(cd "$root" && find usr/lib -name corvan-engine-gstreamer.so)
[ -n "$module" ] || { echo "the package lacks the engine module"; exit 1; }

# Started from the unpacked tree, it finds its skin and its engine module
# there (the one beside it, not another installed one) and keeps running.
starts() {
  local program=$1 engine=$2
  QT_QPA_PLATFORM=offscreen HOME="$work" XDG_RUNTIME_DIR="$work" "$program" >"$work/run.log" 2>&1 &
  local pid=$!
  sleep 2
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "$program ended at start:"; cat "$work/run.log"; return 1
  fi
  if ! grep -q "$engine" "/proc/$pid/maps"; then
    echo "$program did not open $engine:"; cat "$work/run.log"; kill "$pid"; return 1
  fi
  kill "$pid"; wait "$pid" 2>/dev/null || true
}
starts "$root/usr/bin/corvan-player" "$root/$module"

if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
  trap 'apt-get remove -y -qq corvan-player >/dev/null 2>&1 || true' EXIT
  starts /usr/bin/corvan-player "/$module"
  grep -q 'Exec=corvan-player %F' /usr/share/applications/corvan-player.desktop
fi
echo "package: made, unpacked and started"
