#!/bin/bash
# Neovim as a real client of the language server: a data file with an unknown
# tag planted on its third line, opened through the shipped Vim files.
# Usage: neovim_test.sh PARLEVO_CLI SOURCE_DIR. Exit 77 (skipped) without nvim.
set -euo pipefail
cli=$1
source_dir=$2
if ! command -v nvim >/dev/null; then
  echo "skipped: Neovim is not installed (scripts/bootstrap.sh installs Debian's neovim)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/kiosk/data"
printf 'name\r\nKiosk\r\nversion\r\n210\r\nfolder\r\ndata\r\ndata01\r\nhello.txt\r\ndatab1\r\nchat.txt\r\n' \
  >"$work/kiosk/kiosk.ltc"
printf 'TRUE,"Welcome in."\r\n' >"$work/kiosk/data/hello.txt"
printf 'TEA,"Green or black?"\r\nRAIN,"Take an umbrella."\r\nNAME,"Nice to meet you, {NICKNAM}."\r\n' \
  >"$work/kiosk/data/chat.txt"
export PARLEVO_CLI=$cli PARLEVO_FILE=$work/kiosk/data/chat.txt PARLEVO_LINE=2 PARLEVO_WORDS=NICKNAM
cd "$work"
HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state \
  timeout 120 nvim --headless -u NONE -i NONE -n --cmd "set runtimepath^=$source_dir/editors/vim" \
  -c "luafile $source_dir/tests/editors/neovim_diagnostic.lua"
