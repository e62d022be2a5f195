#!/usr/bin/env bash
# Download engine against its peers, in one run, on one machine, over loopback from a real web server
# (nginx) serving a 256 MiB package in its digest folder:
#   tovaclip-fetch --type 1   vs   curl -o, then md5sum      (one transfer plus the digest)
#   tovaclip-fetch --type 3   vs   aria2c -x2 -s2, then md5sum (two ranges plus the digest)
# Each pair runs alternately, three times; the medians of wall time and of peak resident memory
# (/usr/bin/time -v) are printed with the ratios. Usage: bench/download.sh [size in MiB]
set -euo pipefail
cd "$(dirname "$0")/.."
size_mib="${1:-256}"
runs=3

scripts/bootstrap
command -v nginx >/dev/null || { echo "nginx is missing (scripts/bootstrap installs it)"; exit 2; }
cmake --preset default >/dev/null
cmake --build --preset default --target tovaclip-fetch >/dev/null
fetch="$PWD/build/bin/tovaclip-fetch"

work=$(mktemp -d "${TMPDIR:-/tmp}/download-bench.XXXXXX")
nginx_pid=""
cleanup() {
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

chmod 755 "$work" # nginx's workers give up root
mkdir -p "$work/www" "$work/out" "$work/nginx"
head -c "$((size_mib * 1048576))" /dev/urandom > "$work/package.bin"
md5=$(md5sum "$work/package.bin" | cut -c1-32)
mkdir -p "$work/www/$md5"
mv "$work/package.bin" "$work/www/$md5/package.bin"

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$work/nginx/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 64; }
http {
  access_log off;
  sendfile on;
  client_body_temp_path $work/nginx; proxy_temp_path $work/nginx; fastcgi_temp_path $work/nginx;
  uwsgi_temp_path $work/nginx; scgi_temp_path $work/nginx;
  server { listen 127.0.0.1:$port; root $work/www; }
}
CONF
nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" &
nginx_pid=$!
url="http://127.0.0.1:$port/$md5/package.bin"
for _ in $(seq 50); do curl -sfI "$url" >/dev/null && break; sleep 0.1; done
curl -sfI "$url" >/dev/null || { echo "nginx does not serve the package"; exit 1; }

# measure NAME COMMAND...: runs the command under /usr/bin/time, checks the file, appends "seconds kib".
measure() {
  local name=$1; shift
  rm -f "$work/out/"*
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1 || { echo "$name failed"; exit 1; }
  local got
  got=$(md5sum "$work/out/package.bin" | cut -c1-32)
  [ "$got" = "$md5" ] || { echo "$name produced a wrong file"; exit 1; }
  cat "$work/time" >> "$work/$name"
}

for _ in $(seq "$runs"); do
  measure fetch1 "$fetch" --type 1 "$url" "$work/out/package.bin"
  measure curl sh -c "curl -sf -o '$work/out/package.bin' '$url' && md5sum '$work/out/package.bin'"
  measure fetch3 "$fetch" --type 3 "$url" "$work/out/package.bin"
  measure aria2 sh -c "aria2c -q -x2 -s2 --allow-overwrite=true -d '$work/out' -o package.bin '$url' && md5sum '$work/out/package.bin'"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
seconds() { cut -d' ' -f1 "$work/$1" | median; }
memory() { cut -d' ' -f2 "$work/$1" | median; }

printf 'package %d MiB, %d runs each, medians\n' "$size_mib" "$runs"
printf '%-28s %8s %10s\n' command seconds "peak KiB"
for name in fetch1 curl fetch3 aria2; do
  printf '%-28s %8s %10s\n' "$name" "$(seconds $name)" "$(memory $name)"
done
awk -v a="$(seconds fetch1)" -v b="$(seconds curl)" 'BEGIN { printf "type 1 / curl+md5sum:   %.2f (target 1.10 at most)\n", a / b }'
awk -v a="$(seconds fetch3)" -v b="$(seconds aria2)" 'BEGIN { printf "type 3 / aria2c+md5sum: %.2f (target 1.10 at most)\n", a / b }'
