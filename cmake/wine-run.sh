#!/bin/sh
# Runs one Windows program of the build under Wine in the build tree's prefix.
# Usage: wine-run.sh PREFIX PROGRAM.exe [ARGS...]
# With SETUP_DISPLAY_FILE set (see xvfb.sh), the display and the prefix are
# those of the Xvfb fixture.
prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
# Tests that show windows run on the Xvfb fixture's screen, in its prefix.
if [ -n "$SETUP_DISPLAY_FILE" ]; then
  if ! read -r number _ displayPrefix <"$SETUP_DISPLAY_FILE" || [ -z "$displayPrefix" ]; then
    echo "wine-run.sh: no display in $SETUP_DISPLAY_FILE" >&2
    exit 1
  fi
  export DISPLAY=":$number" WINEPREFIX="$displayPrefix"
fi
exec wine "$@"
