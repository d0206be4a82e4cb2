#!/usr/bin/env bash
# Fetches the photographs and drawings that morvo-import-bench scores, from
# Debian's wallpaper packages, into build/import-bench-images/ (or DIR).
# Nothing of them is kept in the repository.
#   lomiri-wallpapers-16.04  photographs, CC-BY-4.0 (Aitzol Berasategi,
#                            Trevor "Freespace") and CC0-1.0 (Clemens
#                            Engelhardt)
#   ukui-wallpapers          drawings, CC-BY-SA-3.0 (Ubuntu Kylin community)
#   bench/import_images.sh [DIR]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$here/build/import-bench-images}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cd "$work"
apt-get download lomiri-wallpapers-16.04 ukui-wallpapers >/dev/null 2>&1 || {
  echo "import_images.sh: apt-get download failed (run apt-get update first?)" >&2
  exit 1
}
for deb in *.deb; do
  dpkg-deb -x "$deb" extracted
done
backgrounds="$work/extracted/usr/share/backgrounds"
for name in Picture_0B_by_freespace.jpg Picture_1A_by_freespace.jpg aitzgorri_by_Aitzol_Berasategi.jpg \
            life_by_Aitzol_Berasategi.jpg friends_by_Aitzol_Berasategi.jpg seeding_by_Clements_Engelhardt.jpg \
            calla.png firstgeneration.jpg goldfish.png; do
  cp "$backgrounds/$name" "$out/"
done
echo "$out: $(ls "$out" | wc -l) images" >&2
