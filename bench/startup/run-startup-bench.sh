#!/usr/bin/env bash
# How long setup.exe takes to start, against a trivial window program, under
# Wine on a virtual screen with the wineserver kept running. Five rounds,
# alternating: the trivial program until its window shows, `setup.exe
# /SILENT` until the language chooser shows, `setup.exe /WEBMAILLOGON` until
# the browser is called, `setup.exe /NOSUCH` until it ends. Prints the
# medians and their distance to the trivial program.
# Usage: bench/startup/run-startup-bench.sh [BUILD_DIR]   (default build/windows)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
work=$build/bench/startup/run
rounds=${ROUNDS:-5}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

rm -rf "$work"
mkdir -p "$work"
cp -r "$build/demo" "$work/dist"
sh "$root/cmake/xvfb.sh" start "$work/display" "$work/prefix"
trap 'sh "$root/cmake/xvfb.sh" stop "$work/display" "$work/prefix"' EXIT
read -r number _ prefix <"$work/display"
export DISPLAY=":$number" WINEPREFIX="$prefix"
wineserver -p

cat >"$work/browser.sh" <<EOS
#!/bin/sh
echo "\$@" >>"$work/browser.log"
EOS
chmod +x "$work/browser.sh"
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$work/browser.sh" /f >/dev/null

bench="wine $build/bench/startup/startbench.exe"
win() { echo "Z:${1//\//\\}"; }
setup=$(win "$work/dist/setup.exe")
trivial() { $bench window "Startup bench trivial" "$(win "$build/bench/startup/trivial_window.exe")"; }
silent() { $bench window "Installer Language" "$setup" /SILENT; }
weblogin() { $bench file "$(win "$work/browser.log")" "$setup" /WEBMAILLOGON; }
nosuch() { $bench exit "$setup" /NOSUCH; }

# One round unmeasured: the first start of anything pays for the disk cache.
trivial >/dev/null
silent >/dev/null
weblogin >/dev/null
nosuch >/dev/null
for _ in $(seq "$rounds"); do
  for name in trivial silent weblogin nosuch; do
    $name | tr -d '\r' >>"$work/$name.times"
  done
done

median() { sort -n "$work/$1.times" | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
base=$(median trivial)
printf '%-34s %10s %12s\n' "start-up (median of $rounds)" "ms" "behind trivial"
printf '%-34s %10.1f %12s\n' "trivial window program" "$base" "-"
for entry in "silent:setup.exe /SILENT (chooser)" "weblogin:setup.exe /WEBMAILLOGON (browser)" \
  "nosuch:setup.exe /NOSUCH (exit)"; do
  name=${entry%%:*}
  m=$(median "$name")
  printf '%-34s %10.1f %+12.1f\n' "${entry#*:}" "$m" "$(awk "BEGIN {print $m - $base}")"
done
