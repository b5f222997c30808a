#!/usr/bin/env bash
# Starts or stops the one virtual display of a test run. The display number goes to
# STATE_DIR/xvfb.display, which the display-using tests read.
set -euo pipefail
action=$1
state=$2
mkdir -p "$state"
case "$action" in
start)
  if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
    kill "$(cat "$state/xvfb.pid")" || true
  fi
  rm -f "$state/xvfb.display" "$state/xvfb.fd"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$state/xvfb.fd" </dev/null >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do
    if [ -s "$state/xvfb.fd" ]; then
      tr -d '\n' <"$state/xvfb.fd" >"$state/xvfb.display"
      echo "Xvfb on :$(cat "$state/xvfb.display")"
      exit 0
    fi
    sleep 0.1
  done
  echo "Xvfb did not start:" >&2
  cat "$state/xvfb.log" >&2
  exit 1
  ;;
stop)
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid" "$state/xvfb.display" "$state/xvfb.fd"
  fi
  ;;
esac
