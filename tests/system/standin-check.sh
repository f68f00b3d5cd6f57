#!/bin/bash
# The server stand-ins under Wine, as the installer's tests meet them: real
# services created with Wine's sc, their pipes, their logs byte for byte, each
# fault word, and the plain-program mode with and without a screen.
# Usage: standin-check.sh WORKDIR SVCPROBE.exe SMTP.exe POP3.exe CONTROL.exe IM.exe CAL.exe
set -euo pipefail
work=$1
probe=$2
smtp=$3 pop3=$4 control=$5 im=$6 cal=$7

export WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY

fail() { echo "FAIL: $*" >&2; exit 1; }
set -E
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
step() { echo "-- $*"; }

xvfb_pid=
program_pid=
cleanup() {
  set +e
  trap - ERR
  [[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null
  WINEPREFIX=$work/prefix wineserver -k 2>/dev/null
  WINEPREFIX=$work/display-prefix wineserver -k 2>/dev/null
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT

probe() { wine "$probe" "$@"; }
# value KEY OUTPUT: the value of one key=value line.
value() { sed -n "s/^$1=//p" <<<"$2" | tr -d '\r'; }
expect() { [[ "$2" == "$3" ]] || fail "$1: expected '$3', got '$2'"; }

# wait_line FILE LINE: until FILE holds that whole line (CRLF-ended).
wait_line() {
  for _ in $(seq 600); do
    [[ -f "$1" ]] && grep -qxF "$2"$'\r' "$1" && return 0
    sleep 0.05
  done
  fail "no line '$2' in $1: $(cat "$1" 2>/dev/null | tr '\r\n' '|')"
}
# expect_file FILE LINES...: the file holds exactly these lines, CRLF-ended.
expect_file() {
  local file=$1
  shift
  local expected
  expected=$(printf '%s\r\n' "$@" | od -c)
  [[ "$(od -c <"$file")" == "$expected" ]] ||
    fail "$file differs: got '$(tr '\r\n' '|' <"$file")', expected '$(printf '%s|' "$@")'"
}
# processes EXE: "<pid> <path>" lines of the running processes of that name.
processes() { probe --processes "$1" | tr -d '\r'; }
wait_no_process() {
  for _ in $(seq 600); do
    [[ -z "$(processes "$1")" ]] && return 0
    sleep 0.05
  done
  fail "$1 still runs: $(processes "$1")"
}

step "fresh prefix"
wineserver -k 2>/dev/null || true
rm -rf "$work"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
# Services live as long as the wineserver: keep it up while we look.
wineserver -p

c=$WINEPREFIX/drive_c
install=$c/x\ y
mkdir -p "$install" "$c/other"
cp "$smtp" "$pop3" "$control" "$im" "$cal" "$install/"
cp "$smtp" "$c/other/"
logs=$install/logs

step "TolvaSMTP from a quoted path with a space"
wine sc create TolvaSMTP binpath= "\"C:\\x y\\smtp.exe\"" >/dev/null
out=$(probe TolvaSMTP)
expect "state before start" "$(value state "$out")" 1
expect "binary path" "$(value binary_path "$out")" '"C:\x y\smtp.exe"'
wine sc start TolvaSMTP >/dev/null
probe --wait-state TolvaSMTP RUNNING 30
out=$(probe TolvaSMTP)
pid=$(value pid "$out")
[[ "$pid" -gt 0 ]] || fail "no pid for TolvaSMTP"
expect "process" "$(processes smtp.exe)" "$pid C:\\x y\\smtp.exe"
[[ -d "$logs" ]] || fail "no logs folder"

out=$(probe --send TolvaSMTP 4099 1280 3 7)
expect "reply bytes" "$(value bytes "$out")" 4
expect "reply" "$(value reply "$out")" 4245
expect "reply hex" "$(value hex "$out")" 95100000
out=$(probe --send TolvaSMTP 4096 1280 257 0)
expect "deliver" "$(value sent "$out")" 20
# The answer wraps around like the 32-bit word it is.
out=$(probe --send TolvaSMTP 4099 1280 4294967295 4294967295)
expect "wrapped reply" "$(value reply "$out")" 4241
# Messages without an answer, back to back: none lost, none reordered.
burst=()
for i in $(seq 1 15); do
  probe --send TolvaSMTP 4096 1280 "$i" $((i * 2)) >/dev/null
  burst+=("TolvaSMTP pipe command=4096 message=1280 wParam=$i lParam=$((i * 2))")
done
wait_line "$logs/TolvaSMTP.log" "${burst[-1]}"

wine sc stop TolvaSMTP >/dev/null
probe --wait-state TolvaSMTP STOPPED 30
wait_no_process smtp.exe
expect "exit code after stop" "$(value win32_exit_code "$(probe TolvaSMTP)")" 0
smtp_lines=("TolvaSMTP start service"
  "TolvaSMTP pipe command=4099 message=1280 wParam=3 lParam=7"
  "TolvaSMTP pipe command=4096 message=1280 wParam=257 lParam=0"
  "TolvaSMTP pipe command=4099 message=1280 wParam=4294967295 lParam=4294967295"
  "${burst[@]}"
  "TolvaSMTP stop")
expect_file "$logs/TolvaSMTP.log" "${smtp_lines[@]}"
expect_file "$logs/sequence.log" "${smtp_lines[@]}"
probe --send TolvaSMTP 4099 1280 0 0 >/dev/null 2>&1 && fail "the pipe outlived the service"

step "a copy of smtp.exe as service SMTPSVC"
wine sc create SMTPSVC binpath= "C:\\other\\smtp.exe" >/dev/null
wine sc start SMTPSVC >/dev/null
probe --wait-state SMTPSVC RUNNING 30
expect "SMTPSVC reply" "$(value reply "$(probe --send SMTPSVC 4099 1280 1 2)")" 4243
probe --send TolvaSMTP 4099 1280 0 0 >/dev/null 2>&1 && fail "SMTPSVC serves the TolvaSMTP pipe"
wine sc stop SMTPSVC >/dev/null
probe --wait-state SMTPSVC STOPPED 30
expect_file "$c/other/logs/SMTPSVC.log" "SMTPSVC start service" \
  "SMTPSVC pipe command=4099 message=1280 wParam=1 lParam=2" "SMTPSVC stop"
expect_file "$c/other/logs/sequence.log" "SMTPSVC start service" \
  "SMTPSVC pipe command=4099 message=1280 wParam=1 lParam=2" "SMTPSVC stop"
[[ ! -e "$logs/SMTPSVC.log" ]] || fail "SMTPSVC logged into the other installation"

step "all five services at once, one shared sequence"
rm -f "$logs"/*.log
names=(TolvaSMTP TolvaPOP3 TolvaControl TolvaIM TolvaCalendar)
exes=(smtp pop3 control im cal)
for i in 0 1 2 3 4; do
  [[ $i -eq 0 ]] || wine sc create "${names[i]}" binpath= "\"C:\\x y\\${exes[i]}.exe\"" >/dev/null
done
expected=()
for i in 0 1 2 3 4; do
  wine sc start "${names[i]}" >/dev/null
  probe --wait-state "${names[i]}" RUNNING 30
  expected+=("${names[i]} start service")
done
# Each answered message is logged before its answer, so this order is exact.
for round in 1 2; do
  for i in 4 2 0 3 1; do
    out=$(probe --send "${names[i]}" 4099 1280 $((round * 10 + i)) "$round")
    expect "${names[i]} reply" "$(value reply "$out")" $((4242 + round * 10 + i))
    expected+=("${names[i]} pipe command=4099 message=1280 wParam=$((round * 10 + i)) lParam=$round")
  done
done
for i in 2 0 1 3 4; do
  wine sc stop "${names[i]}" >/dev/null
  probe --wait-state "${names[i]}" STOPPED 30
  expected+=("${names[i]} stop")
done
expect_file "$logs/sequence.log" "${expected[@]}"
for i in 0 1 2 3 4; do
  expect_file "$logs/${names[i]}.log" "${names[i]} start service" \
    "${names[i]} pipe command=4099 message=1280 wParam=$((10 + i)) lParam=1" \
    "${names[i]} pipe command=4099 message=1280 wParam=$((20 + i)) lParam=2" \
    "${names[i]} stop"
done

step "fault fail-start"
rm -f "$logs"/*.log
printf 'fail-start\r\n' >"$install/pop3.fault"
wine sc start TolvaPOP3 >/dev/null || true
wait_line "$logs/TolvaPOP3.log" "TolvaPOP3 failed start"
probe --wait-state TolvaPOP3 STOPPED 30
out=$(probe TolvaPOP3)
expect "fail-start exit code" "$(value win32_exit_code "$out")" 1066
expect "fail-start service code" "$(value service_exit_code "$out")" 1
wait_no_process pop3.exe
expect_file "$logs/TolvaPOP3.log" "TolvaPOP3 failed start"
probe --send TolvaPOP3 4099 1280 0 0 >/dev/null 2>&1 && fail "a failed start serves its pipe"
rm "$install/pop3.fault"

step "fault ignore-stop"
echo ignore-stop >"$install/control.fault"
wine sc start TolvaControl >/dev/null
probe --wait-state TolvaControl RUNNING 30
pid=$(value pid "$(probe TolvaControl)")
wine sc stop TolvaControl >/dev/null || true
wait_line "$logs/TolvaControl.log" "TolvaControl ignored stop"
probe --wait-state TolvaControl RUNNING 30
expect "still running" "$(processes control.exe)" "$pid C:\\x y\\control.exe"
expect "still answering" "$(value reply "$(probe --send TolvaControl 4099 1280 5 0)")" 4247
# Only a kill ends it now. (Wine refuses a second stop request with error
# 1061 and kills the process itself, so the check does not ask twice.)
out=$(probe --kill control.exe | tr -d '\r')
expect "killed" "$out" "killed $pid"
wait_no_process control.exe
expect_file "$logs/TolvaControl.log" "TolvaControl start service" "TolvaControl ignored stop" \
  "TolvaControl pipe command=4099 message=1280 wParam=5 lParam=0"
rm "$install/control.fault"

step "fault short-answer"
echo short-answer >"$install/im.fault"
wine sc start TolvaIM >/dev/null
probe --wait-state TolvaIM RUNNING 30
out=$(probe --send TolvaIM 4099 1280 8 0)
expect "short answer bytes" "$(value bytes "$out")" 2
expect "short answer hex" "$(value hex "$out")" 9a10
[[ -z "$(value reply "$out")" ]] || fail "a short answer has a reply word"
rm "$install/im.fault"
expect "full answer again" "$(value reply "$(probe --send TolvaIM 4099 1280 8 0)")" 4250
wine sc stop TolvaIM >/dev/null
probe --wait-state TolvaIM STOPPED 30
expect_file "$logs/TolvaIM.log" "TolvaIM start service" \
  "TolvaIM pipe command=4099 message=1280 wParam=8 lParam=0" \
  "TolvaIM pipe command=4099 message=1280 wParam=8 lParam=0" "TolvaIM stop"

step "plain program without a screen: the pipe alone, until killed"
rm -f "$logs"/*.log
# A running service must not make the program think it is one.
wine sc start TolvaPOP3 >/dev/null
probe --wait-state TolvaPOP3 RUNNING 30
wine "$install/cal.exe" &
program_pid=$!
wait_line "$logs/TolvaCalendar.log" "TolvaCalendar start program"
out=$(probe --send TolvaCalendar 4099 1280 2 9)
expect "program reply" "$(value reply "$out")" 4244
[[ -n "$(processes cal.exe)" ]] || fail "cal.exe is not running"
# The service cannot have the pipe the program holds: it fails to start,
# with the system's error as its exit code.
wine sc start TolvaCalendar >/dev/null || true
wait_line "$logs/TolvaCalendar.log" "TolvaCalendar failed start"
probe --wait-state TolvaCalendar STOPPED 30
pipe_error=$(sed -n 's/^TolvaCalendar pipe error=\([0-9]*\)\r$/\1/p' "$logs/TolvaCalendar.log")
[[ -n "$pipe_error" && "$pipe_error" != 0 ]] || fail "no pipe error logged"
expect "exit code of the refused start" "$(value win32_exit_code "$(probe TolvaCalendar)")" \
  "$pipe_error"
expect "the program still answers" "$(value reply "$(probe --send TolvaCalendar 4099 1280 3 0)")" \
  4245
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=
wait_no_process cal.exe
expect_file "$logs/TolvaCalendar.log" "TolvaCalendar start program" \
  "TolvaCalendar pipe command=4099 message=1280 wParam=2 lParam=9" \
  "TolvaCalendar pipe error=$pipe_error" "TolvaCalendar failed start" \
  "TolvaCalendar pipe command=4099 message=1280 wParam=3 lParam=0"
wine sc stop TolvaPOP3 >/dev/null
probe --wait-state TolvaPOP3 STOPPED 30

step "the probe on a missing service"
if err=$(probe NoSuchService 2>&1 >/dev/null); then code=0; else code=$?; fi
expect "missing service exit" "$code" 1
[[ "$err" == *"NoSuchService"* ]] || fail "no reason for the missing service: $err"
probe --wait-state NoSuchService RUNNING 0 2>/dev/null && fail "waited for a missing service"

wineserver -k

step "plain program on a screen: the window of its row"
for n in $(seq 60 69); do
  [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=:$n
  break
done
[[ -n "$xvfb_pid" ]] || fail "no free display for Xvfb"
for _ in $(seq 100); do [[ -e /tmp/.X11-unix/X${DISPLAY#:} ]] && break; sleep 0.1; done
# Windows need a prefix whose desktop started on the screen.
export WINEPREFIX=$work/display-prefix
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p
dir=$WINEPREFIX/drive_c/x\ y
mkdir -p "$dir"
cp "$smtp" "$im" "$dir/"
wine "$dir/im.exe" &
program_pid=$!
wait_line "$dir/logs/TolvaIM.log" "TolvaIM start program"
for _ in $(seq 600); do
  probe --window TIMForm "Instant Messaging" 1280 0 0 >/dev/null 2>&1 && break
  sleep 0.05
done
expect "window answer" "$(value result "$(probe --window TIMForm "Instant Messaging" 1280 6 11)")" 4248
expect "pipe beside the window" "$(value reply "$(probe --send TolvaIM 4099 1280 1 0)")" 4243
echo ignore-stop >"$dir/im.fault"
probe --window TIMForm "Instant Messaging" 16 0 0 >/dev/null
probe --window TIMForm "Instant Messaging" 1280 7 0 >/dev/null || fail "the window closed despite ignore-stop"
rm "$dir/im.fault"
probe --window TIMForm "Instant Messaging" 16 0 0 >/dev/null
wait "$program_pid" || fail "im.exe ended with $?"
program_pid=
probe --window TIMForm "Instant Messaging" 1280 0 0 >/dev/null 2>&1 && fail "the window outlived WM_CLOSE"
expect_file "$dir/logs/TolvaIM.log" "TolvaIM start program" \
  "TolvaIM window message=1280 wParam=0 lParam=0" \
  "TolvaIM window message=1280 wParam=6 lParam=11" \
  "TolvaIM pipe command=4099 message=1280 wParam=1 lParam=0" \
  "TolvaIM ignored stop" \
  "TolvaIM window message=1280 wParam=7 lParam=0" \
  "TolvaIM stop"
# The prefixes take more than a gigabyte; a failed run keeps them to look at.
WINEPREFIX=$work/display-prefix wineserver -k
rm -rf "$work/prefix" "$work/display-prefix"
echo "standin check passed"
