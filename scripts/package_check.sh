#!/usr/bin/env bash
# CI's package steps: builds the Debian package (`make package`, in a build
# folder of its own with the tests off), checks it with lintian (no errors and
# no warnings beyond those the package's overrides explain), installs it (dpkg -i, then apt-get -f install when a
# dependency is missing), runs the installed programs on a copy of the
# installed samples as a user would, starts the window offscreen, and removes
# the package, checking that nothing it installed is left behind.
#   scripts/package_check.sh   (PACKAGE_BUILD=folder, default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PACKAGE_BUILD:-build-package}
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

make package PACKAGE_BUILD="$build" JOBS="${JOBS:-2}"
deb=$(ls -t "$build"/parlevo_*.deb | head -n 1)  # the one just built
echo "== lintian $deb"
lintian --fail-on error,warning "$deb"

echo "== install"
$sudo dpkg -i "$deb" || $sudo env DEBIAN_FRONTEND=noninteractive apt-get -f install -y
mapfile -t installed < <(dpkg -L parlevo)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME"

echo "== the installed programs"
parlevo-cli --version
parlevo --version
cp -r /usr/share/parlevo/examples "$HOME/characters"
parlevo-cli converse --turns 4 --interval 0 "$HOME/characters/hanako/hanako.ltc" \
  "$HOME/characters/robo/robo.ltc" | tee "$work/converse"
[ "$(wc -l < "$work/converse")" -eq 4 ] || { echo "converse: not 4 lines"; exit 1; }
parlevo-cli check "$HOME/characters/hanako/hanako.ltc"
parlevo-cli check "$HOME/characters/robo/robo.ltc"
# The menu entry's command: no characters, so the samples talk from the user's copy.
QT_QPA_PLATFORM=offscreen parlevo &
window=$!
for ((i = 0; i < 600; i++)); do  # a minute at most for the first line
  [ -s "$XDG_DATA_HOME/Parlevo/Parlevo.log" ] && break
  kill -0 "$window" 2> /dev/null || { echo "parlevo ended early"; exit 1; }
  sleep 0.1
done
kill -TERM "$window"
wait "$window" || { echo "parlevo ended with status $? at TERM"; exit 1; }
[ -s "$XDG_DATA_HOME/Parlevo/Parlevo.log" ] || { echo "parlevo: the samples did not talk"; exit 1; }
head -n 3 "$XDG_DATA_HOME/Parlevo/Parlevo.log" | iconv -f CP932 -t UTF-8

echo "== remove"
$sudo dpkg --purge parlevo
left=0
for path in "${installed[@]}"; do
  case $path in /usr/share/parlevo* | /usr/share/doc/parlevo*) ;; *) [ -d "$path" ] && continue ;; esac
  if [ -e "$path" ] || [ -L "$path" ]; then
    echo "left behind: $path"
    left=1
  fi
done
[ "$left" -eq 0 ] || exit 1
echo "package: built, installed, run and removed (${#installed[@]} paths)"
