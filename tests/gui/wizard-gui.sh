#!/usr/bin/env bash
# The wizard's real windows under Wine, walked as a user would from page 0
# to page 7: licence accepted, details typed, the database dialog cancelled
# once, a component unchecked, a folder chosen, "&Install" pressed; every
# page is checked against the page table and photographed.
# Usage: wizard-gui.sh RUNNER PREFIX DEMO WININSPECT SHOTS
set -euo pipefail
runner=$1 prefix=$2 demo=$3 inspect=$4 shots=$5
source "$(dirname "$0")/common.sh"

main="Nivalis Tolva Mail Server 9.1.5-7 Setup"

cp -r "$demo" "$work/dist"
# Services the run starts outlive it: nothing of theirs may hold this
# script's output open.
(cd "$work/dist" && exec sh "$runner" "$prefix" "$work/dist/setup.exe" /SILENT </dev/null >/dev/null 2>&1) &
setup_pid=$!
inspect wait "Installer Language" 60 || fail "no language chooser"
inspect click "Installer Language" "&OK"
inspect wait "$main" 30 || fail "no main window"

dump() { inspect dump "$main"; }
# Waits until the window shows the line (a fixed string), up to 10 s.
expect_line() {
  local line=$1 out
  for _ in $(seq 50); do
    out=$(dump)
    grep -qF -- "$line" <<<"$out" && return 0
    sleep 0.2
  done
  fail "page lacks '$line':"$'\n'"$out"
}
# caption, Back state, Next caption and state, Cancel caption; "-" skips.
expect_page() {
  local caption=$1 back=$2 next=$3 nextstate=$4 cancel=$5
  [[ $caption == - ]] || expect_line "|$caption|visible|"
  [[ $back == - ]] || expect_line "|< &Back|$back"
  [[ $next == - ]] || expect_line "|$next|visible|$nextstate"
  [[ $cancel == - ]] || expect_line "|$cancel|visible|enabled"
}

expect_page "Welcome to Nivalis Tolva Mail Server 9.1.5-7" "hidden|" "&Next >" enabled "&Cancel"
shot wizard-0 "$main"
inspect click "$main" "&Next >"

expect_page "Software License Agreement" "visible|enabled" "&Yes" disabled "&No"
inspect click "$main" "I agree with the license agreement"
expect_page - - "&Yes" enabled -
shot wizard-1 "$main"
inspect click "$main" "&Yes"

expect_page "User/Company Details" "visible|enabled" "&Next >" disabled "&Cancel"
inspect type "$main" 0 "Ada Admin"
inspect type "$main" 1 "ada@example.org"
expect_page - - "&Next >" enabled -
shot wizard-2 "$main"
inspect click "$main" "&Next >"

expect_page "Setup Type" "visible|enabled" "&Next >" enabled "&Cancel"
advanced="Advanced (100+ accounts, requires external database)"
basic="Basic (recommended for under 100 accounts)"
inspect click "$main" "$advanced"
expect_line "|$advanced|visible|enabled|checked"
inspect click "$main" "&Next >"
inspect wait "Database" 30 || fail "Advanced did not ask for the database"
shot wizard-3-database "Database"
inspect click "Database" "&Cancel"
inspect gone "Database" 10 || fail "the database dialog stayed"
expect_page "Setup Type" - "&Next >" enabled -
inspect click "$main" "$basic"
expect_line "|$basic|visible|enabled|checked"
shot wizard-3 "$main"
inspect click "$main" "&Next >"

expect_page "Components To Install" "visible|enabled" "&Next >" enabled "&Cancel"
# The page's caption may show a moment before its tree is filled.
before=
for _ in $(seq 50); do
  before=$(inspect treedump "$main" 2>&1) || true
  [[ $(grep -c '^node|' <<<"$before") -eq 16 ]] && break
  sleep 0.2
done
[[ $(grep -c '^node|' <<<"$before") -eq 16 ]] || fail "the tree does not have 16 nodes: $before"
webmail_before=$(grep '^node|6|' <<<"$before" | cut -d'|' -f3)
modules_before=$(grep '^node|5|' <<<"$before" | cut -d'|' -f3)
inspect treeclick "$main" 6
for _ in $(seq 50); do
  after=$(inspect treedump "$main")
  [[ $(grep '^node|6|' <<<"$after" | cut -d'|' -f3) != "$webmail_before" ]] && break
  sleep 0.2
