#!/usr/bin/env bash
# The whole road of the installer under Wine, unattended, from the demo
# distribution, in a fresh prefix without a display: a new installation
# with its first configuration, an upgrade over it, an upgrade from an
# installation of 8.5.3 whose data is converted, a damaged main and module
# archive (nothing changed), an upgrade that fails on a held program file
# (everything put back), a bad answer file, the removal, and a new
# installation in the Advanced mode with its database. Every effect is read
# from outside: the files, `wine reg query`, svcprobe (the system's own
# service queries), lnkinfo, the stand-ins' logs and tolvacfg.
# servicedriver only sets a start type up, as an administrator would.
# holdfile holds a program file open without sharing it.
# Usage: unattended-wine.sh DEMO_DIR DEMO_SOURCES TOLVACFG SVCPROBE SERVICEDRIVER HOLDFILE WORK_DIR
set -Eeuo pipefail
demo=$1 demo_sources=$2 tolvacfg=$3 probe=$4 driver=$5 holdfile=$6 work=$7
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND" >&2' ERR
source "$(dirname "$0")/wine-road.sh"
source "$(dirname "$0")/../upgrade/expected-sequence.sh"
road_prefix
trap 'wineserver -k 2>/dev/null || true' EXIT

extract="C:\\users\\$(id -un)\\Temp\\tolvainstall\\"
common=$(unix "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
  /v 'Common Programs' | tr -d '\r' | sed -n 's/^ *Common Programs *REG_SZ *//p')")
group="$common/Nivalis Tolva Mail Server"
write_answers "$c/dist/answers.ini"

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
# The antivirus engine: installed from the unpacked module with the tabled
# arguments, then updated; each call once, in that order.
setiface="$host/logs/setiface.log"
wait_line "$setiface" "setifaceUpdateFiles"
expect "engine calls" "$(tr -d '\r' <"$setiface" | cut -d' ' -f1 | tr '\n' ' ')" \
  "setifaceInstallProgram setifaceUpdateFiles "
grep -qxF "setifaceInstallProgram \"Nivalis\" \"${extract}avast\\avastoem.exe\" \"${dir}avast\" \"/minicore /noreboot /forceinstall\" 2" \
  <(tr -d '\r' <"$setiface" | sed 's/ -> .*//') || fail "install arguments: $(cat "$setiface")"
saved=$(tr -d '\r' <"$c/dist/saved.ini" | sed -n 's/^Components=//p' | tr , '\n' | sort -n | xargs)
expect "saved components" "$saved" "0 1 2 3 4 5 6 7 8 9 10 11 15"
# The configuration from the answers: host name as given, the domain trimmed
# and primary, its administrator; the demo domain's three users copied into
# the preset primary domain before it, to expire in 30 days.
expect "host name" "$(setting HostName)" "mail.example.test"
expect "primary domain" "$(primary_domain)" "example.test"
expect "the primary domain's administrator address" \
  "$(json "[x for x in d['domains'] if x['name'] == 'example.test'][0]['settings']['D_AdminEmail']")" \
  "administrator@example.test"
expect "the administrator's account" "$(accounts example.test | cut -f4,5)" "administrator	admin"
log_lines | grep -q '^Setup wizard' && fail "the configuration logged an error: $(log_lines | grep '^Setup wizard')"
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
wine reg add 'HKLM\Software\ASpell' /ve /d 'D:\Spell' /f >/dev/null
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
expect "the spell checker's key of the administrator" "$(reg_default 'HKLM\Software\ASpell')" 'REG_SZ D:\Spell'
[ -f "$host/php/aspell-15.dll" ] || fail "the spell checker's library was not copied"

# 3. An upgrade from 8.5.3: the servers get the procedures' requests in
#    order, the settings are converted once, and what the administrator and
#    the users made stays (users.cfg, groupware.db, local.cf, php.ini).
prepare_853
echo "my 8.5.3 rules" >"$host/spam/rules/local.cf"
echo "8.5.3 appointments" >"$host/calendar/groupware.db"
echo "my 8.5.3 php.ini" >"$host/php/php.ini"
users_before=$(tree_sum config -name users.cfg)
domains_before=$(sha256sum <"$host/config/domains.cfg")
seq="$host/logs/sequence.log"
seq_before=$(count_lines "$seq")
setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}answers.ini"
expect "exit code of the upgrade from 8.5.3" "$code" 0
notice="TolvaControl pipe command=4096 message=1280 wParam=3 lParam=0"
wait_line "$seq" "$notice" 30
tail -n +$((seq_before + 1)) "$seq" | tr -d '\r' | grep -E 'pipe command=4096 message=1280 |http GET' |
  grep -vxF "$notice" >"$work/sequence-853.txt"
expected_sequence 19 1 >"$work/expected-853.txt"
same_per_server "$work/expected-853.txt" "$work/sequence-853.txt" ||
  fail "the upgrade from 8.5.3: the servers' sequence differs from the expected order (above)"
