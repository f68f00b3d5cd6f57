#!/usr/bin/env bash
# The upgrade procedures against the stand-in servers under Wine: the five
# servers run as services of an installation, the procedures run from
# 8.5.3-7, and the servers' shared sequence log must show every broadcast
# and request, each server's in order, with the Control server asked for
# the conversion page on its web port with 3 domains and not with 25.
# Then the same from the installer: an unattended installation of the demo
# distribution over the installation, recorded as version 8.5.3-7.
# Usage: upgrade-wine.sh UPGRADEDRIVER SERVICEDRIVER STANDIN_DIR DEMO_DIR WORK_DIR
set -Eeuo pipefail
upgrader=$1 services=$2 standins=$3 demo=$4 work=$5
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND" >&2' ERR

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
wait_line() { # file text [seconds]
  local tries=$((${3:-20} * 10))
  while [ $tries -gt 0 ]; do
    [ -f "$1" ] && tr -d '\r' <"$1" | grep -qxF -- "$2" && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  fail "no line '$2' in $1"
}
count_lines() { if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi; }

export WINEPREFIX="$work/prefix"
unset DISPLAY
source "$(dirname "$0")/../system/service-prefix.sh"
fresh_service_prefix "$work"
trap 'wineserver -k 2>/dev/null || true' EXIT

dir='C:\Tolva Upgrade\'
host="$WINEPREFIX/drive_c/Tolva Upgrade"
mkdir -p "$host"
for exe in smtp pop3 control im cal; do cp "$standins/$exe.exe" "$host/"; done
# A port of our own: other runs on this machine may use the default one.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
wine "$upgrader" prepare "$dir" "$port" 3 | tr -d '\r' | grep -qx "prepared port=$port domains=3"
wine "$services" install "$dir" >/dev/null
names=(TolvaSMTP TolvaPOP3 TolvaControl TolvaIM TolvaCalendar)
for n in "${names[@]}"; do wait_line "$host/logs/$n.log" "$n start service" 30; done
wait_line "$host/logs/http.log" "TolvaControl http port=$port" 30

source "$(dirname "$0")/expected-sequence.sh"
expected_lines() { expected_sequence 20 "$1"; } # from 8.5.3-7, with the page: 1 or 0

check_run() { # domains with-page
  local seq="$host/logs/sequence.log" before last
  before=$(count_lines "$seq")
  wine "$upgrader" upgrade 8.5.3-7 "$dir" | tr -d '\r' | grep -qx 'upgraded from "8.5.3-7"'
  last="TolvaControl pipe command=4096 message=1280 wParam=257 lParam=0"
  # The last broadcast reaches Control last; wait until it has 33 of them.
  local tries=200
  until [ "$(tail -n +$((before + 1)) "$seq" | tr -d '\r' | grep -cxF "$last")" = 33 ]; do
    tries=$((tries - 1))
    [ $tries -gt 0 ] || fail "$1 domains: Control did not get 33 broadcasts"
    sleep 0.1
  done
  expected_lines "$2" >"$work/expected.txt"
  tail -n +$((before + 1)) "$seq" | tr -d '\r' >"$work/logged.txt"
  same_per_server "$work/expected.txt" "$work/logged.txt" ||
    fail "$1 domains: the sequence log differs from the expected order (above)"
  [ ! -e "$host/config/upgrade.dat" ] || fail "$1 domains: the progress record was left"
}

check_run 3 1
wine "$upgrader" prepare "$dir" "$port" 25 | tr -d '\r' | grep -qx "prepared port=$port domains=25"
check_run 25 0

# The installer's run: it stops the servers, replaces them, starts them and
# then runs the procedures; its finish notice to Control comes after them.
wine "$upgrader" prepare "$dir" "$port" 3 | tr -d '\r' | grep -qx "prepared port=$port domains=3"
product='HKLM\Software\Nivalis\Tolva Mail Server'
wine reg add "$product" /v Version /d 8.5.3-7 /f >/dev/null
wine reg add "$product" /v InstallDir /d "$dir" /f >/dev/null
cp -r "$demo" "$WINEPREFIX/drive_c/dist"
printf '[Setup]\r\nName=Ana Admin\r\nEmail=ana@example.test\r\nDestination=%s\r\n' "$dir" \
  >"$WINEPREFIX/drive_c/dist/answers.ini"
seq="$host/logs/sequence.log"
before=$(count_lines "$seq")
set +e
wine 'C:\dist\setup.exe' /SILENT /VERYSILENT '/LOADINF=C:\dist\answers.ini' >"$work/setup.out" 2>&1
code=$?
set -e
[ "$code" = 0 ] || fail "the unattended upgrade ended with $code: $(tr -d '\r' <"$work/setup.out" | tail -n 5)"
wait_line "$seq" "TolvaControl pipe command=4096 message=1280 wParam=3 lParam=0" 30
tail -n +$((before + 1)) "$seq" | tr -d '\r' |
  grep -E 'pipe command=4096 message=1280 |http GET' |
  grep -vxF "TolvaControl pipe command=4096 message=1280 wParam=3 lParam=0" >"$work/installer-sequence.txt"
expected_lines 1 >"$work/expected.txt"
same_per_server "$work/expected.txt" "$work/installer-sequence.txt" ||
  fail "the installer's upgrade: the sequence log differs from the expected order (above)"
grep -qx 'Running upgrade procedures 8.5.3-7 -> 9.1.5-7' \
  <(tr -d '\r' <"$host/logs/setup/setup.log" | sed -E 's/^[0-9-]{10} [0-9:]{8} //') ||
  fail "the setup log does not name the upgrade"
wine "$services" uninstall "$dir" >/dev/null
echo "upgrade under Wine: all checks passed"
