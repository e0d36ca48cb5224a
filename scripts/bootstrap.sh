#!/usr/bin/env bash
# Installs the Debian packages Parlevo needs to build, test and run, if any is missing.
# Idempotent and quick when everything is present; uses sudo only when not root.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev fonts-noto-cjk xvfb
  libcli11-dev libgtest-dev libgmock-dev
  libbenchmark-dev libre2-dev libpcre2-dev
  clang libclang-rt-14-dev llvm
  nlohmann-json3-dev libedit-dev qt6-translations-l10n
  help2man desktop-file-utils appstream lintian dpkg-dev file fakeroot librsvg2-bin
  neovim
)
# Hyperscan exists for x86-64 only; it is an optional benchmark peer.
if [ "$(dpkg --print-architecture 2>/dev/null)" = amd64 ]; then
  packages+=(libhyperscan-dev)
fi

# `make vsix` (not `make test`) needs Node.js with npm: an installed Node.js
# is kept as it is, and Debian's npm is added only where it has none.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
