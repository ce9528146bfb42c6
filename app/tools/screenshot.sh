#!/usr/bin/env bash
# Starts brenvik-shorturl under Xvfb and saves a PNG of its main window, for a
# person to look at. Usage: screenshot.sh [path/to/brenvik-shorturl] [out.png]
# Needs xvfb-run, xwininfo (x11-utils), ImageMagick's import and a CJK font
# (fonts-wqy-microhei). Exits on its own: the tool is stopped after the shot.
set -euo pipefail

tool=${1:-build/app/brenvik-shorturl}
out=${2:-brenvik-shorturl.png}
title_prefix="Brenvik"

if [ "${BRENVIK_SCREENSHOT_INNER:-}" != 1 ]; then
  [ -x "$tool" ] || { echo "screenshot: no executable at $tool" >&2; exit 2; }
  export BRENVIK_SCREENSHOT_INNER=1
  exec timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$tool" "$out"
fi

# Inside the virtual display from here on. No xdg-open may fire during the shot.
unset QT_QPA_PLATFORM
export LANG=${LANG:-C.UTF-8}
"$tool" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

window=""
for _ in $(seq 1 100); do
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "screenshot: the tool ended before its window appeared" >&2
    exit 1
  fi
  window=$(xwininfo -root -tree 2>/dev/null | awk -v p="\"$title_prefix" 'index($0, p) { print $1; exit }')
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "screenshot: no window titled $title_prefix* appeared" >&2; exit 1; }

# Give the first paint a moment, then take the window itself.
sleep 0.5
import -window "$window" "$out"
echo "screenshot: saved $out ($(xwininfo -id "$window" | awk '/Width:|Height:/ { printf "%s ", $2 }'| sed 's/ $//;s/ /x/'))"
