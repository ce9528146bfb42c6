#!/usr/bin/env bash
# Puts every Debian package the project needs on this machine. Safe to run again:
# it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ca-certificates curl
  libcurl4-openssl-dev duktape-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libmicrohttpd-dev libsqlite3-dev zlib1g-dev
  xvfb xauth x11-utils fonts-wqy-microhei imagemagick xdg-utils
  wrk nginx-light jq hyperfine python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
