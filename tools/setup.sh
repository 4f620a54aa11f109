#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing the
# player need. Quick when everything is there: it asks apt only for what is
# missing.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config
  qt6-base-dev qt6-qpa-plugins libfontconfig-dev libxcb1-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # playback
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-tools timgm6mb-soundfont
  fonts-dejavu-core fonts-liberation
  # tests: a real X server and sound server, and the tools that drive them
  xvfb xdotool openbox x11-utils imagemagick pulseaudio pulseaudio-utils sox
  python3 python3-numpy xclip
  # the desktop's remote control: a private session bus and the tools that use it
  dbus-daemon dbus-bin playerctl
  # benchmarks: gst-play-1.0, the reference of the player's CPU (bench/player_cpu.py)
  gstreamer1.0-plugins-base-apps
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
