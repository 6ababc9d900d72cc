#!/usr/bin/env bash
# Usage: make_screenshot.sh PROGRAM OUT.png
# Starts the window under a virtual X server (Xvfb) and saves a picture of it, for the package's
# AppStream metadata. Needs xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail
program=$1
out=$2
export program out
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$program" &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  window=$(timeout 60 xdotool search --sync --onlyvisible --name "^Parkmarq$" | head -n 1)
  sleep 2  # the first paint
  import -window "$window" "$out"
'
