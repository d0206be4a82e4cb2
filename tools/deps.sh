#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# this machine lacks. Sourced by tools/run and tools/test.
morvo_packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-multimedia-dev qt6-image-formats-plugins libgl-dev
  libbenchmark-dev
  python3 python3-fonttools
  fonts-dejavu-core
  desktop-file-utils appstream
  # the end-to-end scenarios: a virtual display, keys and clicks,
  # screenshots, the clipboard, and memcheck (tools/test --memcheck)
  xvfb xauth xdotool x11-utils imagemagick xclip valgrind
)

morvo_install_deps() {
  local missing=()
  local p
  for p in "${morvo_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "morvo: installing ${missing[*]}" >&2
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
