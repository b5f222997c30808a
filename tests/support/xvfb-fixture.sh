#!/usr/bin/env bash
# Starts or stops a virtual display of a test run: xvfb-fixture.sh start|stop STATE_DIR [NAME].
# The display number goes to STATE_DIR/NAME.display (NAME is xvfb unless given), which the
# display-using tests read.
set -euo pipefail
action=$1
state=$2
name=${3:-xvfb}
mkdir -p "$state"
case "$action" in
start)
  if [ -f "$state/$name.pid" ] && kill -0 "$(cat "$state/$name.pid")" 2>/dev/null; then
    kill "$(cat "$state/$name.pid")" || true
  fi
  rm -f "$state/$name.display" "$state/$name.fd"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$state/$name.fd" </dev/null >"$state/$name.log" 2>&1 &
  echo $! >"$state/$name.pid"
  for _ in $(seq 100); do
    if [ -s "$state/$name.fd" ]; then
      tr -d '\n' <"$state/$name.fd" >"$state/$name.display"
      echo "Xvfb on :$(cat "$state/$name.display")"
      exit 0
    fi
    sleep 0.1
  done
  echo "Xvfb did not start:" >&2
  cat "$state/$name.log" >&2
  exit 1
  ;;
stop)
  if [ -f "$state/$name.pid" ]; then
    kill "$(cat "$state/$name.pid")" 2>/dev/null || true
    rm -f "$state/$name.pid" "$state/$name.display" "$state/$name.fd"
  fi
  ;;
esac
