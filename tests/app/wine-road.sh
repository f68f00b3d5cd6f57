# Sourced by the Wine scripts that drive setup.exe unattended from the demo
# distribution (unattended-wine.sh, and the kill test and soak of the same
# folder): a fresh prefix without a display, the distribution in C:\dist\,
# and readers of the effects that do not go through the installer's code.
# Expects: work, and demo tolvacfg probe (set by the caller or use_build).

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX="$work/prefix"
unset DISPLAY
source "$(dirname "${BASH_SOURCE[0]}")/../system/service-prefix.sh"

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
# tolvacfg show of the installation in $dir, as JSON.
shown() { wine "$tolvacfg" show "$dir"'config' | tr -d '\r'; }
# A Python expression over the JSON document d of tolvacfg show.
json() { shown | python3 -c 'import json,sys; d = json.load(sys.stdin); print(eval(sys.argv[1]))' "$1"; }
setting() { json "d['settings']['$1']"; }
primary_domain() { json "d['primaryDomain']"; }
# "number type expiry aliases admin" lines of a domain's accounts.
accounts() { wine "$tolvacfg" accounts "$dir"'config' "$1" | tr -d '\r'; }
# The setup log without its time stamps.
log_lines() { tr -d '\r' <"$host/logs/setup/setup.log" | sed -E 's/^[0-9-]{10} [0-9:]{8} //'; }
wait_line() { # file text [seconds]
  local tries=$((${3:-20} * 10))
  until [ -f "$1" ] && tr -d '\r' <"$1" | grep -qF -- "$2"; do
    tries=$((tries - 1))
    [ $tries -gt 0 ] || fail "no line '$2' in $1"
    sleep 0.1
  done
}
count_lines() { if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi; }
# setup.exe from an installer folder; its exit code in $code, its standard
# output without carriage returns in $work/stdout.txt.
setup() { # installer-folder arguments...
  local folder=$1
  shift
  code=0
  wine "$folder"'setup.exe' "$@" >"$work/out.txt" 2>"$work/err.txt" || code=$?
  tr -d '\r' <"$work/out.txt" >"$work/stdout.txt"
}
# A checksum of the files below a folder of the installation (all of it
# without arguments), names included.
tree_sum() { # [relative folder] [find arguments...]
  local below=${1:-.}
  shift || true
  (cd "$host" && find "$below" -type f "$@" -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum) |
    sha256sum | cut -d' ' -f1
}
# The program files: everything but the data folders.
program_sum() { tree_sum . ! -path './logs/*' ! -path './config/*' ! -path './mail/*'; }
free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

c="$WINEPREFIX/drive_c"
dist='C:\dist\'
dir='C:\Program Files\Tolva\'
host="$c/Program Files/Tolva"
names=(TolvaSMTP TolvaPOP3 TolvaControl TolvaIM TolvaCalendar)
services_key='HKLM\System\CurrentControlSet\Services'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolva'
product_key='HKLM\Software\Nivalis\Tolva Mail Server'

# For the scripts run by hand: the programs of the windows build below the
# repository root, which must have been built.
use_build() { # root
  local need
  demo=$1/build/windows/demo
  tolvacfg=$1/build/windows/tools/tolvacfg/tolvacfg.exe
  probe=$1/build/windows/tests/system/svcprobe.exe
  driver=$1/build/windows/tests/system/servicedriver.exe
  for need in "$demo/setup.exe" "$tolvacfg" "$probe" "$driver"; do
    [ -e "$need" ] || fail "missing $need: build the windows preset first"
  done
}

# A fresh prefix with the distribution copied into C:\dist\.
road_prefix() {
  fresh_service_prefix "$work"
  cp -r "$demo" "$c/dist"
}

# The answers of a new installation of everything, demo accounts included,
# with the first configuration.
write_answers() { # file
  cat >"$1" <<EOF
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
User=administrator
Password=secret
EOF
}

# Makes the installation in $dir look like one of version 8.5.3 with data
# to convert: the product key's version, settings that steps 23 to 25
# change, a web port of its own for the Control server's page, and the
# administrator's own files that an upgrade keeps. The servers pick the
# port up when the run starts them again.
prepare_853() {
  local port
  port=$(free_port)
  wine reg add "$product_key" /v Version /d 8.5.3 /f >/dev/null
  for field in "WebPort $port" "HourTimeValue 5" "DayTimeValue 3" "SizeValue 100" \
    "DnsQuery 1" "DnsSwitch 0"; do
    # shellcheck disable=SC2086
    wine "$tolvacfg" set "$dir"'config' $field >/dev/null || fail "tolvacfg set $field"
  done
  wine "$tolvacfg" set "$dir"'config' BindAddresses '' >/dev/null || fail "tolvacfg set BindAddresses"
  echo "my rules" >"$host/spam/rules/local.cf"
  echo "appointments" >"$host/calendar/groupware.db"
  echo "my php.ini" >"$host/php/php.ini"
}
