#!/usr/bin/env bash
# The installed programs as a user meets them: `cmake --install` into a scratch
# prefix, then the layout, the desktop and AppStream entries, the manual pages
# against --help, the bash completion, both --version texts, the samples of a
# read-only install in the window and in the terminal, and a moved prefix.
#   install_test.sh BUILD_FOLDER PROJECT_VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
chmod 755 "$scratch"  # the unprivileged user of the read-only runs must reach it
prefix=$scratch/usr
app_id=org.parlevo.Parlevo
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
gui=false
[ -x "$build/parlevo" ] && gui=true

cmake --install "$build" --prefix "$prefix" > /dev/null
cli=$prefix/bin/parlevo-cli

# Runs a command as a user who cannot write the prefix: root can write
# anywhere, so root runs it as nobody.
as_user=(env HOME="$scratch/home")
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups "${as_user[@]}")
fi
unprivileged() { "${as_user[@]}" "$@"; }

# ------------------------------------------------------------------ layout
expected=(
  bin/parlevo-cli
  share/parlevo/examples/hanako/hanako.ltc share/parlevo/examples/robo/robo.ltc
  share/doc/parlevo/authoring.md share/doc/parlevo/README.md share/doc/parlevo/LICENSE
  share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml
  share/icons/hicolor/scalable/apps/$app_id.svg share/icons/hicolor/48x48/apps/$app_id.png
  share/man/man1/parlevo-cli.1.gz share/bash-completion/completions/parlevo-cli
  share/parlevo/editors/vscode/package.json share/parlevo/editors/vscode/syntaxes/parlevo.tmLanguage.json
  share/parlevo/editors/vim/ftdetect/parlevo.vim share/parlevo/editors/vim/lua/parlevo.lua
)
$gui && expected+=(bin/parlevo share/man/man1/parlevo.1.gz)
for file in "${expected[@]}"; do
  [ -e "$prefix/$file" ] || fail "not installed: $file"
done
[ -z "$(find "$prefix" -name '*.lts*')" ] || fail "a state file was installed"
[ -z "$(find "$prefix" -name node_modules)" ] || fail "what make vsix fetched was installed"
pass "layout"

# -------------------------------------------- desktop entry and AppStream
desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop entry"
grep -q '^Name\[ja\]=' "$prefix/share/applications/$app_id.desktop" || fail "no Japanese name"
grep -q '^Exec=parlevo %F$' "$prefix/share/applications/$app_id.desktop" || fail "Exec line"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" > "$scratch/as" ||
  { cat "$scratch/as"; fail "AppStream entry"; }
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$app_id.metainfo.xml" ||
  fail "AppStream release is not $version"
pass "desktop entry and AppStream entry"

# ------------------------------------------------- --version of both programs
[ "$("$cli" --version)" = "parlevo-cli $("$build/parlevo-cli" --version | cut -d' ' -f2-)" ] ||
  fail "installed and built parlevo-cli differ"
