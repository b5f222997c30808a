#!/usr/bin/env bash
# The desktop entries and the metainfo pass the desktop's own validators, and name programs
# and icons that the install provides.
# usage: validate-desktop-files.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
pkg=$src/packaging
desktop-file-validate "$pkg/tonecrest.desktop" "$pkg/tcplayer.desktop"
appstreamcli validate --no-net "$pkg/io.github.tonecrest.Tonecrest.metainfo.xml"
fail() { echo "FAIL: $*"; exit 1; }
for entry in tonecrest tcplayer; do
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$pkg/$entry.desktop")
  icon=$(sed -n 's/^Icon=//p' "$pkg/$entry.desktop")
  [ "$exec_name" = "$entry" ] || fail "$entry.desktop starts $exec_name"
  for size in 16 22 24 32 48 64 128 256; do
    png=$build/packaging/icons/hicolor/${size}x${size}/apps/$icon.png
    [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x${size}" ] ||
      fail "no ${size}x${size} icon $icon"
  done
done
grep -q '^Exec=tcplayer %F$' "$pkg/tcplayer.desktop" || fail "tcplayer.desktop does not take files"
grep -q '^MimeType=.*audio/flac;' "$pkg/tcplayer.desktop" || fail "tcplayer.desktop plays no FLAC"
grep -q '<launchable type="desktop-id">tonecrest.desktop</launchable>' \
  "$pkg/io.github.tonecrest.Tonecrest.metainfo.xml" || fail "the metainfo names another entry"
echo "ok: desktop entries, icons and metainfo"
