#!/usr/bin/env bash
# Load figures for brenvik-shortd on loopback, side by side in one run:
#   redirects   wrk, 50 connections, against the service and against nginx `return 302`
#   creates     wrk with create-distinct.lua, each acknowledged create checked after kill -9
#   one create  brenvik-shorten versus curl | jq, both as whole processes (hyperfine)
# Every load loop is bounded in time (DURATION); nothing leaves 127.0.0.1.
#
# usage: bench/service/run-benchmark.sh [BUILD_DIR]   (default: build)
#   DURATION=10s CONNECTIONS=50 WRK_THREADS=2 override the load settings.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${1:-$repo/build}
shortd=$build/service/brenvik-shortd
# The command-line client is built by the app's own build; SHORTEN points elsewhere.
shorten=${SHORTEN:-}
if [ -z "$shorten" ]; then
  for candidate in "$build/app/cli/brenvik-shorten" "$repo/build/app/cli/brenvik-shorten" \
                   "$build/app/brenvik-shorten" "$repo/build/app/brenvik-shorten"; do
    [ -x "$candidate" ] && { shorten=$candidate; break; }
  done
  [ -n "$shorten" ] || shorten=$repo/build/app/cli/brenvik-shorten
fi
duration=${DURATION:-10s}
connections=${CONNECTIONS:-50}
wrkThreads=${WRK_THREADS:-2}

