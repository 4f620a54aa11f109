#!/usr/bin/env bash
# Installs the Debian 12 packages the player needs: to build and play it, or
# with --tests also to test it. Quick when everything is there: it asks apt
# only for what is missing, through sudo when not run as root.
#
#   setup.sh [--tests]
set -euo pipefail

play=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-qpa-plugins libfontconfig-dev libxcb1-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav timgm6mb-soundfont
  fonts-dejavu-core fonts-liberation
)
tests=(
  libgtest-dev libgmock-dev libbenchmark-dev gstreamer1.0-tools
  # a real X server and sound server, and the tools that drive them
  xvfb xdotool openbox x11-utils imagemagick pulseaudio pulseaudio-utils sox
  python3 python3-numpy python3-xlib xclip
  # a Wayland compositor, and the toolkit's way of being its client
  weston qt6-wayland
  # the desktop's buses and tools: a private session bus, the remote control
  dbus-daemon dbus-bin playerctl
  # the launcher, the software centre entry and the Debian package
  desktop-file-utils appstream dpkg-dev
  # benchmarks: gst-play-1.0, the reference of the player's CPU (bench/player_cpu.py)
  gstreamer1.0-plugins-base-apps
  # sanitizers and fuzzing, and the layout check
  clang libclang-rt-14-dev clang-format
)

wanted=("${play[@]}")
[ "${1:-}" = --tests ] && wanted+=("${tests[@]}")

missing=()
for p in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root=()
  [ "$(id -u)" = 0 ] || as_root=(sudo)
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
