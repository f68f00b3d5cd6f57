#!/usr/bin/env bash
# The installer unattended under Wine, from the demo distribution, in a fresh
# prefix without a display: a new installation, an upgrade over it, a
# damaged main archive, a bad answer file and the removal. Every effect is
# read from outside: the files, `wine reg query`, svcprobe (the system's own
# service queries), lnkinfo, the stand-ins' logs and tolvacfg.
# servicedriver only sets a start type up, as an administrator would.
# holdfile holds a program file open without sharing it.
# Usage: unattended-wine.sh DEMO_DIR DEMO_SOURCES TOLVACFG SVCPROBE SERVICEDRIVER HOLDFILE WORK_DIR
set -Eeuo pipefail
demo=$1 demo_sources=$2 tolvacfg=$3 probe=$4 driver=$5 holdfile=$6 work=$7
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND" >&2' ERR

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX="$work/prefix"
unset DISPLAY
source "$(dirname "$0")/../system/service-prefix.sh"
fresh_service_prefix "$work"
trap 'wineserver -k 2>/dev/null || true' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
expect() { [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"; }
unix() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
probe() { wine "$probe" "$@" | tr -d '\r'; }
value() { grep "^$1=" <<<"$2" | head -n 1 | cut -d= -f2- || true; }
reg_value() { # key name -> "TYPE VALUE"
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *\(REG_[A-Z_]*\) *\(.*\)$/\1 \2/p"
}
reg_default() { # key -> "TYPE VALUE"
  wine reg query "$1" /ve 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *([^)]*) *\(REG_[A-Z_]*\) *\(.*\)$/\1 \2/p'
}
setting() { # name -> the value tolvacfg shows
  wine "$tolvacfg" show "$dir"'config' | tr -d '\r' | python3 -c \
    'import json,sys; print(json.load(sys.stdin)["settings"][sys.argv[1]])' "$1"
}
primary_domain() {
  wine "$tolvacfg" show "$dir"'config' | tr -d '\r' | python3 -c \
    'import json,sys; print(json.load(sys.stdin)["primaryDomain"])'
}
# "number type expiry aliases" lines of a domain's accounts.
accounts() { wine "$tolvacfg" accounts "$dir"'config' "$1" | tr -d '\r'; }
# The setup log without its time stamps.
log_lines() { tr -d '\r' <"$host/logs/setup/setup.log" | sed -E 's/^[0-9-]{10} [0-9:]{8} //'; }
wait_line() { # file text
  local tries=200
  until [ -f "$1" ] && tr -d '\r' <"$1" | grep -qF -- "$2"; do
    tries=$((tries - 1))
    [ $tries -gt 0 ] || fail "no line '$2' in $1"
    sleep 0.1
  done
}
setup() { # installer-folder arguments...
  local folder=$1
  shift
  set +e
  wine "$folder"'setup.exe' "$@" >"$work/out.txt" 2>"$work/err.txt"
  code=$?
  set -e
  tr -d '\r' <"$work/out.txt" >"$work/stdout.txt"
}

c="$WINEPREFIX/drive_c"
dist='C:\dist\'
extract="C:\\users\\$(id -un)\\Temp\\tolvainstall\\"
cp -r "$demo" "$c/dist"
dir='C:\Program Files\Tolva\'
host="$c/Program Files/Tolva"
names=(TolvaSMTP TolvaPOP3 TolvaControl TolvaIM TolvaCalendar)
services_key='HKLM\System\CurrentControlSet\Services'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolva'
product_key='HKLM\Software\Nivalis\Tolva Mail Server'
common=$(unix "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
  /v 'Common Programs' | tr -d '\r' | sed -n 's/^ *Common Programs *REG_SZ *//p')")
group="$common/Nivalis Tolva Mail Server"
cat >"$c/dist/answers.ini" <<EOF
; A new installation of the demo distribution.
[Setup]
Name=Ana Admin
Email=ana@example.test
Company=Example Ltd
Country=Austria
Mode=Basic
Components=0,1,2,3,4,5,6,7,8,9,10,11,15
Destination=$dir

[Configuration]
HostName=mail.example.test
Domain= example.test
User=admin
Password=secret
EOF

# 1. A new installation.
setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}answers.ini" "/SAVEINF=${dist}saved.ini"
expect "exit code of the installation" "$code" 0
grep -qxF "Progress 12/12" "$work/stdout.txt" || fail "the progress did not reach 12"
grep -qxF "Installation Complete" "$work/stdout.txt" || fail "no final caption"
for file in smtp.exe pop3.exe control.exe im.exe cal.exe db.dll api.dll nivaliscom.dll setup.exe \
  config/cert.pem config/webserver.dat doc/releasenotes.txt doc/readme.txt doc/license.txt \
  xml/info.xml calendar/groupware.db spam/antispam.db php/php.ini; do
  [ -f "$host/$file" ] || fail "$file was not installed"
