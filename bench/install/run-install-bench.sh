#!/usr/bin/env bash
# An unattended installation of the demo distribution under Wine, with a
# payload of PAYLOAD_MB (default 300) megabytes added to PAYLOAD_IN (default
# "setup.dat"; "setupwebmail2.dat" puts it into a module archive) below the
# web root, against the same work done by Wine's own tools: `ilds.exe
# extract` of every archive and `xcopy /E` of the unpacked tree into a fresh
# folder. The installer's waits (the fixed pauses and the services' polls,
# which it reports as its last line) are left out of its time. Prints the
# medians of ROUNDS (default 3) rounds, run alternately, and their ratio,
# and what the check of the distribution before the run cost: the reading
# through of the archives other than "setup.dat" (work added by the check;
# "setup.dat" is unpacked by it, which the run needs anyway) as a share of
# the whole run.
# Usage: bash bench/install/run-install-bench.sh   (after a windows build)
set -Eeuo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/windows"
demo="$build/demo"
host_ilds="$build/host-tools/tools/ilds/ilds"
wine_ilds="$build/tools/ilds/ilds.exe"
rounds=${ROUNDS:-3}
payload_mb=${PAYLOAD_MB:-300}
payload_in=${PAYLOAD_IN:-setup.dat}
for need in "$demo/setup.exe" "$host_ilds" "$wine_ilds"; do
  [ -e "$need" ] || { echo "missing $need: build the windows preset first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/install-bench-XXXXXX)
# The peer's tool without its debugging data, as setup.exe and the suite's
# programs are in the distribution: Wine maps that data at every start.
x86_64-w64-mingw32-strip --strip-debug -o "$work/ilds.exe" "$wine_ilds"
wine_ilds="$work/ilds.exe"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p

# The distribution with the payload: half incompressible, half text.
c="$WINEPREFIX/drive_c"
cp -r "$demo" "$c/dist"
"$host_ilds" extract "$c/dist/$payload_in" "$work/main" >/dev/null
mkdir -p "$work/main/html/payload"
python3 - "$work/main/html/payload" "$payload_mb" <<'EOF'
import os, sys
folder, megabytes = sys.argv[1], int(sys.argv[2])
line = b"Lorem ipsum dolor sit amet, consectetur adipiscing elit, mail server payload.\r\n"
for i in range(megabytes):
    with open(os.path.join(folder, "part%04d.bin" % i), "wb") as out:
        out.write(os.urandom(1 << 20) if i % 2 == 0 else (line * ((1 << 20) // len(line) + 1))[: 1 << 20])
EOF
"$host_ilds" create "$c/dist/$payload_in" "$work/main" >/dev/null
rm -rf "$work/main"
printf '[Setup]\r\nName=Bench\r\nEmail=bench@example.test\r\nDestination=C:\\Tolva\\\r\n' \
  >"$c/dist/answers.ini"

now() { date +%s.%N; }
# Each round starts with the disk written back and settled, so that
# neither pays for the writes and deletions of the round before it.
setup_round() {
  local start end out waited
  sync
  sleep 2
  start=$(now)
  out=$(wine 'C:\dist\setup.exe' /SILENT /VERYSILENT '/LOADINF=C:\dist\answers.ini' | tr -d '\r')
  end=$(now)
  waited=$(sed -n 's/^Waited \([0-9]*\) ms$/\1/p' <<<"$out" | tail -n 1)
  [ -n "$waited" ] || { echo "setup.exe did not report its waits" >&2; exit 1; }
  grep -qxF "Installation Complete" <<<"$out" || { echo "the installation failed: $out" >&2; exit 1; }
  sed -n 's/^Distribution checked: setup.dat unpacked in \([0-9]*\) ms, the other archives read through in \([0-9]*\) ms$/\1 \2/p' \
    <<<"$out" | tail -n 1 >>"$work/checks.txt"
  python3 -c "print(f'{$end - $start:.3f}')" >>"$work/totals.txt"
  wine 'C:\Tolva\setup.exe' /UNINSTALL /VERYSILENT >/dev/null
  rm -rf "$c/Tolva"
  python3 -c "print(f'{$end - $start - $waited / 1000:.3f}')"
}
peer_round() {
  local start end archive
  rm -rf "$c/peer"
  sync
  sleep 2
  start=$(now)
  for archive in "$c"/dist/*.dat; do
    wine "$wine_ilds" extract "C:\\dist\\$(basename "$archive")" 'C:\peer\extract' >/dev/null
  done
  wine xcopy /E /I /Y /Q 'C:\peer\extract' 'C:\peer\install' >/dev/null
  end=$(now)
  python3 -c "print(f'{$end - $start:.3f}')"
}

setup_times=() peer_times=()
for _ in $(seq "$rounds"); do
  setup_times+=("$(setup_round)")
  peer_times+=("$(peer_round)")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
s=$(median "${setup_times[@]}")
p=$(median "${peer_times[@]}")
echo "payload: ${payload_mb} MB in ${payload_in}, ${rounds} rounds"
echo "setup.exe unattended, waits left out: ${s} s  (rounds: ${setup_times[*]})"
echo "ilds.exe extract + xcopy /E:          ${p} s  (rounds: ${peer_times[*]})"
python3 -c "print(f'ratio setup/peer: {$s / $p:.2f} (target: at most 1.3)')"
python3 - "$work/checks.txt" "$work/totals.txt" <<'EOF'
import statistics, sys
checks = [tuple(map(int, line.split())) for line in open(sys.argv[1]) if line.strip()]
totals = [float(line) for line in open(sys.argv[2]) if line.strip()]
unpack = statistics.median(c[0] for c in checks) / 1000
verify = statistics.median(c[1] for c in checks) / 1000
total = statistics.median(totals)
print(f"check before the run: setup.dat unpacked in {unpack:.3f} s (needed by the run anyway), "
      f"the other archives read through in {verify:.3f} s")
print(f"check's added cost: {100 * verify / total:.1f} % of the run ({total:.3f} s with its waits; target: below 10 %)")
EOF
