#!/bin/sh
# Creates a fresh Wine prefix for a test run, or ends its wineserver.
# Usage: wine-prefix.sh create|stop PREFIX
set -e
action=$1
prefix=$2
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
case "$action" in
  create)
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    mkdir -p "$prefix"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    test -f "$prefix/system.reg"
    # Wine's CreateSymbolicLink makes nothing; tests of folder links use host
    # symbolic links made here, which Wine shows as reparse points.
    fixture="$prefix/drive_c/link-fixture"
    mkdir -p "$fixture/precious" "$fixture/tree"
    echo "keep me" >"$fixture/precious/data.txt"
    echo x >"$fixture/tree/own.txt"
    ln -s ../precious "$fixture/tree/link"
    ln -s precious "$fixture/direct"
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
esac