log_lines | grep -qxF 'Running upgrade procedures 8.5.3 -> 9.1.5-7' || fail "the log does not name the upgrade"
expect "version after the upgrade" "$(reg_value "$product_key" Version)" "REG_SZ 9.1.5-7"
expect "hour values" "$(setting HourTimeValue)" 300
expect "day values" "$(setting DayTimeValue)" 4320
expect "size value" "$(setting SizeValue)" 102400
expect "DNS query" "$(setting DnsQuery)" 3
expect "DNS switch" "$(setting DnsSwitch)" 1
expect "host name after the upgrade" "$(setting HostName)" "mail.example.test"
expect "users.cfg" "$(tree_sum config -name users.cfg)" "$users_before"
expect "domains.cfg" "$(sha256sum <"$host/config/domains.cfg")" "$domains_before"
expect "groupware.db after 8.5.3" "$(cat "$host/calendar/groupware.db")" "8.5.3 appointments"
expect "local.cf after 8.5.3" "$(cat "$host/spam/rules/local.cf")" "my 8.5.3 rules"
expect "php.ini.old after 8.5.3" "$(cat "$host/php/php.ini.old")" "my 8.5.3 php.ini"
grep -qF 'extension_dir' "$host/php/php.ini" || fail "php.ini was not made from its template"
grep -qF '<EXT>.php</EXT>' "$host/config/webserver.dat" || fail "no .php mapping in webserver.dat"
[ ! -e "$host/config/upgrade.dat" ] || fail "the upgrade's progress record was left"
wine reg query "$product_key" /v SetupStartTypes >/dev/null 2>&1 && fail "the kept start types were left"

# 4. A damaged main archive is found before anything is stopped or written:
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

# 5. An upgrade during which a program file cannot be replaced: exit code
#    4, the program files as they were (two of them changed by hand first,
#    so that the distribution's copies would differ), the servers running.
printf 'local build' >>"$host/smtp.exe"
printf 'local build' >>"$host/db.dll"
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

# 6. A bad answer file changes nothing.
printf '[Setup]\r\nMode=Expert\r\n' >"$c/dist/bad.ini"
log_size=$(stat -c %s "$host/logs/setup/setup.log")
setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}bad.ini"
expect "exit code with bad answers" "$code" 2
grep -qF "Mode" "$work/stdout.txt" || fail "the refusal does not name the key"
expect "log size after bad answers" "$(stat -c %s "$host/logs/setup/setup.log")" "$log_size"

# 7. The removal without questions: the program files, services, shortcuts
#    and keys go; the configuration, the mail and the logs stay as they were.
mkdir -p "$host/mail/example.test"
echo kept >"$host/mail/example.test/message.eml"
data_before="$(tree_sum config) $(tree_sum mail)"
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
expect "configuration and mail after the removal" "$(tree_sum config) $(tree_sum mail)" "$data_before"
# The module folders that hold data of their own (the groupware's
# database, the directory's, the web mail's projects) stay with them.
left=$(cd "$host" && find . -type f ! -path './config/*' ! -path './mail/*' ! -path './logs/*' \
  ! -path './calendar/*' ! -path './ldap/*' ! -path './webmail/*' | sort | xargs)
expect "files left beside the data" "$left" "./setup.exe"
[ ! -d "$group" ] || fail "the program group is still there"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstall key is still there"
! wine reg query "$product_key" >/dev/null 2>&1 || fail "the product key is still there"

# 8. A new installation in the Advanced mode: the database dialog tests the
#    connection (ODBC to a SQLite database), the finish switches the account
#    storage to it, and the configuration meets a domain that exists (the
#    preset's): its error is logged and the administrator is made all the
#    same; the Control server gets the finish notice.
export ODBCINI="$work/odbc.ini"
printf '[tolvadb]\nDriver=SQLite3\nDatabase=%s\n' "$work/tolva.db" >"$ODBCINI"
dir='C:\Tolva2\'
host="$c/Tolva2"
printf '%s\r\n' '[Setup]' 'Name=Ana Admin' 'Email=ana@example.test' 'Mode=Advanced' \
  'Database=tolvadb;;;;7;1' 'Components=0,1' "Destination=$dir" '' '[Configuration]' \
  'HostName=mail2.example.test' 'Domain=nivalis.example' 'User=postmaster' 'Password=' \
  >"$c/dist/advanced.ini"
setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}advanced.ini"
expect "exit code of the Advanced installation" "$code" 0
expect "storage mode" "$(setting StorageMode)" 2
expect "account database" "$(setting AccountDatabase)" "tolvadb;;;;7;1"
standin="$host/logs/automation.log"
expect "the database library's calls" \
  "$(tr -d '\r' <"$standin" | grep -E '^db.dll DB(CreateTables|ConvertStorage)' | sed 's/ ->.*//' | tr '\n' '|')" \
  "db.dll DBCreateTables 2|db.dll DBCreateTables 3|db.dll DBCreateTables 0|db.dll DBConvertStorage 1|"
log_lines | grep -qxF 'Setup wizard domain error: 3' || fail "no domain error: $(log_lines | tail -n 5)"
expect "host name of the Advanced installation" "$(setting HostName)" "mail2.example.test"
accounts nivalis.example | grep -qP '\tpostmaster\tadmin$' || fail "no postmaster: $(accounts nivalis.example)"
wait_line "$host/logs/sequence.log" "TolvaControl pipe command=4096 message=1280 wParam=3 lParam=0" 30
setup "$dir" /UNINSTALL /VERYSILENT
expect "exit code of the second removal" "$code" 0
! wine reg query 'HKCR\NivalisServer.APIObject' >/dev/null 2>&1 || fail "the automation server is still registered"

# 9. The administration interface alone, with a first configuration: no
#    server is installed, so the automation server is not registered; both
#    steps log their error and the installation still ends well.
dir='C:\Tolva3\'
host="$c/Tolva3"
printf '%s\r\n' '[Setup]' 'Name=Ana Admin' 'Email=ana@example.test' 'Components=1' \
  "Destination=$dir" '' '[Configuration]' 'HostName=mail3.example.test' 'Domain=example.test' \
  'User=administrator' 'Password=' >"$c/dist/admin-only.ini"
setup "$dist" /SILENT /VERYSILENT "/LOADINF=${dist}admin-only.ini"
expect "exit code without the automation server" "$code" 0
expect "the configuration's errors" "$(log_lines | grep -c '^Setup wizard error: .')" 2
echo "unattended installation: all checks passed"
