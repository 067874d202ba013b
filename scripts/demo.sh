#!/usr/bin/env bash
# Builds the example setup (examples/demo) with the authoring kit, runs it
# silently under Wine with a trace, and shows what it did: the exit code, the
# commands that ran, the variables at the end, the report its script wrote
# with "Write to Text File", and that the per-run workspace in the temporary
# folder was removed.
set -euo pipefail

QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$QV_ROOT/scripts/wine-env.sh"

KIT=${QV_KIT:-$QV_ROOT/dist/kit/quorvex-kit}
OUT=$QV_ROOT/build/demo
# The demo's script ends with "Terminate with Exit Code" and this code.
DEMO_EXIT_CODE=7
for need in "$KIT" "$QV_DIST/quorvex.exe" "$QV_DIST/zor.dll"; do
  if [ ! -e "$need" ]; then
    echo "demo: $need is missing; build dist/ first (make)" >&2
    exit 2
  fi
done

trap qv_stop_wine EXIT
qv_start_wine

echo "== building the example setup"
"$KIT" build "$QV_ROOT/examples/demo/demo.json" --out "$OUT" --stub "$QV_DIST/quorvex.exe" --zor "$QV_DIST/zor.dll"
"$KIT" check "$OUT/Setup.exe"

# The winepath script runs the default loader, which cannot start where only
# 64-bit code runs; the chosen loader runs it as a program instead.
winepath_u() { "$QV_WINE" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
winepath_w() { "$QV_WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# The setup's temporary folder as Wine sees it, and as a Linux path.
win_temp=$("$QV_WINE" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
temp_dir=$(winepath_u "$win_temp")
workspaces() { (cd "$temp_dir" 2>/dev/null && ls -d zor[0-9]* 2>/dev/null) | sort || true; }
before=$(workspaces)

trace=$OUT/trace.txt
report=$OUT/report.txt
rm -f "$trace" "$report"
# The preset names the script's report file; in silent mode the script's own
# default for OUTFILE does not replace it.
outfile=$(winepath_w "$report")
echo "== running $OUT/Setup.exe /s OUTFILE=$outfile under Wine (temporary folder $win_temp)"
set +e
"$QV_WINE" "$OUT/Setup.exe" /s "OUTFILE=$outfile" "/trace=$(winepath_w "$trace")"
code=$?
set -e
after=$(workspaces)

echo "exit code: $((code % 256)) (the script ends with exit code $DEMO_EXIT_CODE)"
if [ ! -f "$trace" ]; then
  echo "demo: the setup wrote no trace" >&2
  exit 1
fi
echo "== trace"
tr -d '\r' <"$trace" | sed 's/^/  /'
echo "== commands that ran"
tr -d '\r' <"$trace" | sed -n 's/^run /  /p'
echo "== report written by the script ($report)"
if [ ! -f "$report" ]; then
  echo "demo: the script wrote no report" >&2
  exit 1
fi
tr -d '\r' <"$report" | sed 's/^/  /'

workspace=$(tr -d '\r' <"$trace" | sed -n 's/^variable SUPPORTDIR=//Ip' | head -n 1)
echo "== workspace"
if [ -n "$workspace" ]; then
  if [ -e "$(winepath_u "$workspace")" ]; then
    echo "  $workspace is still there" >&2
    exit 1
  fi
  echo "  $workspace was removed"
fi
left=$(comm -13 <(echo "$before") <(echo "$after"))
if [ -n "$left" ]; then
  echo "  left behind in $win_temp: $left" >&2
  exit 1
fi
echo "  no zor<N> folder left in $win_temp"
if [ $((code % 256)) -ne $DEMO_EXIT_CODE ] || ! tr -d '\r' <"$trace" | grep -qx "exit code $DEMO_EXIT_CODE" ||
  grep -q -e '^startup failure' -e '^validation failed' -e '^runtime error' "$trace"; then
  echo "demo: the setup did not run through" >&2
  exit 1
fi
