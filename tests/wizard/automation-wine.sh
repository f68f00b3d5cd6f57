#!/usr/bin/env bash
# The automation stand-in through the system's own COM in a fresh prefix:
# api.dll and nivaliscom.dll registered by their DllRegisterServer, the
# configuration steps run by a driver, and the effects read back from
# outside: the registry with the reg tool, the suite's files with tolvacfg.
# Usage: automation-wine.sh CFGDRIVER TOLVACFG API_DLL NIVALISCOM_DLL DB_DLL WORK_DIR
set -Eeuo pipefail
abs() { realpath -m "$1"; }
driver=$(abs "$1") tolvacfg=$(abs "$2") api=$(abs "$3") nivaliscom=$(abs "$4") db=$(abs "$5")
work=$(abs "$6")
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND" >&2' ERR

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "-- $*"; }
expect() { # what actual expected
  [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}
has_line() { [ -f "$1" ] && tr -d '\r' <"$1" | grep -qxF -- "$2"; }
json() { # expression: read from the last tolvacfg show
  python3 -c "import json,sys; d=json.load(open(sys.argv[1])); print($1)" "$work/show.json"
}

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX="$work/prefix"
unset DISPLAY
wineserver -k 2>/dev/null || true
rm -rf "$work"
mkdir -p "$WINEPREFIX"
passed=
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$passed" ]; then rm -rf "$work"; fi
}
trap cleanup EXIT

step "fresh prefix"
wineboot -i >/dev/null 2>&1
wineserver -w
# One server for the whole run keeps each program start short.
wineserver -p

install="$WINEPREFIX/drive_c/Tolva"
mkdir -p "$install/config" "$install/logs"
cp "$api" "$nivaliscom" "$db" "$install/"
win='C:\Tolva\'
setuplog="$install/logs/setup.log"
standinlog="$install/logs/automation.log"
show() { wine "$tolvacfg" show 'C:\Tolva\config' >"$work/show.json"; }

step "an installation with one domain, made by tolvacfg"
: >"$install/config/settings.cfg"
wine "$tolvacfg" add-domain 'C:\Tolva\config' other.test >/dev/null
show
expect "domains before" "$(json 'd["domains"][0]["name"]')" "other.test"

step "not registered: both steps fail with the system's text, nothing changes"
status=0
wine "$driver" configure 'C:\Tolva\logs\setup.log' mail.example.test example.test administrator pw \
  >/dev/null || status=$?
expect "exit code without the server" "$status" "1"
expect "error lines" "$(tr -d '\r' <"$setuplog" | grep -c '^Setup wizard error: ')" "2"
# The system's own text for a ProgID that is not registered.
expect "error text" "$(tr -d '\r' <"$setuplog" | grep -m1 '^Setup wizard error: ')" \
  "Setup wizard error: Invalid class string"
show
expect "domains untouched" "$(json 'len(d["domains"])')" "1"
: >"$setuplog"

step "DllRegisterServer of both libraries"
wine "$driver" register "$win"
for progid in NivalisServer.APIObject NivalisServer.DomainObject NivalisServer.AccountObject; do
  clsid=$(wine reg query "HKCR\\$progid\\CLSID" /ve | tr -d '\r' | grep -o '{[0-9A-Fa-f-]*}')
  [ -n "$clsid" ] || fail "no CLSID registered for $progid"
  server=$(wine reg query "HKCR\\CLSID\\$clsid\\InprocServer32" /ve | tr -d '\r' |
    sed -n 's/.*REG_SZ[[:space:]]*//p')
  case "$progid" in
    NivalisServer.APIObject) expect "server of $progid" "$server" 'C:\Tolva\api.dll' ;;
    *) expect "server of $progid" "$server" 'C:\Tolva\nivaliscom.dll' ;;
  esac
done

step "the configuration through COM"
wine "$driver" configure 'C:\Tolva\logs\setup.log' " mail.example.test" " example.test " \
  administrator "" >"$work/configure.out" || true
show
expect "primary domain" "$(json 'd["primaryDomain"]')" "example.test"
expect "record 0" "$(json 'd["domains"][0]["name"]')" "example.test"
expect "record 1" "$(json 'd["domains"][1]["name"]')" "other.test"
expect "host name" "$(json 'd["settings"]["HostName"]')" "mail.example.test"
has_line "$install/mail/example.test/domain.dat" "D_AdminEmail=administrator@example.test" ||
  fail "the domain's folder lacks its administrator address"
has_line "$install/mail/example.test/domain.dat" \
  "D_Postmaster=postmaster;admin;administrator;supervisor;hostmaster;webmaster;abuse" ||
  fail "the domain's folder lacks its postmaster aliases"
for line in \
  'NivalisServer.DomainObject.New(BSTR "example.test")' \
  'NivalisServer.DomainObject.Save() -> BOOL true' \
  'NivalisServer.APIObject.MakePrimaryDomain(BSTR "example.test")' \
  'NivalisServer.APIObject.SetProperty(BSTR "C_Mail_SMTP_General_HostName", BSTR " mail.example.test")' \
  'NivalisServer.AccountObject.New(BSTR "administrator@example.test")' \
  'NivalisServer.AccountObject.SetProperty(BSTR "U_Password", BSTR "")' \
  'NivalisServer.AccountObject.SetProperty(BSTR "U_Name", BSTR* "Administrator")' \
  'NivalisServer.AccountObject.SetProperty(BSTR "U_Admin", BOOL true)'; do
  has_line "$standinlog" "$line" || fail "the stand-in did not log: $line"
