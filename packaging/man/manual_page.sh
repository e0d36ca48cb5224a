#!/usr/bin/env bash
# Writes a program's manual page from its own --help and --version (help2man)
# and the hand-written sections of INCLUDE. A program with commands also gets
# a COMMANDS section holding each command's own --help, so the page names
# every command and option the program has.
#   manual_page.sh PROGRAM INCLUDE OUTPUT
set -euo pipefail
program=$1
include=$2
output=$3
name=$(basename "$program")
folder=$(cd "$(dirname "$program")" && pwd)
extra=$(mktemp)
trap 'rm -f "$extra"' EXIT

# Runs the program by name, so its usage lines say "parlevo-cli", not the build folder.
run() { PATH="$folder:$PATH" "$name" "$@"; }

# The commands listed under "Subcommands:" of the program's --help.
commands() {
  run --help | sed -n '/^Subcommands:/,/^$/p' | sed -n 's/^  \([a-z][a-z0-9-]*\).*/\1/p'
}

# Text as roff: backslashes kept, hyphens searchable, no line taken for a request.
as_roff() {
  sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
}

cat "$include" > "$extra"
mapfile -t names < <(commands)
if [ ${#names[@]} -gt 0 ]; then
  echo "[COMMANDS]" >> "$extra"
  echo "Global options come before the command; each command's own options after it." >> "$extra"
  for command in "${names[@]}"; do
    printf '.SS "%s"\n.nf\n' "$command" >> "$extra"
    run "$command" --help | as_roff >> "$extra"
    printf '.fi\n' >> "$extra"
  done
fi
mkdir -p "$(dirname "$output")"
PATH="$folder:$PATH" help2man --no-info --section=1 --include="$extra" --output="$output" "$name"
