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
