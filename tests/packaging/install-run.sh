#!/usr/bin/env bash
# The installed game: make install's rules into a scratch prefix, the installed tonecrest
# started from an unrelated folder with a scratch home on a virtual display. It must prepare
# the user's game folder, register the plug-in, start tcplayer on the demo tune and ride it;
# once the game has ended (Escape, then Yes), Settings.dat and the log are in the game folder
# under the scratch home, the game folder is recorded as ExePath, and nothing was written
# under the prefix or in the starting folder. Uninstall then leaves the prefix exactly as it
# was before the install (a file and a folder of someone else's are there throughout).
# usage: install-run.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
scratch=$(mktemp -d)
xvfb=""
cleanup() {
  [ -n "${player:-}" ] && kill "$player" 2>/dev/null || true
  [ -n "${launcher:-}" ] && kill "$launcher" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for log in "$scratch/home/.local/share/tonecrest/tcplayer.log" "$scratch/game.log"; do
    [ -f "$log" ] && { echo "--- $log"; cat "$log"; }
  done
  exit 1
}
listing() { (cd "$1" && find . | sort); }

prefix=$scratch/prefix
home=$scratch/home
mkdir -p "$prefix/share/applications" "$prefix/bin" "$home" "$scratch/elsewhere" "$scratch/run"
echo "someone else's" >"$prefix/share/applications/other.desktop"
listing "$prefix" >"$scratch/before"

"$src/scripts/install-prefix" install "$prefix" "$build" >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log"; fail "install failed"; }
listing "$prefix" >"$scratch/installed"
for f in bin/tonecrest bin/tcplayer lib/tonecrest/Tonecrest share/tonecrest/data/tcdata.d \
  share/applications/tonecrest.desktop share/icons/hicolor/48x48/apps/tonecrest.png; do
  [ -e "$prefix/$f" ] || fail "$f was not installed"
done

fd=$scratch/display
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd" </dev/null >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$fd" ] && break; sleep 0.1; done
[ -s "$fd" ] || fail "Xvfb did not start"

cd "$scratch/elsewhere"
env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY=":$(tr -d '\n' <"$fd")" SDL_AUDIODRIVER=dummy \
  TONECREST_RUNTIME_DIR="$scratch/run" TONECREST_SHM_NAMESPACE="install$$" \
  "$prefix/bin/tonecrest" >"$scratch/game.log" 2>&1 &
launcher=$!
export DISPLAY=":$(tr -d '\n' <"$fd")"

game=$home/.local/share/tonecrest/game
window=""
for _ in $(seq 150); do
  window=$(xdotool search --name '^Tone Crest!' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || fail "the game's window did not appear"
# The launcher became the game; the player it started is its child.
player_args=$(ps --ppid "$launcher" -o args= | grep tcplayer || true)
player=$(ps --ppid "$launcher" -o pid=,args= | awk '/tcplayer/ { print $1 }')
case $player_args in
*/share/tonecrest/music/demo-tune.wav*) ;;
*) fail "tcplayer was not started on the demo tune (children: $(ps --ppid "$launcher" -o args=))" ;;
esac
# Past the splash the ride is lit and moving.
sleep 10
import -window root -crop 800x600+0+0 +repage "$scratch/a.png"
sleep 6
import -window root -crop 800x600+0+0 +repage "$scratch/b.png"
mean=$(convert "$scratch/b.png" -colorspace Gray -format '%[fx:mean]' info:)
awk -v m="$mean" 'BEGIN { exit !(m > 0.15) }' || fail "the ride is dark (mean $mean)"
changed=$(compare -metric AE -fuzz 8% "$scratch/a.png" "$scratch/b.png" null: 2>&1 || true)
awk -v c="$changed" 'BEGIN { exit !(c > 48000) }' || fail "the ride did not move ($changed pixels)"

# Keys go where the pointer is, held as a hand holds them: the game reads them once a frame.
press() {
  xdotool mousemove --window "$1" 40 40
  xdotool keydown "$2"
  sleep 0.25
  xdotool keyup "$2"
}
press "$window" Escape
box=""
for _ in $(seq 100); do
  box=$(xdotool search --name '^Tone Crest$' 2>/dev/null | head -1 || true)
  [ -n "$box" ] && break
  sleep 0.2
done
[ -n "$box" ] || fail "Escape did not ask whether to exit"
sleep 0.3
xdotool mousemove --window "$box" 78 73 click 1 # its "Yes" button
# Ended: gone, or a zombie waiting for this script.
alive() { case $(ps -p "$launcher" -o stat= 2>/dev/null) in "" | Z*) return 1 ;; esac; }
for _ in $(seq 100); do alive || break; sleep 0.2; done
alive && fail "the game did not end after Yes"
wait "$launcher" || fail "the game ended with a failure"
launcher=""
# tcplayer plays on after the game, as a media player does.
kill -0 "$player" 2>/dev/null || fail "tcplayer did not outlive the game"
kill "$player"
player=""

# The installed renderer draws off screen in the same game folder, started from anywhere.
(cd "$scratch/elsewhere" && env -i PATH=/usr/bin:/bin HOME="$home" \
  TONECREST_RUNTIME_DIR="$scratch/run" "$prefix/bin/tcrender" \
  "$prefix/share/tonecrest/music/demo-tune.wav" -o "$scratch/frames/" --size 160x120 \
  --seconds 0.5 --quiet) >"$scratch/render.log" 2>&1 ||
  { cat "$scratch/render.log"; fail "the installed tcrender failed"; }
[ "$(ls "$scratch/frames" | grep -c '\.png$')" -ge 15 ] || fail "tcrender made too few frames"

[ -f "$game/Settings.dat" ] || fail "no Settings.dat in $game"
[ -f "$game/TestThis.txt" ] || fail "no TestThis.txt in $game"
[ -z "$(ls -A "$scratch/elsewhere")" ] || fail "files were written in the starting folder"
# Registry values are kept as hexadecimal bytes.
hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }
key="$home/.config/tonecrest/registry/HKEY_LOCAL_MACHINE/SOFTWARE/Brightfold Software/Tonecrest 2.0"
grep -qi "$(hex "$game")" "$key/.values" 2>/dev/null ||
  fail "the game folder was not recorded as ExePath"
grep -rqsi "$(hex "$prefix/lib/tonecrest/TCwavetap2.so")" "$home/.config/tonecrest/registry" || fail "the plug-in was not registered"
listing "$prefix" | diff "$scratch/installed" - >/dev/null || fail "the game wrote under the prefix"

"$src/scripts/install-prefix" uninstall "$prefix" >"$scratch/uninstall.log" 2>&1 ||
  { cat "$scratch/uninstall.log"; fail "uninstall failed"; }
listing "$prefix" | diff "$scratch/before" - || fail "uninstall did not give back the prefix as it was"
echo "ok: installed, rode the demo tune ($changed pixels moved), rendered it, settings in $game, uninstalled"
