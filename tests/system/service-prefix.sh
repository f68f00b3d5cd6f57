# Sourced by the Wine scripts of the services: a fresh prefix at $WINEPREFIX
# (removed with its folder $1 first) whose wineserver stays up until it is
# killed, since services live only as long as it does.
fresh_service_prefix() {
  wineserver -k 2>/dev/null || true
  rm -rf "$1"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  wineserver -p
}
