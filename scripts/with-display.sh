#!/usr/bin/env bash
# Runs a command on a virtual display of its own, with or without a window
# manager, and ends the display afterwards.
#
#   scripts/with-display.sh [--wm openbox|none] [--screen WxHxD] -- COMMAND [ARG...]
#
# The display number comes from Xvfb itself (-displayfd), so that several of
# these can start at once. With --wm openbox the command starts only once
# openbox manages the screen. The command's exit status is returned.
set -euo pipefail

wm=none
screen=1280x1024x24
while [ $# -gt 0 ]; do
  case "$1" in
    --wm) wm=$2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if [ $# -eq 0 ]; then
  echo "usage: $0 [--wm openbox|none] [--screen WxHxD] -- COMMAND [ARG...]" >&2
  exit 2
fi

scratch=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$scratch/display" >"$scratch/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.05; done
if [ ! -s "$scratch/display" ]; then
  echo "with-display: Xvfb did not start" >&2
  cat "$scratch/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$scratch/display")"

case "$wm" in
  none) ;;
  openbox)
    # A configuration folder of its own: nothing of the caller's desktop applies.
    XDG_CONFIG_HOME="$scratch/config" XDG_CACHE_HOME="$scratch/cache" \
      openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
    pids+=($!)
    managed=0
    for _ in $(seq 100); do
      if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then managed=1; break; fi
      sleep 0.05
    done
    if [ "$managed" -ne 1 ]; then
      echo "with-display: openbox did not start" >&2
      cat "$scratch/openbox.log" >&2
      exit 1
    fi
    ;;
  *) echo "with-display: unknown window manager $wm" >&2; exit 2 ;;
esac

status=0
"$@" || status=$?
exit "$status"
