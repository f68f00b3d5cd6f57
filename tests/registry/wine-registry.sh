#!/bin/sh
# Seeds the prefix's registry with the reg tool before the registry tests,
# or checks with it what they left there.
# Usage: wine-registry.sh seed|verify WINE-RUN.SH PREFIX
set -eu
action=$1
runner=$2
prefix=$3
# The reg tool's output without carriage returns; its exit status is kept.
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

case "$action" in
  seed)
    key='HKCU\Software\SetupTests\Seeded'
    reg add "$key" /v Text /t REG_SZ /d 'Set by reg' /f
    reg add "$key" /v Path /t REG_EXPAND_SZ /d '%SystemRoot%\x' /f
    reg add "$key" /v Flag /t REG_DWORD /d 7 /f
    reg add "$key" /v Blob /t REG_BINARY /d 00ff10 /f
    reg add "$key" /v List /t REG_MULTI_SZ /d 'one\0two' /f
    reg query "$key" | grep -q 'List *REG_MULTI_SZ *one\\0two' || fail "seeding $key"
    ;;
  verify)
    key='HKCU\Software\SetupTests\Witness'
    out=$(reg query "$key") || fail "no key $key: $out"
    echo "$out"
    echo "$out" | grep -Eq '^ +Text +REG_SZ +Nivalis Tolva$' || fail "Text"
    echo "$out" | grep -Eq '^ +Flag +REG_DWORD +0x1$' || fail "Flag"
    echo "$out" | grep -Eq '^ +Off +REG_DWORD +0x0$' || fail "Off"
    echo "$out" | grep -Eq '^ +Blob +REG_BINARY +0102FF$' || fail "Blob"
    if gone=$(reg query "$key\\Gone"); then
      fail "the deleted tree is still there: $gone"
    fi
    reg delete "$key" /f
    ;;
  *)
    fail "unknown action $action"
    ;;
esac