for tool in wrk nginx curl jq python3; do
  command -v "$tool" >/dev/null || { echo "run-benchmark: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
[ -x "$shortd" ] || { echo "run-benchmark: build brenvik-shortd first ($shortd)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/brenvik-bench-XXXXXX")
shortdPid=""
nginxPid=""
cleanup() {
  [ -n "$shortdPid" ] && kill "$shortdPid" 2>/dev/null && wait "$shortdPid" 2>/dev/null
  [ -n "$nginxPid" ] && kill "$nginxPid" 2>/dev/null && wait "$nginxPid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

FreePort() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Starts brenvik-shortd on a port of the system's choosing; sets shortdPid and base.
StartShortd() {
  : > "$work/shortd.out"
  "$shortd" --listen 127.0.0.1:0 --db "$work/links.db" >"$work/shortd.out" 2>>"$work/shortd.log" &
  shortdPid=$!
  for _ in $(seq 100); do
    grep -q '^listening on ' "$work/shortd.out" && break
    sleep 0.05
  done
  base=$(sed -n 's/^listening on //p' "$work/shortd.out")
  [ -n "$base" ] || { echo "run-benchmark: brenvik-shortd did not start" >&2; cat "$work/shortd.log" >&2; exit 1; }
}

KillShortd() {
  kill -9 "$shortdPid"
  wait "$shortdPid" 2>/dev/null || true
  shortdPid=""
}

StopShortd() {
  kill "$shortdPid"
  wait "$shortdPid" 2>/dev/null || true
  shortdPid=""
}

# Prints "requests-per-second p99-in-ms" from a wrk --latency report.
WrkFigures() {
  awk '
    /Requests\/sec:/ { rps = $2 }
    $1 == "99%" {
      v = $2
      if (v ~ /us$/) { sub(/us$/, "", v); p99 = v / 1000 }
      else if (v ~ /ms$/) { sub(/ms$/, "", v); p99 = v }
      else if (v ~ /s$/) { sub(/s$/, "", v); p99 = v * 1000 }
    }
    END { printf "%.0f %.2f\n", rps, p99 }' "$1"
}

# Acknowledged creates of a run that are missing from the database after a restart.
CountLost() {
  local run=$1
  cat "$work"/acked-"$run"-*.tsv 2>/dev/null | sort -u > "$work/acked-$run.all"
  comm -23 "$work/acked-$run.all" "$work/stored.tsv" | wc -l
}

echo "run-benchmark: build $build, $connections connections, $wrkThreads wrk threads, $duration per run"
echo "run-benchmark: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"

# --- redirects -------------------------------------------------------------------
StartShortd
alias=$(curl -s -d 'url=https%3A%2F%2Fexample.com%2Flanding&alias=bench' "$base/create.php" | jq -r .alias)
[ "$alias" = bench ] || { echo "run-benchmark: could not create the redirect link" >&2; exit 1; }
wrk -t"$wrkThreads" -c"$connections" -d"$duration" --latency "$base/bench" > "$work/wrk-shortd.txt"
read -r shortdRps shortdP99 < <(WrkFigures "$work/wrk-shortd.txt")

nginxPort=$(FreePort)
mkdir -p "$work/nginx/logs"
cat > "$work/nginx/nginx.conf" <<CONF
daemon off;
worker_processes 2;
pid $work/nginx/nginx.pid;
error_log $work/nginx/logs/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $work/nginx/body;
  proxy_temp_path $work/nginx/proxy;
  fastcgi_temp_path $work/nginx/fastcgi;
  uwsgi_temp_path $work/nginx/uwsgi;
  scgi_temp_path $work/nginx/scgi;
  server {
    listen 127.0.0.1:$nginxPort;
    location / {
      add_header Cache-Control "private, max-age=60";
      return 302 https://example.com/landing;
    }
  }
}
CONF
nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" -e "$work/nginx/logs/error.log" &
nginxPid=$!
for _ in $(seq 100); do
  curl -s -o /dev/null "http://127.0.0.1:$nginxPort/bench" && break
  sleep 0.05
done
wrk -t"$wrkThreads" -c"$connections" -d"$duration" --latency "http://127.0.0.1:$nginxPort/bench" > "$work/wrk-nginx.txt"
read -r nginxRps nginxP99 < <(WrkFigures "$work/wrk-nginx.txt")
kill "$nginxPid"; wait "$nginxPid" 2>/dev/null || true; nginxPid=""

# --- creates, then kill -9 ---------------------------------------------------------
wrk -t"$wrkThreads" -c"$connections" -d"$duration" -s "$here/create-distinct.lua" "$base" -- rate "$work" \
  > "$work/wrk-create.txt"
read -r createRps _ < <(WrkFigures "$work/wrk-create.txt")
# Run "a": every acknowledged create recorded, killed right after wrk stops (nothing
# checkpointed, no clean close).
wrk -t"$wrkThreads" -c"$connections" -d5s -s "$here/create-distinct.lua" "$base" -- a "$work" record \
  > "$work/wrk-create-a.txt"
KillShortd
# Run "b": killed in the middle of the load.
StartShortd
wrk -t"$wrkThreads" -c"$connections" -d5s -s "$here/create-distinct.lua" "$base" -- b "$work" record \
  > "$work/wrk-create-b.txt" 2>&1 &
wrkPid=$!
sleep 2.5
KillShortd
wait "$wrkPid" || true

"$shortd" export --db "$work/links.db" --output "$work/export.jsonl"
jq -r '[.alias, .longurl] | @tsv' "$work/export.jsonl" | sort -u > "$work/stored.tsv"
lostA=$(CountLost a)
lostB=$(CountLost b)
ackedA=$(wc -l < "$work/acked-a.all")
ackedB=$(wc -l < "$work/acked-b.all")

# --- one shortening as whole processes -----------------------------------------------
StartShortd
longUrl="https://example.com/one/shortening?from=benchmark"
curlCommand="curl -s -d 'url=https%3A%2F%2Fexample.com%2Fone%2Fshortening%3Ffrom%3Dbenchmark&alias=' $base/create.php | jq -r .tinyurl"
shortenCommand="BRENVIK_SERVICE_URL=$base/create.php $shorten '$longUrl'"
cliNote=""
if [ ! -x "$shorten" ]; then
  cliNote="brenvik-shorten not built ($shorten): its line is skipped"
fi
TimeCommandMs() {  # mean wall time of a shell command in ms
  if command -v hyperfine >/dev/null; then
    hyperfine --style none --warmup 3 --runs 40 --export-json "$work/hf.json" "$1" >/dev/null 2>&1
    jq '.results[0].mean * 1000' "$work/hf.json"
  else
    local start end
    start=$(date +%s%N)
    for _ in $(seq 40); do bash -c "$1" >/dev/null; done
    end=$(date +%s%N)
    echo "($end - $start) / 40 / 1000000" | bc -l
  fi
}
curlMs=$(TimeCommandMs "$curlCommand")
shortenMs=""
[ -z "$cliNote" ] && shortenMs=$(TimeCommandMs "$shortenCommand")
StopShortd

# --- the table -------------------------------------------------------------------
echo
printf '%-40s %-22s %s\n' "measure" "figure" "target"
printf '%-40s %-22s %s\n' "redirects, brenvik-shortd" "$shortdRps/s p99 ${shortdP99} ms" "p99 <= 5 ms"
printf '%-40s %-22s %s\n' "redirects, nginx return 302 (2 workers)" "$nginxRps/s p99 ${nginxP99} ms" ""
printf '%-40s %-22s %s\n' "redirects, service / nginx" "$(awk -v a="$shortdRps" -v b="$nginxRps" 'BEGIN { printf "%.0f%%", 100 * a / b }')" ">= 60%"
printf '%-40s %-22s %s\n' "creates (distinct addresses)" "$createRps/s" ">= 5000/s"
printf '%-40s %-22s %s\n' "acknowledged, lost after kill -9 at end" "$lostA of $ackedA" "0"
printf '%-40s %-22s %s\n' "acknowledged, lost after kill -9 in load" "$lostB of $ackedB" "0"
printf '%-40s %-22s %s\n' "one shortening, curl | jq" "$(printf '%.1f' "$curlMs") ms" ""
if [ -n "$shortenMs" ]; then
  printf '%-40s %-22s %s\n' "one shortening, brenvik-shorten" "$(printf '%.1f' "$shortenMs") ms" "<= half of curl | jq"
  printf '%-40s %-22s %s\n' "brenvik-shorten / curl | jq" "$(awk -v a="$shortenMs" -v b="$curlMs" 'BEGIN { printf "%.2f", a / b }')" "<= 0.50"
else
  echo "note: $cliNote"
fi
echo
echo "run-benchmark: $(grep -c "" "$work/shortd.log") request log lines written (the work folder is removed at exit)"
