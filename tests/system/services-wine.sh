#!/usr/bin/env bash
# The installer's service code against Wine's real service control manager,
# pipes and processes, with the stand-in servers. Every effect is checked
# from outside: svcprobe (the system's own queries), `wine reg query`, and
# the stand-ins' logs.
# Usage: services-wine.sh services|application DRIVER PROBE STANDIN_DIR WORK_DIR
# "services" runs in a prefix of its own without a display; "application"
# runs on the display fixture's screen (SETUP_DISPLAY_FILE) and checks the
# servers as desktop programs.
set -Eeuo pipefail
mode=$1 driver=$2 probe=$3 standins=$4 work=$5
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND" >&2' ERR

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exes="smtp.exe pop3.exe control.exe im.exe cal.exe"
names=(TolvaSMTP TolvaPOP3 TolvaControl TolvaIM TolvaCalendar)

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
run() { wine "$driver" "$@" | tr -d '\r'; }
probe() { wine "$probe" "$@" | tr -d '\r'; }
value() { grep "^$1=" <<<"$2" | head -n 1 | cut -d= -f2- || true; }
expect() { # name actual expected
  [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}
no_boxes() { ! grep -q '^box ' <<<"$1" || fail "unexpected box: $(grep '^box ' <<<"$1")"; }
# Waits until the file has a line equal to the text (the servers write
# their logs on their own time).
wait_line() { # file text [seconds]
  local tries=$((${3:-20} * 10))
  while [ $tries -gt 0 ]; do
    [ -f "$1" ] && tr -d '\r' <"$1" | grep -qxF -- "$2" && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  fail "no line '$2' in $1"
}
lines_after() { tail -n +$(($2 + 1)) "$1" | tr -d '\r'; }
count_lines() { if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi; }
install_standins() { # host folder
  mkdir -p "$1"
  for exe in $exes; do cp "$standins/$exe" "$1/$exe"; done
}

if [ "$mode" = application ]; then
  read -r number _ displayPrefix <"$SETUP_DISPLAY_FILE"
  export DISPLAY=":$number" WINEPREFIX="$displayPrefix"
  host="$WINEPREFIX/drive_c/AppMode"
  dir='C:\AppMode\'
  rm -rf "$host"
  install_standins "$host"
  log="$host/logs/TolvaControl.log"
  wine 'C:\AppMode\control.exe' </dev/null >/dev/null 2>&1 &
  wait_line "$log" "TolvaControl start program"
  # The window comes a moment after the log line: ask until it answers.
  tries=100
  until [ "$(value result "$(run --application-mode query 2 0)")" = 4242 ]; do
    tries=$((tries - 1))
    [ $tries -gt 0 ] || fail "the Control window never answered"
    sleep 0.1
  done
  out=$(run --application-mode notify 2 3)
  expect "notify through the window" "$(value result "$out")" 1
  wait_line "$log" "TolvaControl window message=1280 wParam=3 lParam=0"
  out=$(run --application-mode query 2 4)
  expect "query through the window" "$(value result "$out")" 4246
  # No window, no delivery.
  out=$(run --application-mode notify 0 3)
  expect "notify without a window" "$(value result "$out")" 0
  # The run closes the program, creates no service and starts all five.
  out=$(run --application-mode install "$dir")
  wait_line "$log" "TolvaControl stop"
  for i in 0 1 2 3 4; do
    wait_line "$host/logs/${names[$i]}.log" "${names[$i]} start program"
    ! probe "${names[$i]}" >/dev/null 2>&1 || fail "${names[$i]} became a service"
  done
  out=$(run --application-mode uninstall "$dir")
  for i in 0 1 2 3 4; do wait_line "$host/logs/${names[$i]}.log" "${names[$i]} stop"; done
  echo "application mode: all checks passed"
  exit 0
fi

export WINEPREFIX="$work/prefix"
unset DISPLAY
wineserver -k 2>/dev/null || true
rm -rf "$work"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
# Services live as long as the wineserver: keep it until the end.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT

c="$WINEPREFIX/drive_c"
dir1='C:\Program Files\Tolva Test\'
host1="$c/Program Files/Tolva Test"
dir2='C:\Tolva Two\'
host2="$c/Tolva Two"
install_standins "$host1"
install_standins "$host2"
services_key='HKLM\System\CurrentControlSet\Services'
mark() { for n in "$@"; do wine reg add "$services_key\\$n" /v TestMarker /d kept /f >/dev/null; done; }
marked() { wine reg query "$services_key\\$1" /v TestMarker >/dev/null 2>&1; }
check_service() { # name folder state
  local out
  out=$(probe "$1") || fail "$1 is not installed"
  expect "$1 binary path" "$(value binary_path "$out")" "\"$2$3\""
  expect "$1 start type" "$(value start_type "$out")" 2
}

# 1. A fresh folder: five services, described, automatic, quoted, all
#    running, no box.
out=$(run install "$dir1")
no_boxes "$out"
expect "first pass stopped" "$(value stopped "$out")" 1
displays=("Nivalis SMTP" "Nivalis POP3 / IMAP" "Nivalis Control / Web / FTP" "Nivalis IM / VoIP"
  "Nivalis GroupWare Server")
descriptions=("Provides support for MTA and SMTP protocol."
  "Provides support for POP3 and IMAP protocols."
  "Provides support for remote administration, web and ftp services."
  "Provides support for Instant Messaging and VoIP." "Provides support for GroupWare.")
i=0
for exe in $exes; do
  n=${names[$i]}
  expect "$n needs registration" "$(value "register $i" "$out")" 1
  probe --wait-state "$n" 4 30 >/dev/null || fail "$n is not running"
  p=$(probe "$n")
  expect "$n binary path" "$(value binary_path "$p")" "\"${dir1}$exe\""
  expect "$n start type" "$(value start_type "$p")" 2
  expect "$n display name" "$(value display_name "$p")" "${displays[$i]}"
  # The description is the registry value (Wine's manager keeps the one it
  # read at start-up in memory, so its own query does not show it).
  # Wine stores no failure actions (it accepts the call and keeps nothing):
  # the restart action is checked in system_tests on the fake machine.
  wine reg query "$services_key\\$n" /v Description | tr -d '\r' | grep -qF "${descriptions[$i]}" ||
    fail "$n: no Description value in the registry"
  wine reg query "$services_key\\$n" /v ImagePath | tr -d '\r' | grep -qF "\"${dir1}$exe\"" ||
    fail "$n: ImagePath is not the quoted path"
  wait_line "$host1/logs/$n.log" "$n start service"
  i=$((i + 1))
done

# 2. A second pass over the same folder, written in other letters and
#    without the backslash: stops in the order Control, SMTP, POP3, IM,
#    GroupWare, re-creates nothing, shows nothing.
mark "${names[@]}"
seq="$host1/logs/sequence.log"
before=$(count_lines "$seq")
out=$(run install "$dir1" --recorded 'c:\PROGRAM FILES\tolva test')
no_boxes "$out"
for i in 0 1 2 3 4; do
  expect "second pass registration $i" "$(value "register $i" "$out")" 0
  marked "${names[$i]}" || fail "${names[$i]} was re-created"
done
stops=$(lines_after "$seq" "$before" | grep ' stop$' | cut -d' ' -f1 | tr '\n' ' ')
expect "stop order" "$stops" "TolvaControl TolvaSMTP TolvaPOP3 TolvaIM TolvaCalendar "

# 3. An upgrade from before 8.1.7 re-creates GroupWare and deletes
#    calendar.exe; an unknown or newer previous version does not.
echo old >"$host1/calendar.exe"
out=$(run install "$dir1" --recorded "$dir1" --previous 8.1.6-3)
no_boxes "$out"
! marked TolvaCalendar || fail "GroupWare of 8.1.6 was kept"
marked TolvaSMTP || fail "SMTP was re-created"
[ ! -e "$host1/calendar.exe" ] || fail "calendar.exe was kept"
for previous in "" 9.0.0-1; do
  mark TolvaCalendar
  out=$(run install "$dir1" --recorded "$dir1" --previous "$previous")
  no_boxes "$out"
  marked TolvaCalendar || fail "GroupWare re-created for previous version '$previous'"
done

# 4. Another folder: every service is re-created with the new path.
out=$(run install "$dir2" --recorded "$dir1")
no_boxes "$out"
expect "recorded folder cleared" "$(value recorded_dir "$out")" ""
i=0
for exe in $exes; do
  check_service "${names[$i]}" "$dir2" "$exe"
  ! marked "${names[$i]}" || fail "${names[$i]} kept its old service"
  i=$((i + 1))
done

# 5. Excluded components: three, then four services, then five again.
run uninstall "$dir2" >/dev/null
for n in "${names[@]}"; do ! probe "$n" >/dev/null 2>&1 || fail "$n survived the uninstall"; done
out=$(run install "$dir2" --no-im --no-calendar)
no_boxes "$out"
! probe TolvaIM >/dev/null 2>&1 || fail "TolvaIM created although excluded"
! probe TolvaCalendar >/dev/null 2>&1 || fail "TolvaCalendar created although excluded"
probe TolvaControl >/dev/null || fail "TolvaControl missing"
out=$(run install "$dir2" --no-im)
no_boxes "$out"
probe TolvaCalendar >/dev/null || fail "TolvaCalendar missing"
! probe TolvaIM >/dev/null 2>&1 || fail "TolvaIM created although excluded"
out=$(run install "$dir2")
no_boxes "$out"
for n in "${names[@]}"; do probe --wait-state "$n" 4 30 >/dev/null || fail "$n is not running"; done

# 6. Messages on the pipes.
logs2="$host2/logs"
out=$(run notify 7 3)
expect "notify LDAP at Control" "$(value result "$out")" 1
wait_line "$logs2/TolvaControl.log" "TolvaControl pipe command=4096 message=1280 wParam=3 lParam=0"
out=$(run query 1 5)
expect "query POP3" "$(value result "$out")" 4247
out=$(run busy-notify 2 11 1000)
expect "pipe busy for 1 s" "$(value result "$out")" 1
wait_line "$logs2/TolvaControl.log" "TolvaControl pipe command=4096 message=1280 wParam=11 lParam=0"
out=$(run busy-notify 2 12 3000)
expect "pipe busy for 3 s" "$(value result "$out")" 0
out=$(run notify 2 13)
wait_line "$logs2/TolvaControl.log" "TolvaControl pipe command=4096 message=1280 wParam=13 lParam=0"
! tr -d '\r' <"$logs2/TolvaControl.log" | grep -q 'wParam=12 ' || fail "the busy pipe got a message"
out=$(run notify 5 1)
expect "index without a server" "$(value result "$out")" 0
# A short answer counts as 0.
run control 3 stop "$dir2" >/dev/null
echo short-answer >"$host2/im.fault"
run control 3 start "$dir2" >/dev/null
probe --wait-state TolvaIM 4 30 >/dev/null
out=$(run query 3 1)
expect "short answer" "$(value result "$out")" 0
rm "$host2/im.fault"
# The broadcast: SMTP, POP3, IM, GroupWare, then Control.
seq2="$logs2/sequence.log"
before=$(count_lines "$seq2")
run notify-all >/dev/null
wait_line "$logs2/TolvaControl.log" "TolvaControl pipe command=4096 message=1280 wParam=257 lParam=0"
order=$(lines_after "$seq2" "$before" | grep 'wParam=257 ' | cut -d' ' -f1 | tr '\n' ' ')
expect "broadcast order" "$order" "TolvaSMTP TolvaPOP3 TolvaIM TolvaCalendar TolvaControl "
# A stopped server gets nothing.
out=$(run control 0 stop "$dir2")
expect "stop SMTP" "$(value result "$out")" 1
out=$(run notify 0 1)
expect "notify a stopped server" "$(value result "$out")" 0

# 7. The system's SMTP service on the port: stopped, disabled, replaced.
mkdir -p "$c/iis"
cp "$standins/smtp.exe" "$c/iis/smtp.exe"
wine sc create SMTPSVC binpath= 'C:\iis\smtp.exe' >/dev/null
wine sc start SMTPSVC >/dev/null
probe --wait-state SMTPSVC 4 30 >/dev/null || fail "SMTPSVC did not start"
out=$(run check-started "$dir2")
no_boxes "$out"
p=$(probe SMTPSVC)
expect "SMTPSVC start type" "$(value start_type "$p")" 4
expect "SMTPSVC state" "$(value state "$p")" 1
probe --wait-state TolvaSMTP 4 30 >/dev/null || fail "TolvaSMTP did not take over"

# 8. A server that ignores the stop request: given up after the deadline,
#    its own process killed, a control.exe elsewhere left running.
run control 2 stop "$dir2" >/dev/null
echo ignore-stop >"$host2/control.fault"
run control 2 start "$dir2" >/dev/null
probe --wait-state TolvaControl 4 30 >/dev/null
mkdir -p "$c/elsewhere"
cp "$probe" "$c/elsewhere/control.exe"
wine 'C:\elsewhere\control.exe' --wait-state TolvaSMTP 99 300 </dev/null >/dev/null 2>&1 &
tries=100
until probe --processes control.exe | grep -qi 'elsewhere'; do
  tries=$((tries - 1))
  [ $tries -gt 0 ] || fail "the other control.exe did not start"
  sleep 0.1
done
out=$(run control 2 stop "$dir2")
expect "stop of a server that ignores it" "$(value result "$out")" 0
[ "$(value elapsed_ms "$out")" -ge 12000 ] || fail "gave up after $(value elapsed_ms "$out") ms"
processes=$(probe --processes control.exe)
grep -qi 'elsewhere' <<<"$processes" || fail "the other control.exe was killed"
! grep -qi 'Tolva Two' <<<"$processes" || fail "our control.exe survived: $processes"
# Wine's manager does not notice the killed process (it still says running)
# but starts the service again on request.
rm "$host2/control.fault"
run control 2 start "$dir2" >/dev/null
tries=100
until probe --processes control.exe | grep -qi 'Tolva Two'; do
  tries=$((tries - 1))
  [ $tries -gt 0 ] || fail "TolvaControl did not start again"
  sleep 0.1
done

# 9. A server the administrator disabled: made automatic for the run, not
#    started, not reported, disabled again.
out=$(run start-type TolvaPOP3 4)
expect "POP3 start type before" "$(value start_type "$out")" 2
out=$(run install "$dir2" --upgrade --recorded "$dir2" --previous 9.1.0-1)
no_boxes "$out"
expect "recorded POP3" "$(value "recorded 1" "$out")" 4
expect "recorded SMTP" "$(value "recorded 0" "$out")" 2
p=$(probe TolvaPOP3)
expect "POP3 start type after" "$(value start_type "$p")" 4
expect "POP3 state after" "$(value state "$p")" 1
probe --wait-state TolvaControl 4 30 >/dev/null || fail "TolvaControl not started again"

# 10. A server that fails to start is named once in one warning.
run start-type TolvaPOP3 2 >/dev/null
echo fail-start >"$host2/pop3.fault"
out=$(run install "$dir2" --recorded "$dir2")
warning=$(grep '^box Warning: The following service' <<<"$out" || true)
[ -n "$warning" ] || fail "no warning for the server that failed: $out"
expect "warnings" "$(grep -c 'could not be started' <<<"$out")" 1
expect "POP3 named once" "$(grep -o 'Nivalis POP3 / IMAP' <<<"$warning" | wc -l)" 1
! grep -q 'Nivalis SMTP' <<<"$warning" || fail "SMTP named although running"
rm "$host2/pop3.fault"

wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
# A passing run leaves nothing behind (a prefix takes hundreds of megabytes).
rm -rf "$work"
echo "services: all checks passed"