[[ $("$cli" --version) == "parlevo-cli $version"* ]] || fail "parlevo-cli --version: $("$cli" --version)"
if $gui; then
  [ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/parlevo" --version)" = \
    "parlevo ${version}$("$cli" --version | cut -d' ' -f2- | sed "s/^$version//")" ] ||
    fail "parlevo --version: $("$prefix/bin/parlevo" --version)"
fi
pass "--version"

# ------------------------------------ manual pages name every command and option
# The options and commands a help text lists ("-h,--help" gives both spellings).
help_words() {
  sed -n -e 's/^  \(-[^ ]*\).*/\1/p' -e '/^Subcommands:/,/^$/s/^  \([a-z][a-z0-9-]*\).*/\1/p' |
    tr ',' '\n' | grep -v '^$' || true
}
page_has_all() {  # PAGE HELP-COMMAND...
  local page=$1 text word
  shift
  text=$(zcat "$prefix/share/man/man1/$page.1.gz" | sed 's/\\-/-/g')
  for word in $("$@" --help | help_words); do
    grep -qF -- "$word" <<<"$text" || fail "$page(1) lacks $word (from: ${*##*/} --help)"
  done
}
page_has_all parlevo-cli "$cli"
for command in $("$cli" --help | sed -n '/^Subcommands:/,/^$/s/^  \([a-z][a-z0-9-]*\).*/\1/p'); do
  page_has_all parlevo-cli "$cli" "$command"
  zcat "$prefix/share/man/man1/parlevo-cli.1.gz" | grep -q "^\.SS \"$command\"" ||
    fail "parlevo-cli(1) has no section for $command"
done
$gui && page_has_all parlevo env -u DISPLAY "$prefix/bin/parlevo"
pass "manual pages"

# ------------------------------------------------------------- bash completion
complete_words() {  # the words offered for the command line "$@" (last word: being typed)
  PATH="$prefix/bin:$PATH" bash -c '
    source "$0"; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _parlevo_cli
    printf "%s\n" "${COMPREPLY[@]}"' \
    "$prefix/share/bash-completion/completions/parlevo-cli" parlevo-cli "$@"
}
commands=$("$cli" --help | sed -n '/^Subcommands:/,/^$/s/^  \([a-z][a-z0-9-]*\).*/\1/p' | sort)
[ "$(complete_words "" | sort)" = "$commands" ] || fail "completion of the command: $(complete_words "")"
[ "$(complete_words exp | sort | tr '\n' ' ')" = "expand " ] || fail "completion of exp"
offered=$(complete_words converse --)
for option in --turns --interval --format --help; do
  grep -qx -- "$option" <<<"$offered" || fail "completion of converse options lacks $option"
done
[ "$(complete_words --codepage "" | tr '\n' ' ')" = "932 1252 " ] || fail "completion of --codepage"
pass "bash completion"

# ------------------------ the terminal on read-only samples: a warning and a copy
samples=$prefix/share/parlevo/examples
[ "$(id -u)" -ne 0 ] && chmod -R a-w "$samples"
mkdir -p "$scratch/home" && chmod 777 "$scratch/home"
status=0
unprivileged "$cli" converse --turns 2 --interval 0 "$samples/hanako/hanako.ltc" \
  "$samples/robo/robo.ltc" > "$scratch/out" 2> "$scratch/err" || status=$?
grep -q "is read-only" "$scratch/err" && grep -q "cp -r '$samples/hanako' ~/parlevo/" "$scratch/err" ||
  fail "no read-only warning naming the copy command: $(cat "$scratch/err")"
# They talk, and the exit status says that their memory was not saved.
[ $status -eq 3 ] && [ "$(wc -l < "$scratch/out")" -eq 2 ] ||
  fail "read-only samples did not talk: $(cat "$scratch/out" "$scratch/err")"
# The copy the warning names works, and the warning goes away.
copy_command=$(grep -o "mkdir -p ~/parlevo/ && cp -r '$samples/hanako' ~/parlevo/" "$scratch/err")
unprivileged bash -c "$copy_command" || fail "the copy command failed"
unprivileged "$cli" converse --turns 2 --interval 0 "$scratch/home/parlevo/hanako/hanako.ltc" \
  "$scratch/home/parlevo/hanako/hanako.ltc" > "$scratch/out" 2> "$scratch/err" || fail "converse on the copy"
[ -s "$scratch/err" ] && fail "the copy still warns: $(cat "$scratch/err")"
[ -e "$scratch/home/parlevo/hanako/data/hanako.lts" ] || fail "the copy keeps no state file"
pass "parlevo-cli on read-only samples"

# ------------- the window with no characters: the samples talk from the user's copy
# Starts the window offscreen (as the user of the command words given after
# the program, if any) until its log holds a line, or a minute has passed,
# then ends it as the desktop does.
run_window() {  # DATA_HOME PROGRAM [COMMAND WORDS THAT RUN IT AS ANOTHER USER...]
  local data_home=$1 program=$2 pid i
  shift 2
  "$@" env XDG_DATA_HOME="$data_home" QT_QPA_PLATFORM=offscreen "$program" > "$scratch/gui" 2>&1 &
  pid=$!
  for ((i = 0; i < 600; i++)); do
    [ -s "$data_home/Parlevo/Parlevo.log" ] && break
    sleep 0.1
  done
  kill -TERM "$pid" 2> /dev/null || true
  wait "$pid" || fail "parlevo ended with status $?: $(cat "$scratch/gui")"
}
if $gui; then
  data_home=$scratch/home/data
  run_window "$data_home" "$prefix/bin/parlevo" "${as_user[@]}"
  copy=$data_home/Parlevo/examples
  [ -e "$copy/hanako/hanako.ltc" ] && [ -e "$copy/robo/robo.ltc" ] || fail "no user copy of the samples"
  [ -e "$copy/hanako/data/hanako.lts" ] && [ -e "$copy/robo/data/robo.lts" ] ||
    fail "the samples' memory is not kept in the copy"
  [ -s "$data_home/Parlevo/Parlevo.log" ] || fail "the samples did not talk (empty log)"
  [ -z "$(find "$prefix" -name '*.lts*' -o -name 'Parlevo.log')" ] || fail "parlevo wrote into the prefix"
  # Not even root's window writes beside an installed program.
  run_window "$scratch/root-data" "$prefix/bin/parlevo"
  [ -z "$(find "$prefix" -name '*.lts*' -o -name 'Parlevo.log')" ] || fail "parlevo wrote into the prefix"
  pass "parlevo starts the samples from the user's copy"
fi

# -------------------- a moved prefix still finds its files (nothing compiled in)
chmod -R u+w "$prefix"
mv "$prefix" "$scratch/moved"
[ "$(cd / && "$scratch/moved/bin/parlevo-cli" check "$scratch/moved/share/parlevo/examples/robo/robo.ltc" |
  tail -n 1)" != "" ] || fail "the moved parlevo-cli"
if $gui; then
  data_home=$scratch/home/moved-data
  run_window "$data_home" "$scratch/moved/bin/parlevo" "${as_user[@]}"
  [ -s "$data_home/Parlevo/Parlevo.log" ] || fail "the moved parlevo found no samples to talk"
fi
pass "moved prefix"

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