done
cmp -s "$c/dist/releasenotes.txt" "$host/doc/releasenotes.txt" || fail "release notes differ"
printf ';\r\nfootervalue.txt;\r\n\r\n\r\n10\r\n' | cmp -s - "$host/config/tags.dat" ||
  fail "tags.dat is not byte-exact"
printf 'Sent with the Nivalis Tolva Mail Server demo version.' |
  cmp -s - "$host/config/footervalue.txt" || fail "footervalue.txt differs"
expect "interface" "$(setting InterfaceLayout)" "advanced.xml"
expect "temporary folder" "$(setting TempPath)" "${dir}temp\\"
expect "mail folder" "$(setting MailPath)" "${dir}mail\\"
expect "log folder" "$(setting LogPath)" "${dir}logs\\"
expect "footer switch" "$(setting FooterSwitch)" 1
# Wine answers GetNetworkParams from the host's resolver configuration.
dns=$(setting DnsServers)
first=$(sed -n 's/^nameserver[[:space:]]*\([^[:space:]]*\).*/\1/p' /etc/resolv.conf | head -n 1)
[ -z "$first" ] || [[ ";$dns;" == *";$first;"* ]] || fail "DNS servers '$dns' lack $first"
log_lines >"$work/log1.txt"
cat >"$work/expected1.txt" <<EOF
Started "Nivalis Tolva Mail Server" 9.1.5-7 "$dir"
Checking running services
Services stopped
Data file extracted to "$extract"
Copying files...
Copying files done
Creating demo accounts
Installing services
Extracted data deleted "$extract"
Starting services
Finished

EOF
diff "$work/expected1.txt" "$work/log1.txt" >&2 || fail "setup.log differs"
for name in "${names[@]}"; do
  probe --wait-state "$name" RUNNING 30 >/dev/null || fail "$name is not running"
  out=$(probe "$name")
  expect "$name start type" "$(value start_type "$out")" 2
  reg_value "$services_key\\$name" ImagePath | grep -qF "$dir" || fail "$name: no ImagePath"
  wait_line "$host/logs/$name.log" "$name start"
