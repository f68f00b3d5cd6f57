#!/usr/bin/env bash
# Builds the Windows product and starts the installer on the demo
# distribution under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "${SETUP_JOBS:-$(nproc)}"
demo=build/windows/demo
if [[ ! -f "$demo/setup.exe" ]]; then
  echo "demo: built everything; setup.exe and the demo distribution do not exist yet, so there is nothing to start."
  exit 0
fi
