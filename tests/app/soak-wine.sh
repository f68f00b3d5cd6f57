#!/usr/bin/env bash
# The soak: CYCLES rounds of installation, upgrade and removal, unattended,
# in one prefix. After every removal no service, server process, extraction
# folder, registry key or program group may be left, no file beside the
# data but what the first removal left, and the configuration and mail
# folders must be byte for byte what the first round's removal left.
# Not part of CI (about 10 minutes); run it by hand after a windows build:
#   bash tests/app/soak-wine.sh [CYCLES]
set -Eeuo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cycles=${1:-20}
work=$(mktemp -d /tmp/soak-XXXXXX)
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND" >&2' ERR
source "$root/tests/app/wine-road.sh"
use_build "$root"
road_prefix
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
write_answers "$c/dist/answers.ini"
extract="$c/users/$(id -un)/Temp/tolvainstall"
common=$(unix "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
  /v 'Common Programs' | tr -d '\r' | sed -n 's/^ *Common Programs *REG_SZ *//p')")
group="$common/Nivalis Tolva Mail Server"
left_beside() {
  (cd "$host" && find . ! -path './config*' ! -path './mail*' ! -path './logs*' | LC_ALL=C sort)
}

start=$SECONDS
for cycle in $(seq 1 "$cycles"); do
  setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}answers.ini"
  expect "cycle $cycle: exit code of the installation" "$code" 0
  for name in "${names[@]}"; do
    probe --wait-state "$name" RUNNING 30 >/dev/null || fail "cycle $cycle: $name does not run"
  done
  if [ "$cycle" = 1 ]; then
    mkdir -p "$host/mail/example.test"
    echo "a message kept through every cycle" >"$host/mail/example.test/1.eml"
  fi
  setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}answers.ini"
  expect "cycle $cycle: exit code of the upgrade" "$code" 0
  setup "$dir" /UNINSTALL /VERYSILENT
  expect "cycle $cycle: exit code of the removal" "$code" 0

  for name in "${names[@]}"; do
    status=0
    probe "$name" >/dev/null 2>&1 || status=$?
    expect "cycle $cycle: $name after the removal" "$status" 1
  done
  for exe in smtp.exe pop3.exe control.exe im.exe cal.exe setup.exe; do
    running=$(probe --processes "$exe")
    [ -z "$running" ] || fail "cycle $cycle: still running: $running"
  done
  [ ! -e "$extract" ] || fail "cycle $cycle: the extraction folder was left"
  [ ! -d "$group" ] || fail "cycle $cycle: the program group was left"
  for key in "$product_key" "$uninstall_key" "$services_key\\TolvaSMTP"; do
    ! wine reg query "$key" >/dev/null 2>&1 || fail "cycle $cycle: $key was left"
  done
  data="$(tree_sum config) $(tree_sum mail)"
  beside=$(left_beside)
  if [ "$cycle" = 1 ]; then
    first_data=$data first_beside=$beside
  else
    expect "cycle $cycle: configuration and mail" "$data" "$first_data"
    [ "$beside" = "$first_beside" ] || fail "cycle $cycle: other files beside the data:"$'\n'"$(
      diff <(echo "$first_beside") <(echo "$beside"))"
  fi
  echo "cycle $cycle: passed ($((SECONDS - start)) s so far)"
done
echo "soak: $cycles cycles passed in $((SECONDS - start)) s; left beside the data each time:"
echo "$first_beside" | sed 's/^/  /'
