#!/usr/bin/env bash
# Builds the wizard example (examples/wizard) with the authoring kit and runs
# it twice under Wine: silently, and with its wizard on a virtual display,
# where qvdriver answers the language form with German and goes through the
# pages as a user would. Every page is saved as a screenshot in
# build/demo/wizard/; the variables the pages wrote are printed at the end.
set -euo pipefail

QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$QV_ROOT/scripts/wine-env.sh"

KIT=${QV_KIT:-$QV_ROOT/dist/kit/quorvex-kit}
DRIVER=${QV_DRIVER:-$QV_ROOT/build/$QV_WINARCH/tests/driver/qvdriver.exe}
OUT=$QV_ROOT/build/demo/wizard
for need in "$KIT" "$QV_DIST/quorvex.exe" "$QV_DIST/zor.dll" "$DRIVER"; do
  if [ ! -e "$need" ]; then
    echo "demo: $need is missing; build first (make)" >&2
    exit 2
  fi
done

trap qv_stop_wine EXIT
qv_start_wine

echo "== building the wizard example"
rm -rf "$OUT"
"$KIT" build "$QV_ROOT/examples/wizard/wizard.json" --out "$OUT/setup" --stub "$QV_DIST/quorvex.exe" --zor "$QV_DIST/zor.dll"
"$KIT" check "$OUT/setup/Setup.exe"

winepath_w() { "$QV_WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
show() {  # the variables a run ended with, from its trace
  grep -E '^variable (WIZARDRESULT|LANGUAGE|LICENSE|TARGETDIR|WANTDOCS|PROGRESSPAGE|FINISHRESULT)=' "$1" |
    sed 's/^variable /  /'
  grep '^exit code' "$1" | sed 's/^/  /'
}

echo "== silent run: every waiting page answers Next"
"$QV_WINE" "$OUT/setup/Setup.exe" /s "/trace=$(winepath_w "$OUT/silent-trace.txt")" || true
show "$OUT/silent-trace.txt"

echo "== the wizard under Xvfb (display $DISPLAY), driven by qvdriver"
trace=$OUT/wizard-trace.txt
"$QV_WINE" "$OUT/setup/Setup.exe" "/trace=$(winepath_w "$trace")" &
setup=$!
shots=0
page() {  # page CAPTION CONTROL [STEPS...]: waits for the page that shows CONTROL, saves it, runs the steps
  local caption=$1 control=$2
  shift 2
  # Pages of one wizard share their caption: the page is there when its
  # control is (the previous page may still be on screen for a moment).
  local tries=0
  until "$QV_WINE" "$DRIVER" --timeout=60 wait '*' "$caption" expect "$control" visible true >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ $tries -ge 60 ]; then
      echo "demo: no page with $control appeared" >&2
      return 1
    fi
    sleep 0.5
  done
  shots=$((shots + 1))
  import -window root "$OUT/$(printf %02d $shots)-$control.png"
  echo "  page with $control: saved $(printf %02d $shots)-$control.png"
  if [ $# -gt 0 ]; then "$QV_WINE" "$DRIVER" --timeout=60 wait '*' "$caption" "$@" >/dev/null; fi
}
CAPTION="Quorvex Wizard Demo Installation"
page "Select Setup Language" '#102' click '#1'
page "$CAPTION" WelcomeText click NextButton
page "$CAPTION" Accept check Accept on expect NextButton enabled true click NextButton
page "$CAPTION" Edit1 settext Edit1 'C:\Quorvex Wizard Demo\' click NextButton
page "$CAPTION" Docs check Docs on click NextButton
page "$CAPTION" ReadyText click NextButton
page "$CAPTION" FinishText click NextButton gone
wait $setup || true
show "$trace"
echo "== screenshots of every page are in $OUT"
