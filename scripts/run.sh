#!/usr/bin/env bash
# The main job: installs and builds what is needed, makes sure the companion
# shortening service answers on loopback, and opens the desktop tool pointed
# at it. Without a display it shortens one address through the command-line
# client instead and shows the redirect. Usage: run.sh [URL [ALIAS]]
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target brenvik-shortd brenvik-shorten brenvik-shorturl

port=$(sed -n 's/^BRENVIK_DEFAULT_SERVICE_PORT:STRING=//p' build/release/CMakeCache.txt)
origin="http://127.0.0.1:${port}"
data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/brenvik"

started=""
if curl -sf -o /dev/null --max-time 2 "$origin/healthz"; then
  echo "run: the shortening service already answers at $origin"
else
  mkdir -p "$data_dir"
  build/release/service/brenvik-shortd --listen "127.0.0.1:${port}" --db "$data_dir/links.db" \
    2>>"$data_dir/service.log" &
  started=$!
  trap 'kill "$started" 2>/dev/null || true; wait "$started" 2>/dev/null || true' EXIT
  for _ in $(seq 1 50); do
    curl -sf -o /dev/null --max-time 1 "$origin/healthz" && break
    kill -0 "$started" 2>/dev/null || { echo "run: the service did not start; see $data_dir/service.log" >&2; exit 1; }
    sleep 0.1
  done
  echo "run: started the shortening service at $origin (links in $data_dir/links.db)"
fi
export BRENVIK_SERVICE_URL="$origin/create.php"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "run: opening the window; the service stops when the window closes"
  build/release/app/brenvik-shorturl
  exit 0
fi

url=${1:-https://www.debian.org/doc/manuals/debian-reference/}
echo "run: no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open."
echo "run: shortening $url through the command-line client instead:"
short=$(build/release/app/cli/brenvik-shorten "$url" ${2:+"$2"})
echo "  $short"
echo "run: following the short address:"
curl -s -o /dev/null -w '  %{http_code} -> %{redirect_url}\n' "$short"
