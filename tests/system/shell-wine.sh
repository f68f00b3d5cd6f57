#!/usr/bin/env bash
# The shell side of the installer under Wine, checked from outside: the
# program group, shortcuts and keys that CreateIcons makes (lnkinfo, the reg
# tool, the files), then setup.exe's "/UNINSTALL" on a virtual screen with
# the stand-in servers running as services (svcprobe, their logs), the
# antivirus stand-in's log, and the folder the shell was asked to open.
# Usage: shell-wine.sh ICONSDRIVER SETUP WININSPECT SVCPROBE SERVICEDRIVER
#                      STANDIN_DIR SETIFACE WORK_DIR
set -Eeuo pipefail
abs() { realpath -m "$1"; }
icons=$(abs "$1") setup=$(abs "$2") inspect=$(abs "$3") probe=$(abs "$4") driver=$(abs "$5")
standins=$(abs "$6") setiface=$(abs "$7") work=$(abs "$8")
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND" >&2' ERR

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "-- $*"; }
expect() { # what actual expected
  [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}
wait_for() { # seconds command... : until the command succeeds
  local tries=$(($1 * 10))
  shift
  until "$@"; do
    tries=$((tries - 1))
    [ $tries -gt 0 ] || return 1
    sleep 0.1
  done
}
has_line() { [ -f "$1" ] && tr -d '\r' <"$1" | grep -qxF -- "$2"; }

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX="$work/prefix"
wineserver -k 2>/dev/null || true
rm -rf "$work"
mkdir -p "$WINEPREFIX" "$work/home/Desktop"
# Wine links the user's desktop to the home folder's: keep it in the scratch.
export HOME="$work/home"

# A screen of our own for the boxes of setup.exe.
xvfb_pid=
for n in $(seq 91 119); do
  [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=:$n
  break
done
[ -n "$xvfb_pid" ] || fail "no free display number"
setup_pid=
passed=
cleanup() {
  [ -n "$setup_pid" ] && kill "$setup_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  # A failed run keeps its prefix for a look; a passing one frees the space.
  if [ -n "$passed" ]; then rm -rf "$work"; fi
}
trap cleanup EXIT
wait_for 10 test -e "/tmp/.X11-unix/X${DISPLAY#:}" || fail "Xvfb did not start"

wineboot -i >/dev/null 2>&1
wineserver -w
# Services live as long as the wineserver: keep it until the end.
wineserver -p

# Opening a folder in the shell appends it to a file instead of showing it.
wine reg delete 'HKCR\Folder\shell\open\ddeexec' /f >/dev/null 2>&1 || true
wine reg add 'HKCR\Folder\shell\open\command' /ve \
  /d 'C:\windows\system32\cmd.exe /c echo %1>>C:\opened.txt' /f >/dev/null

c="$WINEPREFIX/drive_c"
unix() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
folder_value() { # root name
  wine reg query "$1\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders" \
    /v "$2" | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"
}
common=$(unix "$(folder_value HKLM 'Common Programs')")
programs=$(unix "$(folder_value HKCU Programs)")
appdata=$(unix "$(folder_value HKCU AppData)")
[ -d "$common" ] && [ -d "$programs" ] && [ -d "$appdata" ] || fail "shell folders not found"
group="$common/Nivalis Tolva Mail Server"
quick="$appdata/Microsoft/Internet Explorer/Quick Launch"
desktop="$c/users/$(id -un)/Desktop"
admin="Nivalis Server Administration.lnk"
dir='C:\Program Files\Tolva Mail\'
host="$c/Program Files/Tolva Mail"
mkdir -p "$host"

listing() { (cd "$1" && find . | LC_ALL=C sort); }
link_field() { # file field
  lnkinfo "$1" | tr -d '\r' | sed -n "s/^[[:space:]]*$2[[:space:]]*: //p"
}
check_link() { # name target arguments icon-index
  local file="$group/$1.lnk"
  [ -f "$file" ] || fail "no link $1"
  expect "$1 target" "$(link_field "$file" 'Local path')" "$2"
  expect "$1 arguments" "$(link_field "$file" 'Command line arguments')" "$3"
  expect "$1 icon index" "$(link_field "$file" 'Icon index')" "$4"
  if [ "$4" != 0 ]; then expect "$1 icon" "$(link_field "$file" 'Icon location')" "$2"; fi
}
reg_value() { # key name -> "TYPE VALUE"
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *\(REG_[A-Z_]*\) *\(.*\)$/\1 \2/p"
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolva'
product_key='HKLM\Software\Nivalis\Tolva Mail Server'

step "setup.exe carries the shortcuts' three icons"
expect "setup.exe icons" "$(wine "$icons" --icons "Z:${setup//\//\\}" | tr -d '\r' | tr '\n' ' ')" \
  "icons=3 icon0=yes icon1=yes icon2=yes "

step "CreateIcons over old groups, with desktop, Quick Launch (missing) and web mail"
mkdir -p "$group/sub" "$common/Tolva Mail Server" "$programs/Nivalis Tolva Mail Server" \
  "$common/Other Vendor"
echo x >"$group/Extra.lnk"
echo x >"$group/sub/Deeper.lnk"
echo x >"$common/Tolva Mail Server/Old.lnk"
echo x >"$programs/Nivalis Tolva Mail Server/Mine.lnk"
echo x >"$common/Other Vendor/Keep.lnk"
[ ! -e "$quick" ] || fail "the prefix has a Quick Launch folder already"
out=$(wine "$icons" "$dir" --desktop --quick-launch --webmail | tr -d '\r')
expect "driver output" "$out" "done"
expected="Administration.lnk
DNS Query Tool.lnk
Help.lnk
Quick Start.lnk
Readme.lnk
Uninstall.lnk
VevErod Oro Guide.lnk
VevErod Oro.lnk
VizUdid Azadi.lnk
WebAdmin.lnk"
expect "the group" "$(ls "$group" | LC_ALL=C sort)" "$(LC_ALL=C sort <<<"$expected")"
check_link Administration "${dir}config.exe" "" 0
check_link Readme "${dir}doc\\readme.txt" "" 0
check_link Help "${dir}doc\\manual.chm" "" 0
check_link "DNS Query Tool" "${dir}dnsquery.exe" "" 0
check_link "Quick Start" "${dir}doc\\quickstart.pdf" "" 0
check_link "VevErod Oro Guide" "${dir}doc\\webmailguide.pdf" "" 0
check_link Uninstall "${dir}setup.exe" /UNINSTALL 1
check_link "VizUdid Azadi" "${dir}setup.exe" /WEBMAILLOGON 2
check_link "VevErod Oro" "${dir}setup.exe" /WEBMAIL2LOGON 2
check_link WebAdmin "${dir}setup.exe" /WEBADMINLOGON 2
[ ! -e "$common/Tolva Mail Server" ] || fail "the old group is still there"
[ ! -e "$programs/Nivalis Tolva Mail Server" ] || fail "the per-user group is still there"
[ -f "$common/Other Vendor/Keep.lnk" ] || fail "another vendor's group was touched"
[ ! -e "$quick" ] || fail "a Quick Launch folder was made"
[ -f "$desktop/$admin" ] || fail "no desktop link"
expect "desktop link target" "$(link_field "$desktop/$admin" 'Local path')" "${dir}config.exe"

while IFS='|' read -r name value; do
  expect "uninstall value $name" "$(reg_value "$uninstall_key" "$name")" "REG_SZ $value"
done <<EOF
DisplayName|Nivalis Tolva Mail Server 9.1.5-7
UninstallString|"${dir}setup.exe" /UNINSTALL
DisplayIcon|${dir}config.exe
DisplayVersion|9.1.5-7
InstallLocation|${dir}
NoModify|1
NoRepair|1
Publisher|Nivalis
URLInfoAbout|www.nivalis.example
EOF
while IFS='|' read -r name value; do
  expect "product value $name" "$(reg_value "$product_key" "$name")" "REG_SZ $value"
done <<EOF
InstallDir|${dir}
Name|Ana Example
Email|ana@example.org
Company|Example Ltd
Country|Austria
Version|9.1.5-7
EOF

step "again without web mail and desktop, with a Quick Launch folder"
rm "$desktop/$admin"
mkdir -p "$quick"
out=$(wine "$icons" "$dir" --quick-launch | tr -d '\r')
expect "driver output" "$out" "done"
[ ! -e "$group/VizUdid Azadi.lnk" ] && [ ! -e "$group/VevErod Oro.lnk" ] ||
  fail "web-mail links without component 4"
expect "links without web mail" "$(ls "$group" | wc -l)" 8
[ ! -e "$desktop/$admin" ] || fail "a desktop link without component 2"
[ -f "$quick/$admin" ] || fail "no Quick Launch link"
expect "Quick Launch link target" "$(link_field "$quick/$admin" 'Local path')" "${dir}config.exe"

step "group names from a language file that leave the Start menu"
mkdir -p "$common/../x"
echo x >"$common/../x/keep.lnk"
before=$(listing "$common/..")
for name in '..\x' '' '..' 'a/..'; do
  out=$(wine "$icons" "$dir" --group "$name" --old-group "$name" | tr -d '\r')
  expect "driver output for '$name'" "$out" "done"
  expect "Start menu after group '$name'" "$(listing "$common/..")" "$before"
done

step "an installation with its services running"
for exe in smtp.exe pop3.exe control.exe im.exe cal.exe; do cp "$standins/$exe" "$host/$exe"; done
for name in config.exe dnsquery.exe tool.exe sendmail.exe api.dll libeay32.dll libssl32.dll \
  db.dll regex.dll sqlite3.dll libiconv.dll nivaliscom.dll readme.txt; do
  echo x >"$host/$name"
done
for sub in doc wizards aspell modules spam html api examples xml php avast config mail logs; do
  mkdir -p "$host/$sub/inner"
  echo x >"$host/$sub/inner/file.txt"
done
mkdir -p "$host/avast/setup"
cp "$setiface" "$host/avast/setup/setiface.dll"
cp "$setup" "$host/setup.exe"
services=(TolvaSMTP TolvaPOP3 TolvaControl TolvaIM TolvaCalendar)
install_suite() {
  wine "$driver" install "$dir" >/dev/null
  for name in "${services[@]}"; do
    wine "$probe" --wait-state "$name" RUNNING 30 >/dev/null || fail "$name did not start"
  done
  expect "driver output" "$(wine "$icons" "$dir" --desktop | tr -d '\r')" "done"
}
install_suite

run_uninstall() { # folder (Windows) answer
  local title="Nivalis Tolva Mail Server Setup" code=0
  wine "$1setup.exe" /UNINSTALL </dev/null >/dev/null 2>&1 &
  setup_pid=$!
  wine "$inspect" wait "$title" 60 >/dev/null || fail "no uninstall question"
  grep -q "Are you sure to completely remove all files" <<<"$(wine "$inspect" dump "$title")" ||
    fail "the question is not the uninstall question"
  wine "$inspect" click "$title" "$2" >/dev/null
  if [ "$2" = "&Yes" ]; then
    wine "$inspect" wait Information 120 >/dev/null || fail "no closing box"
    closing=$(wine "$inspect" dump Information | tr -d '\r')
    wine "$inspect" click Information OK >/dev/null
  fi
  wait "$setup_pid" || code=$?
  setup_pid=
  expect "setup.exe exit code" "$code" 0
}
all_running() {
  for name in "${services[@]}"; do
    expect "$name state" "$(wine "$probe" "$name" | tr -d '\r' | sed -n 's/^state=//p')" 4
  done
}

step "/UNINSTALL answered No changes nothing"
state() { listing "$host"; listing "$common"; listing "$desktop"; }
before=$(state)
run_uninstall "$dir" "&No"
expect "files after No" "$(state)" "$before"
all_running
reg_value "$uninstall_key" DisplayName >/dev/null && reg_value "$product_key" InstallDir >/dev/null

step "/UNINSTALL from a copy elsewhere deletes no file"
copy="$c/Elsewhere"
mkdir -p "$copy/doc" "$copy/html" "$copy/php" "$copy/avast/setup"
cp "$setup" "$copy/setup.exe"
for name in smtp.exe api.dll doc/readme.txt html/index.html php/php.ini; do echo x >"$copy/$name"; done
cp "$setiface" "$copy/avast/setup/setiface.dll"
before_copy=$(listing "$copy")
before_install=$(listing "$host")
rm -f "$c/opened.txt"
run_uninstall 'C:\Elsewhere\' "&Yes"
expect "files beside the copy" "$(listing "$copy")" "$before_copy"
expect "files of the installation" "$(listing "$host")" "$before_install"
grep -q "no program files were deleted" <<<"$closing" || fail "the closing box does not say what was left"
for name in "${services[@]}"; do
  ! wine "$probe" "$name" >/dev/null 2>&1 || fail "$name is still installed"
done
[ -z "$(reg_value "$uninstall_key" DisplayName)" ] || fail "the uninstall key is still there"
[ -z "$(reg_value "$product_key" InstallDir)" ] || fail "the product key is still there"
wait_for 30 has_line "$c/opened.txt" "$dir" || fail "the installation folder was not opened"

step "/UNINSTALL answered Yes in the installation folder"
install_suite
rm -f "$c/opened.txt"
declare -A log_lines
for name in "${services[@]}"; do log_lines[$name]=$(wc -l <"$host/logs/$name.log"); done
run_uninstall "$dir" "&Yes"
for name in "${services[@]}"; do
  ! wine "$probe" "$name" >/dev/null 2>&1 || fail "$name is still installed"
  tail -n +$((log_lines[$name] + 1)) "$host/logs/$name.log" | tr -d '\r' | grep -qxF "$name stop" ||
    fail "$name was not stopped by the uninstall"
done
for name in smtp.exe pop3.exe control.exe config.exe dnsquery.exe tool.exe sendmail.exe api.dll \
  libeay32.dll libssl32.dll db.dll regex.dll sqlite3.dll libiconv.dll nivaliscom.dll cal.exe im.exe; do
  [ ! -e "$host/$name" ] || fail "$name is still there"
done
for sub in doc wizards aspell modules spam html api examples xml php avast; do
  [ ! -e "$host/$sub" ] || fail "$sub\\ is still there"
done
for kept in config/inner/file.txt mail/inner/file.txt logs/inner/file.txt setup.exe readme.txt; do
  [ -e "$host/$kept" ] || fail "$kept was deleted"
done
[ ! -e "$group" ] || fail "the program group is still there"
[ ! -e "$desktop/$admin" ] || fail "the desktop link is still there"
[ -z "$(reg_value "$uninstall_key" DisplayName)" ] || fail "the uninstall key is still there"
[ -z "$(reg_value "$product_key" InstallDir)" ] || fail "the product key is still there"
has_line "$host/logs/setiface.log" 'setifaceUninstallProgram "Nivalis" 0 2' ||
  fail "the antivirus engine's uninstall was not called as expected"
grep -q "Uninstall completed. Some elements could not be removed." <<<"$closing" ||
  fail "closing box: $closing"
wait_for 30 has_line "$c/opened.txt" "$dir" || fail "the installation folder was not opened"
passed=1
echo "shell and uninstall: all checks passed"
