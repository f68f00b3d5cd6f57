#!/bin/sh
# Replays a fuzz target's regression corpus, then explores for a few seconds
# (FUZZ_SECONDS, default 10). Fails on any crash, leak, hang or sanitizer report.
# Usage: run-fuzzer.sh FUZZER CORPUS_DIR WORK_DIR
set -e
fuzzer=$1
corpus=$2
work=$3
rm -rf "$work"
mkdir -p "$work/new"
cd "$work"
if [ -d "$corpus" ]; then
  "$fuzzer" -runs=0 -timeout=10 -rss_limit_mb=2048 "$corpus"
fi
set -- "$work/new"
[ -d "$corpus" ] && set -- "$work/new" "$corpus"
exec "$fuzzer" -max_total_time="${FUZZ_SECONDS:-10}" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/" "$@"
