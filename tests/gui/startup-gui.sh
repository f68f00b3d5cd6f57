#!/usr/bin/env bash
# setup.exe on a real screen under Wine: the language chooser, the question,
# page 0, and the command-line switches that end without the wizard.
# Usage: startup-gui.sh RUNNER PREFIX DEMO WININSPECT TOLVACFG SHOTS
set -euo pipefail
runner=$1 prefix=$2 demo=$3 inspect=$4 tolvacfg=$5 shots=$6
source "$(dirname "$0")/common.sh"

# A copy of the distribution, so that a run leaves the built one as it was.
dist=$work/dist
cp -r "$demo" "$dist"
win_dist="Z:${dist//\//\\}"

lang_title="Installer Language"
question_title="Nivalis Tolva Mail Server Setup"
main_title="Nivalis Tolva Mail Server 9.1.5-7 Setup"

start_setup() {
  (cd "$dist" && exec sh "$runner" "$prefix" "$dist/setup.exe" "$@") &
  setup_pid=$!
}
finish_setup() {  # expected exit code
  local code=0
  wait "$setup_pid" || code=$?
  setup_pid=
  [[ $code -eq $1 ]] || fail "setup.exe ended with $code, expected $1"
}

step "without arguments: language chooser, question, page 0"
start_setup
inspect wait "$lang_title" 60 || fail "the language chooser did not appear"
dump=$(inspect dump "$lang_title")
grep -qx 'item|Deutsch' <<<"$dump" || fail "no Deutsch in the chooser: $dump"
grep -qx 'item|English|selected' <<<"$dump" || fail "English not preselected: $dump"
grep -qx 'item|Deutsch (Österreich)' <<<"$dump" || fail "no Austrian German in the chooser: $dump"
[[ $(grep -c '^item|' <<<"$dump") -eq 3 ]] || fail "the chooser offers other languages: $dump"
shot language-chooser "$lang_title"
inspect click "$lang_title" "&OK"
inspect wait "$question_title" 30 || fail "the confirmation question did not appear"
grep -q "This will install Nivalis Tolva Mail Server 9.1.5-7. Do you wish to continue?" <<<"$(inspect dump "$question_title")" ||
  fail "the question's text differs"
shot question "$question_title"
inspect click "$question_title" "&Yes"
inspect wait "$main_title" 30 || fail "the main window did not appear"
dump=$(inspect dump "$main_title")
grep -q '|&Next >|visible|enabled' <<<"$dump" || fail "page 0 has no enabled Next: $dump"
grep -q '|< &Back|hidden|' <<<"$dump" || fail "page 0 shows Back: $dump"
grep -q 'Welcome to Nivalis Tolva Mail Server 9.1.5-7' <<<"$dump" || fail "no welcome title: $dump"
shot page-0 "$main_title"
# The close box asks the cancel question; Yes ends with success.
inspect close "$main_title"
inspect wait "Exit Setup" 30 || fail "closing did not ask the cancel question"
inspect click "Exit Setup" "&Yes"
finish_setup 0

step "Deutsch chosen: the wizard speaks German"
value_of() {  # the decoded VALUE of a message key in the German file
  grep -o "ID=\"$1\" VALUE=\"[^\"]*\"" "$dist/lang/de/setup.lng" | head -1 |
    sed 's/.*VALUE="//; s/"$//; s/&lt;/</g; s/&gt;/>/g; s/&quot;/"/g; s/&amp;/\&/g'
}
german_next=$(value_of cnext)
[[ -n "$german_next" && "$german_next" != "&Next >" ]] || fail "the German file does not translate cnext"
start_setup /silent
inspect wait "$lang_title" 60 || fail "the language chooser did not appear"
inspect select "$lang_title" 0
inspect click "$lang_title" "&OK"
inspect wait "*9.1.5-7*" 30 || fail "no main window after choosing Deutsch"
inspect gone "$main_title" 0 || fail "the main window kept its English title"
dump=$(inspect dump "*9.1.5-7*")
grep -qF "|$german_next|visible|enabled" <<<"$dump" || fail "Next is not '$german_next': $dump"
shot page-0-deutsch "*9.1.5-7*"
exit_title=$(value_of cdoyouexittitle)
inspect close "*9.1.5-7*"
inspect wait "$exit_title" 30 || fail "no German cancel question '$exit_title'"
inspect click "$exit_title" "&Yes"
finish_setup 0

step "/SILENT: no question"
start_setup /SILENT
inspect wait "$lang_title" 60 || fail "the language chooser did not appear"
inspect click "$lang_title" "&OK"
inspect wait "$main_title" 30 || fail "the main window did not appear"
inspect gone "$question_title" 0 || fail "the question was asked with /SILENT"
inspect close "$main_title"
inspect wait "Exit Setup" 30 || fail "no cancel question"
inspect click "Exit Setup" "&Yes"
finish_setup 0

step "/WEBMAILLOGON opens the web mail of a server on port 80"
log=$work/browser.log
cat >"$work/browser.sh" <<EOS
#!/bin/sh
echo "\$@" >>"$log"
EOS
chmod +x "$work/browser.sh"
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$work/browser.sh" /f >/dev/null
# A configuration of the suite beside setup.exe, as in an installation.
mkdir -p "$dist/config"
cp "$(dirname "$0")/../config/fixtures/current/config/settings.cfg" "$dist/config/"
wine "$tolvacfg" set "$win_dist\\config" WebPort 80 >/dev/null
wine "$tolvacfg" set "$win_dist\\config" HostName "" >/dev/null
start_setup /WEBMAILLOGON
finish_setup 0
for _ in $(seq 100); do [[ -s "$log" ]] && break; sleep 0.1; done
[[ "$(cat "$log" 2>/dev/null)" == "http://localhost/mail/" ]] ||
  fail "the browser was given '$(cat "$log" 2>/dev/null)'"

step "exportlanguage writes setup.lng and ends"
rm -f "$dist/setup.lng"
start_setup /exportlanguage
finish_setup 0
grep -q '<ITEM ID="cname" VALUE="Nivalis Tolva Mail Server"/>' "$dist/setup.lng" ||
  fail "setup.lng lacks the message table"

step "an unknown argument ends without a window"
start_setup /nothing-known
( sleep 30; kill "$setup_pid" 2>/dev/null ) &
watchdog=$!
finish_setup 0
kill "$watchdog" 2>/dev/null || true
echo "startup-gui: all steps passed"