done
[[ $(grep '^node|6|' <<<"$after" | cut -d'|' -f3) != "$webmail_before" ]] ||
  fail "a click did not uncheck Webmail: $after"
[[ $(grep '^node|5|' <<<"$after" | cut -d'|' -f3) != "$modules_before" ]] ||
  fail "Modules did not become partly checked: $after"
shot wizard-4 "$main"
inspect click "$main" "&Next >"

expect_page "Start The Installation Process" "visible|enabled" "&Install" enabled "&Cancel"
inspect click "$main" "&Browse..."
inspect wait "Choose Folder" 30 || fail "no folder chooser"
inspect type "Choose Folder" 0 'C:\TolvaDemo'
for _ in $(seq 50); do
  grep -qF '|C:\TolvaDemo|' <<<"$(inspect dump "Choose Folder")" && break
  sleep 0.2
done
shot wizard-5-chooser "Choose Folder"
inspect click "Choose Folder" "&OK"
inspect wait "Setup" 30 || fail "no question for a folder that does not exist"
inspect click "Setup" "&Yes"
inspect gone "Choose Folder" 10 || fail "the chooser stayed open"
expect_line '|C:\TolvaDemo|visible|'
shot wizard-5 "$main"

# The installation run, then the finish page.
inspect click "$main" "&Install"
for _ in $(seq 600); do
  grep -qF "|Installation was successful.|visible|" <<<"$(dump)" && break
  sleep 0.2
done
expect_page "Setup Complete" "hidden|disabled" "&Finish" enabled "&Cancel"
expect_line "|Installation was successful.|visible|"
shot wizard-7 "$main"
for file in smtp.exe config/settings.cfg doc/releasenotes.txt; do
  [[ -f "$prefix/drive_c/TolvaDemo/$file" ]] || fail "the run did not install $file"
done
# The same result as a run without windows: the log to its end, the
# servers running, the product recorded.
last_line() { tr -d '\r' <"$1" | grep -v '^$' | tail -n 1 | sed -E 's/^[0-9-]{10} [0-9:]{8} //'; }
[[ "$(last_line "$prefix/drive_c/TolvaDemo/logs/setup/setup.log")" == Finished ]] ||
  fail "the setup log does not end with Finished"
for name in TolvaSMTP TolvaPOP3 TolvaControl TolvaIM TolvaCalendar; do
  wine sc query "$name" | tr -d '\r' | grep -q 'RUNNING' || fail "$name is not running"
done
wine reg query 'HKLM\Software\Nivalis\Tolva Mail Server' /v Version | tr -d '\r' | grep -q '9\.1\.5-7' ||
  fail "no product version"

inspect key "$main" esc
inspect wait "Exit Setup" 30 || fail "Esc did not ask the cancel question"
inspect click "Exit Setup" "&Yes"
code=0
wait "$setup_pid" || code=$?
setup_pid=
[[ $code -eq 0 ]] || fail "setup.exe ended with $code"
# Leave the shared prefix without the services the run made.
sh "$runner" "$prefix" 'C:\TolvaDemo\setup.exe' /UNINSTALL /VERYSILENT </dev/null >/dev/null 2>&1 ||
  fail "the removal failed"

# The wizard walking itself in its windows from an answer file: the
# language chooser answered, the pages filled in, the run and the finish.
printf '%s\r\n' '[Setup]' 'Name=Ana Admin' 'Email=ana@example.test' 'Components=0,1' \
  'Destination=C:\TolvaWalk\' '' '[Finish]' 'QuickStart=0' 'AdministrationInterface=0' \
  >"$work/dist/walk.ini"
code=0
timeout 300 sh "$runner" "$prefix" "$work/dist/setup.exe" /SILENT "/LOADINF=Z:$work/dist/walk.ini" \
  </dev/null >/dev/null 2>&1 || code=$?
[[ $code -eq 0 ]] || fail "the walk from the answer file ended with $code"
[[ -f "$prefix/drive_c/TolvaWalk/smtp.exe" ]] || fail "the walk installed nothing"
[[ "$(last_line "$prefix/drive_c/TolvaWalk/logs/setup/setup.log")" == Finished ]] ||
  fail "the walk's setup log does not end with Finished"
sh "$runner" "$prefix" 'C:\TolvaWalk\setup.exe' /UNINSTALL /VERYSILENT </dev/null >/dev/null 2>&1 ||
  fail "the removal of the walk's installation failed"
echo "wizard-gui: all pages passed"
