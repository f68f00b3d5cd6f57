#!/bin/sh
# The screen of the tests that show windows: a virtual X server and a Wine
# prefix of its own whose programs all run on that screen. (In a prefix
# shared with tests that have no display, Wine's desktop process may already
# run without one, and then no window can be made.)
# Usage: xvfb.sh start|stop STATEFILE PREFIX
# start picks a free display :90-:99, waits until it answers, makes the
# prefix and writes "NUMBER PID PREFIX" to STATEFILE; stop ends both.
action=$1
state=$2
prefix=$3

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

stop_server() {
  if [ -f "$state" ]; then
    read -r number pid _ <"$state" || true
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -f "$state"
  fi
}

make_prefix() {
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
  mkdir -p "$prefix"
  export WINEPREFIX="$prefix" DISPLAY=":$1"
  wineboot -i >/dev/null 2>&1 || return 1
  # No window manager runs on this screen: unmanaged windows do not wait
  # for one when they are hidden.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || return 1
  wineserver -w
}

case "$action" in
  start)
    [ -n "$prefix" ] || { echo "usage: xvfb.sh start STATEFILE PREFIX" >&2; exit 2; }
    stop_server
    for number in 90 91 92 93 94 95 96 97 98 99; do
      [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
      # Detached and without our output streams, so that CTest does not wait
      # for it when this script ends.
      setsid Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp \
        </dev/null >"$state.log" 2>&1 &
      pid=$!
      tries=0
      while [ $tries -lt 50 ]; do
        kill -0 "$pid" 2>/dev/null || break  # lost the race for this number
        if xdpyinfo -display ":$number" >/dev/null 2>&1; then
          if ! make_prefix "$number"; then
            kill "$pid" 2>/dev/null
            echo "xvfb.sh: cannot make the Wine prefix $prefix" >&2
            exit 1
          fi
          echo "$number $pid $prefix" >"$state"
          echo "Xvfb :$number (pid $pid), Wine prefix $prefix"
          exit 0
        fi
        tries=$((tries + 1))
        sleep 0.2
      done
      kill "$pid" 2>/dev/null
    done
    echo "xvfb.sh: no free display in :90-:99 or Xvfb did not start" >&2
    cat "$state.log" >&2 2>/dev/null
    exit 1
    ;;
  stop)
    stop_server
    ;;
  *)
    echo "usage: xvfb.sh start|stop STATEFILE PREFIX" >&2
    exit 2
    ;;
esac
