#!/bin/sh
# Runs one Windows program of the build under Wine in the build tree's prefix.
# Usage: wine-run.sh PREFIX PROGRAM.exe [ARGS...]
prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
exec wine "$@"
