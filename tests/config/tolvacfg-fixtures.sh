#!/bin/sh
# Runs the tolvacfg program on the hand-made configuration folders of
# fixtures/ and compares what it shows with the expected JSON; then edits a
# copy of the old-form folder and checks what the saves left on disk.
# Usage: tolvacfg-fixtures.sh TOLVACFG FIXTURES WORK [RUNNER...]
# (under Wine the runner and its prefix: sh wine-run.sh PREFIX)
set -eu
tool=$1
fixtures=$2
work=$3
shift 3
runner="$*"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The program's output without carriage returns; its exit status is kept.
# A Wine client that lost its server while starting (the server of a quiet
# prefix may be ending just then) is started once more.
tolvacfg() {
  for attempt in 1 2; do
    status=0
    out=$($runner "$tool" "$@" 2>&1) || status=$?
    case "$out" in
      *"wine client error"*) [ $attempt -eq 1 ] && continue ;;
    esac
    break
  done
  printf '%s\n' "$out" | tr -d '\r'
  return $status
}

rm -rf "$work"
mkdir -p "$work"
cp -r "$fixtures/current" "$fixtures/legacy" "$work/"
cd "$work"

for name in current legacy; do
  tolvacfg show "$name/config" >"$name.json" || fail "show $name: $(cat "$name.json")"
  diff -u "$fixtures/$name.json" "$name.json" || fail "show $name differs"
done

# The old form is rewritten as the current one by the first save.
tolvacfg set legacy/config WebPort 8443 >/dev/null || fail "set WebPort"
tolvacfg add-domain legacy/config Third.Test >/dev/null || fail "add-domain"
test -f legacy/config/domains.cfg || fail "no domains.cfg after the save"
size=$(wc -c <legacy/config/domains.cfg)
[ "$size" -eq 288 ] || fail "domains.cfg holds $size bytes, not 3 records of 96"
size=$(wc -c <legacy/config/settings.cfg)
[ "$size" -eq 30071 ] || fail "settings.cfg holds $size bytes"
tolvacfg show legacy/config >after.json || fail "show after the edits"
grep -q '"WebPort": 8443,' after.json || fail "WebPort not saved"
grep -q '"DomainCount": 3,' after.json || fail "DomainCount"
grep -q '{"name": "third.test", "switch": 0}' after.json || fail "the new domain"
grep -q '"primaryDomain": "legacy.test"' after.json || fail "primary domain"

# Refusals leave the files alone.
before=$(cksum <legacy/config/settings.cfg)
if tolvacfg set legacy/config WebPort 70000 >/dev/null; then fail "port 70000 accepted"; fi
if tolvacfg set legacy/config NoSuchField 1 >/dev/null; then fail "unknown field accepted"; fi
if tolvacfg add-domain legacy/config LEGACY.test >/dev/null; then fail "duplicate accepted"; fi
[ "$before" = "$(cksum <legacy/config/settings.cfg)" ] || fail "a refused edit changed the file"
status=0
tolvacfg show missing/config >/dev/null || status=$?
[ $status -eq 2 ] || fail "show of a folder without settings: exit $status"
status=0
tolvacfg frobnicate >/dev/null || status=$?
[ $status -eq 1 ] || fail "unknown command: exit $status"
echo "tolvacfg fixtures passed"
