#!/bin/sh
# Seeds the old install-info keys with the reg tool before the configuration
# tests run, or checks with it what the migration left.
# Usage: install-registry.sh seed|verify WINE-RUN.SH PREFIX
set -eu
action=$1
runner=$2
prefix=$3
reg() {
  status=0
  text=$(sh "$runner" "$prefix" reg "$@" 2>&1) || status=$?
  printf '%s\n' "$text" | tr -d '\r'
  return $status
}
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
old='HKLM\Software\Tolva'
oldweb='HKLM\Software\NWEBMAIL'
new='HKLM\Software\Nivalis\Tolva Mail Server'
newweb='HKLM\Software\Nivalis\Nivalis Web Mail'
case "$action" in
  seed)
    reg delete 'HKLM\Software\Nivalis' /f >/dev/null 2>&1 || true
    reg add "$old" /v InstallDir /t REG_SZ /d 'C:\Tolva\' /f
    reg add "$old" /v Version /t REG_SZ /d '8.5.3-7' /f
    reg add "$old" /v Name /t REG_SZ /d 'Admin' /f
    reg add "$old" /v Country /t REG_SZ /d 'Iceland' /f
    reg add "$old" /v Company /t REG_SZ /d 'Example Ltd' /f
    reg add "$old" /v DNSQuery /t REG_BINARY /d 0102 /f
    reg add "$old" /v Settings /t REG_BINARY /d 00 /f
    reg add "$old" /v TOLVANotify /t REG_BINARY /d cafe /f
    reg add "$old\\Nested" /v x /t REG_SZ /d y /f
    reg add "$oldweb" /v InstallDir /t REG_SZ /d 'C:\WebMail\' /f
    reg add "$oldweb" /v Version /t REG_SZ /d '8.1.0' /f
    ;;
  verify)
    out=$(reg query "$new") || fail "no key $new: $out"
    echo "$out"
    echo "$out" | grep -Eq '^ +InstallDir +REG_SZ +C:\\Tolva\\$' || fail "InstallDir"
    echo "$out" | grep -Eq '^ +Version +REG_SZ +8\.5\.3-7$' || fail "Version"
    echo "$out" | grep -Eq '^ +Email +REG_SZ *$' || fail "Email copied as empty text"
    echo "$out" | grep -Eq '^ +Country +REG_SZ +Iceland$' || fail "Country"
    echo "$out" | grep -Eq '^ +DNSQuery +REG_BINARY +0102$' || fail "DNSQuery"
    echo "$out" | grep -Eq '^ +Settings +REG_BINARY +00$' || fail "Settings"
    echo "$out" | grep -Eq '^ +Notify +REG_BINARY +CAFE$' || fail "Notify"
    if echo "$out" | grep -q TOLVANotify; then fail "TOLVANotify kept its old name"; fi
    out=$(reg query "$newweb") || fail "no key $newweb: $out"
    echo "$out" | grep -Eq '^ +InstallDir +REG_SZ +C:\\WebMail\\$' || fail "web mail InstallDir"
    if reg query "$old" >/dev/null 2>&1; then fail "$old was not deleted"; fi
    if reg query "$oldweb" >/dev/null 2>&1; then fail "$oldweb was not deleted"; fi
    reg delete 'HKLM\Software\Nivalis' /f
    ;;
  *)
    fail "unknown action $action"
    ;;
esac
