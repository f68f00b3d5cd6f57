#!/usr/bin/env bash
# Times `ilds extract` against `tar xzf` on the same payload, packed once as an
# ILDS archive (format 3) and once as a tar.gz at the same zlib level (6, the
# default of both), alternating, into empty folders. Prints the median time
# ratio ilds / tar and the peak resident memory of `ilds extract`; then the
# same for an archive that holds one large file.
#
#   bash bench/archive/run.sh [BUILD_DIR]      (default build/linux)
#
# Environment: RUNS (default 5), SINGLE_MIB (default 1024), BENCH_DIR (scratch
# folder, default $TMPDIR/ilds-bench, removed afterwards unless KEEP=1).
# Targets: ratio at most 1.0 and peak memory at most 32 MiB in both cases;
# the exit code is 1 when a target is missed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/linux}
ilds=$build/tools/ilds/ilds
generate=$build/bench/archive/archive_bench_payload
runs=${RUNS:-5}
single_mib=${SINGLE_MIB:-1024}
work=${BENCH_DIR:-${TMPDIR:-/tmp}/ilds-bench}
for program in "$ilds" "$generate"; do
  [[ -x $program ]] || { echo "missing $program: build the linux preset first" >&2; exit 2; }
done
[[ -x /usr/bin/time ]] || { echo "missing /usr/bin/time (package time)" >&2; exit 2; }

rm -rf "$work"
mkdir -p "$work"
[[ ${KEEP:-0} == 1 ]] || trap 'rm -rf "$work"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# timed FILE COMMAND...: appends "seconds peak-KiB" of one run to FILE.
timed() {
  local file=$1
  shift
  /usr/bin/time -f "%e %M" -a -o "$file" "$@"
}

# bench NAME LABEL FOLDER: packs FOLDER both ways and compares the unpacking.
bench() {
  local label=$2 folder=$3 dir=$work/bench-$1
  mkdir -p "$dir"
  "$ilds" create --format 3 "$dir/payload.dat" "$folder"
  tar -C "$folder" -cf - . | gzip -6 >"$dir/payload.tar.gz"
  local bytes files
  bytes=$(du -sb "$folder" | cut -f1)
  files=$(find "$folder" -type f | wc -l)
  echo "== $label: $files files, $((bytes / 1048576)) MiB; ILDS $(($(stat -c %s "$dir/payload.dat") / 1048576)) MiB, tar.gz $(($(stat -c %s "$dir/payload.tar.gz") / 1048576)) MiB"
  # Read both archives once, so that neither run pays for a cold cache.
  cat "$dir/payload.dat" "$dir/payload.tar.gz" >/dev/null
  : >"$dir/ilds.times"
  : >"$dir/tar.times"
  for ((i = 1; i <= runs; i++)); do
    rm -rf "$dir/out"
    mkdir "$dir/out"
    sync
    timed "$dir/ilds.times" "$ilds" extract "$dir/payload.dat" "$dir/out"
    if ((i == 1)); then
      diff -r "$folder" "$dir/out" >/dev/null || { echo "ilds extract: the tree differs" >&2; exit 1; }
    fi
    rm -rf "$dir/out"
    mkdir "$dir/out"
    sync
    timed "$dir/tar.times" tar xzf "$dir/payload.tar.gz" -C "$dir/out"
  done
  rm -rf "$dir/out"
  local ilds_median tar_median ratio peak
  ilds_median=$(cut -d' ' -f1 "$dir/ilds.times" | median)
  tar_median=$(cut -d' ' -f1 "$dir/tar.times" | median)
  ratio=$(paste -d' ' "$dir/ilds.times" "$dir/tar.times" | awk '{ print ($3 > 0 ? $1 / $3 : 0) }' | median)
  peak=$(cut -d' ' -f2 "$dir/ilds.times" | sort -n | tail -1)
  echo "ilds extract: $(tr '\n' ' ' <"$dir/ilds.times" | awk '{ for (i = 1; i <= NF; i += 2) printf "%s s  ", $i }')(median $ilds_median s)"
  echo "tar xzf:      $(tr '\n' ' ' <"$dir/tar.times" | awk '{ for (i = 1; i <= NF; i += 2) printf "%s s  ", $i }')(median $tar_median s)"
  echo "median ratio ilds / tar: $ratio (target <= 1.0)"
  echo "peak resident memory of ilds extract: $((peak / 1024)) MiB ($peak KiB, target <= 32 MiB)"
  awk -v r="$ratio" -v p="$peak" 'BEGIN { exit !(r <= 1.0 && p <= 32768) }' || missed=1
  rm -rf "$dir"
}

missed=0
echo "machine: $(nproc) cores, $(awk '/MemTotal/ { printf "%d MiB", $2 / 1024 }' /proc/meminfo); load $(cut -d' ' -f1-3 /proc/loadavg)"
"$generate" "$work/tree"
bench tree "payload" "$work/tree"
rm -rf "$work/tree"
"$generate" "$work/single" --single "$single_mib"
bench single "one ${single_mib} MiB file" "$work/single"
rm -rf "$work/single"
if ((missed)); then
  echo "a target was missed"
  exit 1
fi
echo "all targets met"
