#!/usr/bin/env bash
# Runs the sample characters: the window when a display is available, otherwise the terminal.
set -euo pipefail
build=${1:-build}
first=examples/hanako/hanako.ltc
second=examples/robo/robo.ltc
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/parlevo" ]; then
  exec "$build/parlevo" "$first" "$second"
fi
if [ -f "$first" ] && [ -f "$second" ]; then
  exec "$build/parlevo-cli" converse --turns 24 --interval 800 "$first" "$second"
fi
exec "$build/parlevo-cli" --help
