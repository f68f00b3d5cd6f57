#!/usr/bin/env bash
# The kill test: an unattended upgrade from an installation of 8.5.3 (data
# to convert, a disabled server) is ended by force at POINTS moments spread
# over its run. After each, tolvacfg must read the settings, and a second
# run must finish with the conversions applied exactly once, the disabled
# server still disabled, and nothing of the first run left behind (kept
# copies, progress record, kept start types, extraction folder).
# Not part of CI (about 15 minutes); run it by hand after a windows build:
#   bash tests/app/kill-upgrade-wine.sh [POINTS]
set -Eeuo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
points=${1:-30}
work=$(mktemp -d /tmp/kill-upgrade-XXXXXX)
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND" >&2' ERR
source "$root/tests/app/wine-road.sh"
use_build "$root"
road_prefix
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
write_answers "$c/dist/answers.ini"
start_menu="$c/ProgramData/Microsoft/Windows/Start Menu"
extract="$c/users/$(id -un)/Temp/tolvainstall"

# The installation of 8.5.3 every round starts from.
setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}answers.ini"
expect "exit code of the installation" "$code" 0
prepare_853
wine "$driver" start-type TolvaIM 4 >/dev/null
wine sc stop TolvaIM >/dev/null 2>&1 || true
probe --wait-state TolvaIM STOPPED 30 >/dev/null || fail "TolvaIM did not stop"
wineserver -k
wineserver -w 2>/dev/null || true
snapshot=$work/snapshot
mkdir -p "$snapshot"
cp -a "$host" "$snapshot/Tolva"
cp -a "$start_menu" "$snapshot/start-menu"
cp -a "$WINEPREFIX"/*.reg "$snapshot/"

restore() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$host" "$start_menu" "$extract"
  cp -a "$snapshot/Tolva" "$host"
  cp -a "$snapshot/start-menu" "$start_menu"
  cp -a "$snapshot"/*.reg "$WINEPREFIX/"
  wineserver -p
}
now() { date +%s.%N; }

# What a finished upgrade leaves: the conversions once, TolvaIM disabled,
# nothing of a run kept.
check_finished() { # what
  expect "$1: exit code" "$code" 0
  expect "$1: hour values" "$(setting HourTimeValue)" 300
  expect "$1: day values" "$(setting DayTimeValue)" 4320
  expect "$1: size value" "$(setting SizeValue)" 102400
  expect "$1: TolvaIM start type" "$(value start_type "$(probe TolvaIM)")" 4
  expect "$1: version" "$(reg_value "$product_key" Version)" "REG_SZ 9.1.5-7"
  [ -z "$(find "$host" -name '*.setup-old')" ] || fail "$1: kept copies left: $(find "$host" -name '*.setup-old')"
  [ ! -e "$host/config/upgrade.dat" ] || fail "$1: the progress record was left"
  [ ! -e "$extract" ] || fail "$1: the extraction folder was left"
  ! wine reg query "$product_key" /v SetupStartTypes >/dev/null 2>&1 || fail "$1: kept start types left"
}

# The reference: the whole upgrade, timed.
restore
start=$(now)
setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}answers.ini"
total=$(python3 -c "print($(now) - $start)")
check_finished "uninterrupted upgrade"
echo "uninterrupted upgrade: ${total} s"

printf '%-5s %-8s %-60s %s\n' point "at (s)" "last line of the setup log before the kill" result
for i in $(seq 1 "$points"); do
  restore
  at=$(python3 -c "print(f'{$total * $i / ($points + 1):.2f}')")
  lines_before=$(count_lines "$host/logs/setup/setup.log")
  wine 'C:\dist\setup.exe' /SILENT /VERYSILENT '/LOADINF=C:\dist\answers.ini' >/dev/null 2>&1 &
  pid=$!
  sleep "$at"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  last=$(tail -n +$((lines_before + 1)) "$host/logs/setup/setup.log" | tr -d '\r' |
    sed -E 's/^[0-9-]{10} [0-9:]{8} //' | { grep -v '^$' || true; } | tail -n 1)
  # The settings are readable whatever the moment.
  wine "$tolvacfg" show "$dir"'config' >/dev/null || fail "point $i: tolvacfg cannot read the settings"
  setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}answers.ini"
  check_finished "point $i (${at} s)"
  printf '%-5s %-8s %-60s %s\n' "$i" "$at" "${last:-(none)}" ok
done
echo "kill test: $points points passed"
