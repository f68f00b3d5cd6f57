#!/usr/bin/env bash
# Builds the Windows product and installs the suite from the demo
# distribution under Wine, into a prefix of its own: on the screen when
# there is one (the wizard walks itself from an answer file in its
# windows), otherwise unattended with the progress printed. Then shows what
# was installed: the services and their state, the shortcuts, the uninstall
# entry, the settings read back with tolvacfg, and where the setup log is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "${SETUP_JOBS:-$(nproc)}" --target demo_distribution tolvacfg
root=$(pwd)
build=$root/build/windows
demo=$build/demo
tolvacfg=$build/tools/tolvacfg/tolvacfg.exe
[[ -f "$demo/setup.exe" ]] || { echo "demo: $demo/setup.exe was not built" >&2; exit 1; }

export WINEPREFIX=$build/demo-prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A fresh prefix each time: the demo shows a new installation.
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
echo "demo: making the Wine prefix $WINEPREFIX"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES" DISPLAY= wineboot -i >/dev/null 2>&1
wineserver -w
# The services live as long as the prefix's server does.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT

c=$WINEPREFIX/drive_c
cp -r "$demo" "$c/dist"
cat >"$c/dist/demo-answers.ini" <<'EOF'
; The demo's answers: a new installation with the demo accounts, then the
; first configuration.
[Setup]
Name=Demo Administrator
Email=admin@example.test
Company=Example Ltd
Mode=Basic
Components=0,1,2,3,4,5,6,7,8,9,10,11,15
Destination=C:\Program Files\Tolva\

[Finish]
QuickStart=0
AdministrationInterface=0

[Configuration]
HostName=mail.example.test
Domain=example.test
User=administrator
Password=demo
EOF

if [[ -n "${DISPLAY:-}" ]]; then
  echo "demo: the wizard walks itself on your screen"
  mode=()
else
  echo "demo: no screen, so the installation runs unattended"
  mode=(/VERYSILENT)
fi
set +e
wine 'C:\dist\setup.exe' /SILENT "${mode[@]}" '/LOADINF=C:\dist\demo-answers.ini' | tr -d '\r' |
  sed 's/^/  setup: /'
code=${PIPESTATUS[0]}
set -e
echo "demo: setup.exe ended with exit code $code"

dir='C:\Program Files\Tolva\'
echo
echo "== Services (wine sc query)"
for name in TolvaSMTP TolvaPOP3 TolvaControl TolvaIM TolvaCalendar; do
  state=$(wine sc query "$name" 2>/dev/null | tr -d '\r' | sed -n 's/^ *STATE *: *[0-9]* *//p')
  printf '  %-14s %s\n' "$name" "${state:-not installed}"
done
echo
echo "== Shortcuts"
common=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
  /v 'Common Programs' 2>/dev/null | tr -d '\r' | sed -n 's/^ *Common Programs *REG_SZ *//p')
group="$(winepath -u "$common" 2>/dev/null | tr -d '\r')/Nivalis Tolva Mail Server"
if [[ -d "$group" ]]; then
  for link in "$group"/*.lnk; do
    target=$(lnkinfo "$link" 2>/dev/null | tr -d '\r' | sed -n 's/^[[:space:]]*Local path[[:space:]]*: //p')
    printf '  %-40s -> %s\n' "$(basename "$link")" "$target"
  done
else
  echo "  no program group"
fi
echo
echo "== Uninstall entry"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolva' 2>/dev/null |
  tr -d '\r' | sed -n 's/^ *\(DisplayName\|DisplayVersion\|UninstallString\) *REG_SZ *\(.*\)$/  \1: \2/p'
echo
echo "== Settings (tolvacfg show)"
wine "$tolvacfg" show "${dir}config" 2>/dev/null | tr -d '\r' | python3 -c '
import json, sys
shown = json.load(sys.stdin)
settings = shown["settings"]
for key in ("HostName", "InterfaceLayout", "TempPath", "MailPath", "LogPath", "DnsServers"):
    print(f"  {key}: {settings.get(key)}")
print("  primary domain:", shown.get("primaryDomain"))
' || echo "  the settings could not be read"
echo
echo "== Accounts of example.test (tolvacfg accounts)"
wine "$tolvacfg" accounts "${dir}config" example.test 2>/dev/null | tr -d '\r' | sed 's/^/  /'
echo
log="$c/Program Files/Tolva/logs/setup/setup.log"
echo "The setup log: $log"
echo "Remove the suite again: WINEPREFIX=$WINEPREFIX wine '${dir}setup.exe' /UNINSTALL"
exit "$code"
