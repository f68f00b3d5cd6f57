#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, when they
# are missing. Quiet and quick when everything is there already.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

wanted=()
for list in "$root"/scripts/packages.d/*.txt; do
  while read -r pkg _; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    wanted+=("$pkg")
  done <"$list"
done

missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "bootstrap: need root to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
echo "bootstrap: installing ${missing[*]}"
log=$(mktemp)
if ! "${sudo[@]}" apt-get install -y "${missing[@]}" >"$log" 2>&1; then
  "${sudo[@]}" apt-get update >>"$log" 2>&1 || true
  if ! "${sudo[@]}" apt-get install -y "${missing[@]}" >>"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
fi
rm -f "$log"