done
[ -d "$group" ] || fail "no program group"
link_field() { lnkinfo "$1" | tr -d '\r' | sed -n "s/^[[:space:]]*$2[[:space:]]*: //p"; }
targets=$(for link in "$group"/*.lnk; do link_field "$link" 'Local path'; done | sort -u)
grep -qxF "${dir}config.exe" <<<"$targets" || fail "no shortcut to config.exe: $targets"
grep -qxF "${dir}setup.exe" <<<"$targets" || fail "no shortcut to setup.exe: $targets"
expect "product version" "$(reg_value "$product_key" Version)" "REG_SZ 9.1.5-7"
expect "uninstall string" "$(reg_value "$uninstall_key" UninstallString)" \
  "REG_SZ \"${dir}setup.exe\" /UNINSTALL"
expect "spell checker key" "$(reg_default 'HKLM\Software\ASpell')" "REG_SZ ${dir}aspell"
setiface="$host/logs/setiface.log"
wait_line "$setiface" "setifaceUpdateFiles"
grep -c '^setifaceInstallProgram' "$setiface" | grep -qx 1 || fail "engine not installed once"
grep -qF 'setifaceInstallProgram "Nivalis" "C:\users' "$setiface" ||
  grep -qF 'setifaceInstallProgram "Nivalis"' "$setiface" || fail "install arguments"
grep -qF "\"${dir}avast\" \"/minicore /noreboot /forceinstall\" 2" "$setiface" ||
  fail "install arguments: $(cat "$setiface")"
saved=$(tr -d '\r' <"$c/dist/saved.ini" | sed -n 's/^Components=//p' | tr , '\n' | sort -n | xargs)
expect "saved components" "$saved" "0 1 2 3 4 5 6 7 8 9 10 11 15"
# The configuration from the answers: host name as given, the domain trimmed
# and primary, its administrator; the demo domain's three users copied into
# the preset primary domain before it, to expire in 30 days.
expect "host name" "$(setting HostName)" "mail.example.test"
expect "primary domain" "$(primary_domain)" "example.test"
accounts example.test | cut -f4 | grep -qx admin || fail "no administrator: $(accounts example.test)"
expiry=$(date -d '+30 days' +%F)
demo_users=$(accounts nivalis.example | awk -F'\t' -v e="$expiry" '$2 == 0 && $3 == e' | wc -l)
expect "demo users in the preset domain" "$demo_users" 3
! grep -qi password "$c/dist/saved.ini" || fail "a password was saved"

# create.bat ran once, hidden, in its folder.
wait_line "$host/ldap/created.txt" "LDAP database created"
# php.ini from its template: no blank or indented lines, the folders filled in.
! grep -qE '^[[:space:]]*$' "$host/php/php.ini" || fail "php.ini has a blank line"
! grep -qE '^[[:space:]]' "$host/php/php.ini" || fail "php.ini has an indented line"
grep -qF "extension_dir = \"${dir}php\ext\\\"" "$host/php/php.ini" || fail "php.ini: extension_dir"
# Only the first placeholder of each kind in a line is replaced.
grep -qxF "include_path = \".;${dir}php\\pear\\;%%installpath%%php\\includes\\\"" \
  <(tr -d '\r' <"$host/php/php.ini") || fail "php.ini: include_path"

# 2. The same again is an upgrade that keeps the settings and what the
#    administrator made of the modules.
echo "my rules" >"$host/spam/rules/local.cf"
echo "old rules" >"$host/spam/rules/1_header.cf"
echo "site rules" >"$host/spam/rules/site.cf"
echo "learned" >"$host/spam/antispam.db"
echo "appointments" >"$host/calendar/groupware.db"
echo "my php.ini" >"$host/php/php.ini"
echo "my certificate" >"$host/config/cert.pem"
rm "$host/ldap/create.bat" "$host/ldap/created.txt"
cp "$host/config/settings.cfg" "$work/settings-before.cfg"
lines_before=$(wc -l <"$setiface")
setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}answers.ini"
expect "exit code of the upgrade" "$code" 0
cmp -s "$work/settings-before.cfg" "$host/config/settings.cfg" || fail "the upgrade changed settings"
tail -n +$((lines_before + 1)) "$setiface" | tr -d '\r' | cut -d' ' -f1 | sort -u >"$work/calls.txt"
expect "second run's engine calls" "$(cat "$work/calls.txt")" "setifaceUpdateFiles"
for name in "${names[@]}"; do probe --wait-state "$name" RUNNING 30 >/dev/null; done
expect "local rules" "$(cat "$host/spam/rules/local.cf")" "my rules"
expect "site rules" "$(cat "$host/spam/rules/site.cf")" "site rules"
cmp -s "$host/spam/rules/1_header.cf" "$demo_sources/setupas/rules/1_header.cf" ||
  fail "the numbered rules were not replaced"
expect "antispam.db" "$(cat "$host/spam/antispam.db")" "learned"
expect "groupware.db" "$(cat "$host/calendar/groupware.db")" "appointments"
expect "php.ini.old" "$(cat "$host/php/php.ini.old")" "my php.ini"
expect "certificate" "$(cat "$host/config/cert.pem")" "my certificate"
[ ! -e "$host/ldap/create.bat" ] || fail "ldap\ was unpacked again"
[ ! -e "$host/ldap/created.txt" ] || fail "create.bat ran again"

# 3. A damaged main archive is found before anything is stopped or written:
#    the run ends with 3, the servers run on, the log is as it was.
wine "$driver" start-type TolvaIM 4 >/dev/null
mkdir -p "$c/broken"
cp -r "$demo"/. "$c/broken/"
cp "$c/dist/answers.ini" "$c/broken/"
size=$(stat -c %s "$c/broken/setup.dat")
truncate -s $((size / 2)) "$c/broken/setup.dat"
log_size=$(stat -c %s "$host/logs/setup/setup.log")
setup 'C:\broken\' /SILENT /VERYSILENT '/LOADINF=C:\broken\answers.ini'
expect "exit code with a damaged setup.dat" "$code" 3
grep -qF "Error: Extracting files error: data file error setup.dat" "$work/stdout.txt" ||
  fail "the error is not on standard output"
expect "log size after a damaged setup.dat" "$(stat -c %s "$host/logs/setup/setup.log")" "$log_size"
expect "TolvaIM start type" "$(value start_type "$(probe TolvaIM)")" 4
expect "TolvaSMTP state" "$(value state "$(probe TolvaSMTP)")" 4
# The same for a damaged module archive, checked on the whole tree.
tree_sum() { (cd "$host" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum) | sha256sum; }
sum_before=$(tree_sum)
cp "$c/dist/setup.dat" "$c/broken/setup.dat"
size=$(stat -c %s "$c/broken/setupas.dat")
truncate -s $((size / 2)) "$c/broken/setupas.dat"
setup 'C:\broken\' /SILENT /VERYSILENT '/LOADINF=C:\broken\answers.ini'
expect "exit code with a damaged setupas.dat" "$code" 3
grep -qF "Error: Extracting files error: data file error setupas.dat" "$work/stdout.txt" ||
  fail "setupas.dat is not named"
expect "the tree after a damaged setupas.dat" "$(tree_sum)" "$sum_before"
for name in "${names[@]}"; do
  expect "$name after a damaged setupas.dat" "$(value state "$(probe "$name")")" 4
done

# 4. An upgrade during which a program file cannot be replaced: exit code
#    4, the program files as they were (two of them changed by hand first,
#    so that the distribution's copies would differ), the servers running.
printf 'local build' >>"$host/smtp.exe"
printf 'local build' >>"$host/db.dll"
program_sum() {
  (cd "$host" && find . -type f ! -path './logs/*' ! -path './config/*' ! -path './mail/*' -print0 |
    LC_ALL=C sort -z | xargs -0 sha256sum) | sha256sum
}
programs_before=$(program_sum)
rm -f "$work/held"
wine "$holdfile" "${dir}regex.dll" 'C:\held' >/dev/null 2>&1 &
holder=$!
tries=100
until [ -e "$c/held" ]; do
  tries=$((tries - 1))
  [ $tries -gt 0 ] || fail "holdfile did not hold regex.dll"
  sleep 0.1
done
setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}answers.ini"
kill "$holder" 2>/dev/null || true
wait "$holder" 2>/dev/null || true
rm -f "$c/held"
expect "exit code with a held program file" "$code" 4
expect "program files after the failed upgrade" "$(program_sum)" "$programs_before"
[ -z "$(find "$host" -name '*.setup-old')" ] || fail "kept copies were left: $(find "$host" -name '*.setup-old')"
log_lines | grep -qF 'Error: File "'"${dir}"'regex.dll"' || fail "the log does not name regex.dll"
log_lines | grep -qE '^Program files put back after the failed run: [0-9]+$' ||
  fail "the log does not say the files were put back"
for name in "${names[@]}"; do
  probe --wait-state "$name" RUNNING 30 >/dev/null || fail "$name does not run after the failed upgrade"
done

# 5. A bad answer file changes nothing.
printf '[Setup]\r\nMode=Expert\r\n' >"$c/dist/bad.ini"
log_size=$(stat -c %s "$host/logs/setup/setup.log")
setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}bad.ini"
expect "exit code with bad answers" "$code" 2
grep -qF "Mode" "$work/stdout.txt" || fail "the refusal does not name the key"
expect "log size after bad answers" "$(stat -c %s "$host/logs/setup/setup.log")" "$log_size"

# 6. The removal without questions.
mkdir -p "$host/mail/example.test"
echo kept >"$host/mail/example.test/message.eml"
setup "$dir" /UNINSTALL /VERYSILENT
expect "exit code of the removal" "$code" 0
for name in "${names[@]}"; do
  set +e
  probe "$name" >/dev/null 2>&1
  status=$?
  set -e
  expect "$name after the removal" "$status" 1
done
for file in smtp.exe control.exe db.dll doc/releasenotes.txt; do
  [ ! -e "$host/$file" ] || fail "$file is still there"
done
[ -f "$host/config/settings.cfg" ] || fail "the configuration was removed"
[ -f "$host/mail/example.test/message.eml" ] || fail "the mail was removed"
[ ! -d "$group" ] || fail "the program group is still there"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstall key is still there"
echo "unattended installation: all checks passed"
