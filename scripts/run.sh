#!/usr/bin/env bash
# Runs the sample characters (`make run`): the window when a display is available, otherwise the terminal.
# They run from a working copy in the build folder, so their state files stay out of the source tree
# and what they remember (花子 counts your conversations) carries over from one run to the next.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}
case $build in /*) ;; *) build=$root/$build ;; esac
work=$build/run/examples

# Copies each sample file that is missing from the working copy or older there; state files
# (*.lts) exist only in the working copy and are left alone.
refresh_samples() {
  local file target
  (cd "$root/examples" && find . -type f ! -name '*.lts') | while IFS= read -r file; do
    target=$work/${file#./}
    if [ ! -e "$target" ] || [ "$root/examples/$file" -nt "$target" ]; then
      mkdir -p "$(dirname "$target")"
      cp -p "$root/examples/$file" "$target"
    fi
  done
}

refresh_samples
first=$work/hanako/hanako.ltc
second=$work/robo/robo.ltc

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/parlevo" ]; then
  exec "$build/parlevo" "$first" "$second"
fi
echo "花子 and ロボ talk for 24 lines (Ctrl-C ends the conversation early)."
exec "$build/parlevo-cli" converse --turns 24 --interval 800 -- "$first" "$second"
