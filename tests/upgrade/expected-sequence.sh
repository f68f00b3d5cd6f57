# Sourced by the Wine scripts of the upgrade: what the stand-in servers'
# shared sequence log holds after the upgrade procedures ran from a version
# whose first step is FIRST (19 for "8.5.3", 20 for "8.5.3-7"; steps below
# 19 are not listed): each of the 33 checks broadcasts to SMTP, POP3, IM,
# GroupWare and Control, the steps from FIRST on add their requests, and
# with PAGE 1 step 26 fetches the Control server's conversion page.
expected_sequence() { # FIRST PAGE
  local step n p v
  declare -A requests=(
    [19]="TolvaCalendar 3845 20" [20]="TolvaSMTP 2 21" [21]="TolvaSMTP 2 22"
    [27]="TolvaCalendar 3845 23" [28]="TolvaCalendar 3845 24" [29]="TolvaCalendar 3845 25"
    [30]="TolvaCalendar 3845 26" [31]="TolvaSMTP 4 27" [32]="TolvaCalendar 3845 28")
  for step in $(seq 1 33); do
    for n in TolvaSMTP TolvaPOP3 TolvaIM TolvaCalendar TolvaControl; do
      echo "$n pipe command=4096 message=1280 wParam=257 lParam=0"
    done
    if [ "$step" -ge "$1" ] && [ -n "${requests[$step]:-}" ]; then
      read -r n p v <<<"${requests[$step]}"
      echo "$n pipe command=4096 message=1280 wParam=$p lParam=$v"
    fi
    if [ "$step" = 26 ] && [ "$step" -ge "$1" ] && [ "$2" = 1 ]; then
      echo "TolvaControl http GET /admin/tools/convert_imap_rules.html"
    fi
  done
}

# Whether each server got its lines in the expected order (a file of the
# expected lines, a file of the logged ones). The servers log on their own:
# a request to one is not answered before the next server is asked, so the
# order between two servers' lines in their shared log is not fixed, and a
# server's web page and its pipe are logged by threads of their own.
same_per_server() { # expected-file logged-file
  local n channel status=0
  for n in TolvaSMTP TolvaPOP3 TolvaIM TolvaCalendar TolvaControl; do
    for channel in pipe http; do
      diff <(grep "^$n $channel " "$1") <(grep "^$n $channel " "$2") >&2 || status=1
    done
  done
  [ "$(wc -l <"$1")" = "$(wc -l <"$2")" ] || status=1
  return $status
}
