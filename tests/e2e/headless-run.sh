#!/usr/bin/env bash
# make run on a machine without a display: scripts/run-game starts its own virtual display,
# rides the demo tune and leaves three screenshots. The last two are taken after the splash,
# eight seconds apart: each must show a lit scene, and the ride (wave, dragon, camera) must
# have moved between them. Everything the run touches is kept in a scratch folder.
# usage: headless-run.sh SOURCE_DIR DIST_DIR
set -euo pipefail
src=$1
dist=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/run"

env -u DISPLAY -u WAYLAND_DISPLAY HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" \
  TONECREST_RUNTIME_DIR="$scratch/run" TONECREST_SHM_NAMESPACE="headless$$" \
  TC_DIST="$dist" TC_OUT_DIR="$scratch/out" TC_RUN_SECONDS=24 \
  "$src/scripts/run-game" >"$scratch/run.log" 2>&1 || {
  echo "run-game failed:"; cat "$scratch/run.log"; exit 1; }

fail() { echo "FAIL: $*"; cat "$scratch/run.log"; exit 1; }
for i in 1 2 3; do
  [ -s "$scratch/out/tonecrest-$i.png" ] || fail "screenshot $i is missing"
done
grep -q "No display: ran the game" "$scratch/run.log" || fail "run-game did not report its run"

# The game's 800 x 600 client area sits at the top left of the virtual screen.
area() { convert "$scratch/out/tonecrest-$1.png" -crop 800x600+0+0 +repage "$scratch/area-$1.png"; }
area 2
area 3
for i in 2 3; do
  mean=$(convert "$scratch/area-$i.png" -colorspace Gray -format '%[fx:mean]' info:)
  awk -v m="$mean" 'BEGIN { exit !(m > 0.15) }' || fail "screenshot $i is dark (mean $mean)"
done
changed=$(compare -metric AE -fuzz 8% "$scratch/area-2.png" "$scratch/area-3.png" null: 2>&1 || true)
awk -v c="$changed" 'BEGIN { exit !(c > 48000) }' ||
  fail "the ride did not move between the screenshots ($changed of 480000 pixels changed)"
echo "ok: $changed of 480000 pixels changed"