done
tr -d '\r' <"$setuplog" | grep -q 'Setup wizard' && fail "unexpected log: $(cat "$setuplog")"
wine "$tolvacfg" accounts --json 'C:\Tolva\config' example.test | tr -d '\r' >"$work/accounts.json"
expect "the administrator's account" "$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1])))' \
  "$work/accounts.json")" "[{'index': 0, 'type': 0, 'expiry': 'never', 'aliases': 'administrator', 'name': 'Administrator', 'mailbox': 'administrator', 'admin': True, 'password': False}]"
! grep -qF "not kept" "$standinlog" || fail "the stand-in dropped values: $(grep -F 'not kept' "$standinlog")"

step "the same domain again: refused with its code, the account step still runs"
: >"$setuplog"
wine "$driver" configure 'C:\Tolva\logs\setup.log' mail2.example.test example.test admin pw \
  >/dev/null || true
has_line "$setuplog" "Setup wizard domain error: 3" || fail "no domain error: $(cat "$setuplog")"
has_line "$standinlog" 'NivalisServer.AccountObject.New(BSTR "admin@example.test")' ||
  fail "the account step did not run"
wine "$tolvacfg" accounts --json 'C:\Tolva\config' example.test | tr -d '\r' >"$work/accounts.json"
expect "the second account" "$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))[1])' \
  "$work/accounts.json")" "{'index': 1, 'type': 0, 'expiry': 'never', 'aliases': 'admin', 'name': 'Admin', 'mailbox': 'admin', 'admin': True, 'password': True}"
show
expect "domains after the refused save" "$(json 'len(d["domains"])')" "2"
expect "host name of the second run" "$(json 'd["settings"]["HostName"]')" "mail2.example.test"

step "the same administrator again: both saves refused as existing"
: >"$setuplog"
status=0
wine "$driver" configure 'C:\Tolva\logs\setup.log' mail2.example.test example.test admin pw \
  >/dev/null || status=$?
expect "exit code of refused saves" "$status" "1"
expect "refusals" "$(tr -d '\r' <"$setuplog" | grep -v '^$' | tr '\n' '|')" \
  "Setup wizard domain error: 3|Setup wizard account error: 3|"
expect "accounts after the refusal" \
  "$(wine "$tolvacfg" accounts --json 'C:\Tolva\config' example.test | tr -d '\r' | grep -c '"index"')" "2"

step "properties, a refused account and exceptions through IDispatch"
wine "$driver" probe | tr -d '\r' >"$work/probe.out"
expect "probe" "$(tr '\n' '|' <"$work/probe.out")" \
  "saved: 1|host: probe.example.test|account saved: 0, LastErr 6|NoSuchMember: Unknown name (NoSuchMember)|MakePrimaryDomain: The domain missing.test does not exist|"
has_line "$standinlog" \
  'NivalisServer.APIObject.C_Mail_SMTP_General_HostName=(BSTR "probe.example.test")' ||
  fail "the property put was not logged"

step "the database storage"
: >"$setuplog"
wine "$driver" storage 'C:\Tolva\logs\setup.log' 'tolvadb;sa;pw;;7;3'
show
expect "storage mode" "$(json 'd["settings"]["StorageMode"]')" "2"
expect "connection kept" "$(json 'd["settings"]["AccountDatabase"]')" "tolvadb;sa;pw;;7;3"
expect "tables created" "$(tr -d '\r' <"$install/tolvadb/tables.txt" | tr '\n' ' ')" "2 3 0 "
has_line "$install/tolvadb/domains.txt" "example.test" || fail "the domains were not converted"
expect "stand-in's order" "$(tr -d '\r' <"$standinlog" | grep -E '^db.dll' | tr '\n' '|')" \
  "db.dll DBCreateTables 2 -> 1|db.dll DBCreateTables 3 -> 1|db.dll DBCreateTables 0 -> 1|db.dll DBConvertStorage 1 -> 1 (2 domains, 2 accounts)|"
# Read back through the database: the accounts went with their domains.
wine "$tolvacfg" accounts --json 'C:\Tolva\config' example.test | tr -d '\r' >"$work/accounts.json"
expect "accounts in the database" "$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1])))' \
  "$work/accounts.json")" \
  "[{'index': 0, 'type': 0, 'expiry': 'never', 'aliases': 'administrator', 'name': 'Administrator', 'mailbox': 'administrator', 'admin': True, 'password': False}, {'index': 1, 'type': 0, 'expiry': 'never', 'aliases': 'admin', 'name': 'Admin', 'mailbox': 'admin', 'admin': True, 'password': True}]"
[ -f "$install/tolvadb/example.test/users.dat" ] || fail "no accounts in the database's files"
has_line "$standinlog" \
  'NivalisServer.APIObject.CreateTables(I4 2, BSTR* "tolvadb;sa;pw;;7;3") -> BOOL true' ||
  fail "CreateTables did not get its connection by reference"
has_line "$standinlog" 'NivalisServer.APIObject.ConvertStorage(BOOL true) -> BOOL true' ||
  fail "ConvertStorage was not called"
expect "setup log of the storage step" "$(cat "$setuplog")" ""

step "unregistered again: the classes are gone"
wine "$driver" unregister "$win"
if wine reg query 'HKCR\NivalisServer.APIObject' >/dev/null 2>&1; then
  fail "the ProgID outlived DllUnregisterServer"
fi
passed=1
echo "automation_wine: passed"
