#!/usr/bin/env bash
# Builds every preset and runs all tests: native, native with sanitizers,
# Windows under Wine, and the fuzz targets' regression corpora.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh

jobs=${SETUP_JOBS:-$(nproc)}
status=0
for preset in linux linux-asan windows fuzz; do
  echo "== $preset"
  start=$SECONDS
  if cmake --preset "$preset" >/dev/null &&
     cmake --build --preset "$preset" -j "$jobs" &&
     ctest --preset "$preset"; then
    echo "== $preset passed in $((SECONDS - start)) s"
  else
    echo "== $preset FAILED"
    status=1
  fi
done
exit $status
