#!/usr/bin/env bash
# Downloads a large file from a local nginx with `tolvaget -o` and with
# `curl -o`, alternating, over HTTP and HTTPS, and prints the median
# throughput ratio tolvaget / curl and tolvaget's peak resident memory for a
# small and the large file.
#
#   bash bench/net/run.sh [BUILD_DIR]      (default build/linux)
#
# Needs the Debian packages nginx, curl and time. Environment: RUNS (default
# 5), LARGE_MIB (default 500), SMALL_MIB (default 5), BENCH_DIR (scratch
# folder, default $TMPDIR/net-bench, removed afterwards unless KEEP=1).
# Targets: ratio at least 0.9 on both; peak memory at most 16 MiB and the same
# for both sizes. The exit code is 1 when a target is missed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/linux}
tolvaget=$build/tools/tolvaget/tolvaget
runs=${RUNS:-5}
large_mib=${LARGE_MIB:-500}
small_mib=${SMALL_MIB:-5}
work=${BENCH_DIR:-${TMPDIR:-/tmp}/net-bench}
[[ -x $tolvaget ]] || { echo "missing $tolvaget: build the linux preset first" >&2; exit 2; }
for program in nginx curl /usr/bin/time; do
  command -v "$program" >/dev/null || [[ -x $program ]] ||
    { echo "missing $program: apt-get install nginx curl time" >&2; exit 2; }
done
nginx=$(command -v nginx || echo /usr/sbin/nginx)

rm -rf "$work"
mkdir -p "$work/www" "$work/out" "$work/tmp" "$work/nginx"
nginx_pid=
cleanup() {
  [[ -n $nginx_pid ]] && kill "$nginx_pid" 2>/dev/null
  [[ ${KEEP:-0} == 1 ]] || rm -rf "$work"
}
trap cleanup EXIT

sh "$root/tests/net/make-test-ca.sh" "$work/ca" >/dev/null
free_port() {
  python3 -c "import socket; s=socket.socket(); s.bind(('127.0.0.1',0)); print(s.getsockname()[1])"
}
http_port=$(free_port)
https_port=$(free_port)
cat >"$work/nginx/nginx.conf" <<CONF
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 64; }
http {
  access_log off;
  sendfile on;
  client_body_temp_path $work/nginx;
  proxy_temp_path $work/nginx;
  fastcgi_temp_path $work/nginx;
  uwsgi_temp_path $work/nginx;
  scgi_temp_path $work/nginx;
  server {
    listen 127.0.0.1:$http_port;
    listen 127.0.0.1:$https_port ssl;
    server_name localhost;
    ssl_certificate $work/ca/localhost.pem;
    ssl_certificate_key $work/ca/localhost.key;
    root $work/www;
  }
}
CONF
"$nginx" -p "$work/nginx" -c "$work/nginx/nginx.conf" -g 'daemon off;' &
nginx_pid=$!
for _ in $(seq 1 300); do
  curl -s -o /dev/null "http://127.0.0.1:$http_port/" && break
  kill -0 "$nginx_pid" 2>/dev/null || { echo "nginx did not start" >&2; exit 2; }
  sleep 0.1
done

head -c $((large_mib * 1048576)) /dev/urandom >"$work/www/large.bin"
head -c $((small_mib * 1048576)) /dev/urandom >"$work/www/small.bin"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
timed() {
  local file=$1
  shift
  /usr/bin/time -f "%e %M" -a -o "$file" "$@"
}
export TMPDIR=$work/tmp SSL_CERT_FILE=$work/ca/test-ca.pem

status=0
bench() {
  local label=$1 url=$2
  : >"$work/tolvaget.times"
  : >"$work/curl.times"
  for ((i = 1; i <= runs; i++)); do
    rm -f "$work/out/"*
    timed "$work/tolvaget.times" "$tolvaget" "$url" -o "$work/out/tolvaget.bin"
    timed "$work/curl.times" curl -s --cacert "$SSL_CERT_FILE" "$url" -o "$work/out/curl.bin"
    if ((i == 1)); then
      cmp -s "$work/out/tolvaget.bin" "$work/www/large.bin" ||
        { echo "tolvaget: the file differs" >&2; exit 1; }
    fi
  done
  local t c ratio
  t=$(awk '{print $1}' "$work/tolvaget.times" | median)
  c=$(awk '{print $1}' "$work/curl.times" | median)
  ratio=$(awk -v t="$t" -v c="$c" 'BEGIN { printf "%.2f", (t > 0 ? c / t : 0) }')
  echo "$label: tolvaget ${t}s ($(awk -v t="$t" -v m="$large_mib" 'BEGIN { printf "%.0f", m / t }') MiB/s), curl ${c}s; throughput ratio tolvaget/curl $ratio (target >= 0.9)"
  awk -v r="$ratio" 'BEGIN { exit !(r >= 0.9) }' || status=1
}
bench "HTTP  $large_mib MiB" "http://127.0.0.1:$http_port/large.bin"
bench "HTTPS $large_mib MiB" "https://localhost:$https_port/large.bin"

peak() {
  : >"$work/peak.times"
  timed "$work/peak.times" "$tolvaget" "$1" -o "$work/out/peak.bin"
  awk '{print $2}' "$work/peak.times"
}
for scheme in http https; do
  port=$http_port host=127.0.0.1
  [[ $scheme == https ]] && port=$https_port host=localhost
  small=$(peak "$scheme://$host:$port/small.bin")
  large=$(peak "$scheme://$host:$port/large.bin")
  echo "$scheme peak memory: $((small / 1024)) MiB for $small_mib MiB, $((large / 1024)) MiB for $large_mib MiB (target <= 16 MiB, the same for both)"
  if ((large > 16384 || large > small + 1024)); then status=1; fi
done
exit $status
