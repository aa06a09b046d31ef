#!/usr/bin/env bash
# Starts Quillomat. Without a display (neither DISPLAY nor WAYLAND_DISPLAY)
# it runs on a virtual X display, saves a screenshot of the main window as
# <build>/screenshot-main.png and ends the program after a few seconds.
set -euo pipefail
build="${1:-build}"
program="$build/quillomat"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi

shot="$build/screenshot-main.png"
display=""
for n in $(seq 90 120); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
    display=":$n"
    break
  fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
prog_pid=""
cleanup() {
  [ -n "$prog_pid" ] && kill "$prog_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done

DISPLAY="$display" "$program" &
prog_pid=$!
sleep 3
if ! kill -0 "$prog_pid" 2>/dev/null; then
  echo "Quillomat ended before its window could be captured" >&2
  exit 1
fi
# The main window by its title; the whole screen if it cannot be found.
if ! DISPLAY="$display" import -window Quillomat "$shot" 2>/dev/null; then
  DISPLAY="$display" import -window root "$shot"
fi
echo "No display: Quillomat ran on the virtual display $display; screenshot saved as $shot"
