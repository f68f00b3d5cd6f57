# Shared by the GUI test scripts: the screen, a scratch folder, Wine through
# the build's runner, screenshots through wininspect. Expects runner, prefix,
# inspect and shots to be set; sets DISPLAY, work and the helpers below.

export WINEPREFIX=$prefix WINEDEBUG=-all
wine() { sh "$runner" "$prefix" "$@"; }
inspect() { wine "$inspect" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
# A command that ends a script under set -e says which it was, even in a
# function.
set -E
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
step() { echo "-- $*"; }

own_display=
# The screen and prefix of the test fixture, else a screen of our own.
if [[ -n "${SETUP_DISPLAY_FILE:-}" ]]; then
  read -r number _ prefix <"$SETUP_DISPLAY_FILE"
  export DISPLAY=:$number WINEPREFIX=$prefix
elif [[ -z "${DISPLAY:-}" ]]; then
  for n in $(seq 71 89); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    own_display=$!
    export DISPLAY=:$n
    break
  done
  for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X${DISPLAY#:} ]] && break; sleep 0.1; done
fi
work=$(mktemp -d)
setup_pid=
cleanup() {
  [[ -n "$setup_pid" ]] && kill "$setup_pid" 2>/dev/null || true
  [[ -n "$own_display" ]] && kill "$own_display" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$shots"
# shot NAME TITLE: the window as the screen shows it, as NAME.png.
shot() {
  wine "$inspect" shot "$2" "Z:$shots/$1.png" || fail "no screenshot of '$2'"
  echo "screenshot: $shots/$1.png"
}
