#!/bin/bash
# The guides' editor screenshot, docs/editor-neovim.png: Neovim in a tmux
# terminal, with the shipped Vim files and `parlevo-cli lsp`, showing the
# diagnostic of an unknown tag planted in a copy of 花子's react.txt.
# Usage: tools/editor_screenshot.sh BUILD_DIR (run from the source tree).
set -euo pipefail
build=$(realpath "$1")
source_dir=$(pwd)
columns=100
rows=12
work=$(mktemp -d)
trap 'tmux -L parlevo-shot kill-server 2>/dev/null || true; rm -rf "$work"' EXIT
cp -r examples/hanako "$work/"
rm -f "$work"/hanako/*.lts "$work"/hanako/data/*.lts
# The first answer's {NICKNAME} misspelt.
python3 - "$work/hanako/data/react.txt" <<'PY'
import sys
path = sys.argv[1]
data = open(path, 'rb').read()
open(path, 'wb').write(data.replace(b'{NICKNAME}', b'{NICKNAM}', 1))
PY
cat >"$work/init.lua" <<LUA
vim.opt.runtimepath:prepend('$source_dir/editors/vim')
vim.opt.fileencodings = 'ucs-bom,utf-8,cp932'
vim.opt.termguicolors = false
vim.opt.number = true
vim.cmd('filetype plugin on | syntax on')
require('parlevo').setup({ cmd = { '$build/parlevo-cli', 'lsp' } })
-- The message in full, in a float under the line, once it has come.
vim.cmd('highlight NormalFloat ctermbg=237 ctermfg=252')
vim.api.nvim_create_autocmd('DiagnosticChanged', { callback = function()
  vim.schedule(function() vim.diagnostic.open_float({ scope = 'line', max_width = 80 }) end)
end })
LUA
cd "$work/hanako/data"
LANG=C.UTF-8 tmux -L parlevo-shot -u -f /dev/null new-session -d -x $columns -y $rows \
  "env HOME=$work nvim -u $work/init.lua -i NONE -n react.txt"
sleep 4
tmux -L parlevo-shot capture-pane -p -e >"$work/screen.txt"
python3 "$source_dir/tools/ansi_to_svg.py" $columns $rows <"$work/screen.txt" >"$work/screen.svg"
rsvg-convert "$work/screen.svg" -o "$source_dir/docs/editor-neovim.png"
echo "docs/editor-neovim.png"
