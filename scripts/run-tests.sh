#!/usr/bin/env bash
# Runs the test tiers: native unit tests, Windows tests under Wine, the
# end-to-end setups under Wine, and a short smoke run of every fuzz target.
# With an argument, only that tier.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
tiers=${1:-native windows e2e fuzz}
failed=()

for tier in $tiers; do
  case $tier in
    native)
      echo "== native unit tests"
      ctest --test-dir build/native --output-on-failure -j "$(nproc)" || failed+=(native)
      ;;
    windows)
      echo "== Windows tests under Wine ($QV_WINARCH)"
      qv_start_wine
      (cd "build/$QV_WINARCH/tests" && "$QV_WINE" windows_tests.exe) || failed+=(windows)
      ;;
    e2e)
      echo "== end-to-end setups under Wine ($QV_WINARCH)"
      qv_start_wine
      /usr/bin/python3 -m pytest tests/e2e -q || failed+=(e2e)
      ;;
    fuzz)
      echo "== fuzz smoke runs"
      for target in build/fuzz/bin/fuzz_*; do
        [ -x "$target" ] || continue
        "$target" -max_total_time="${QV_FUZZ_SECONDS:-15}" -rss_limit_mb=2048 -print_final_stats=0 \
          >"build/fuzz/$(basename "$target").log" 2>&1 || { tail -20 "build/fuzz/$(basename "$target").log"; failed+=("fuzz:$(basename "$target")"); }
      done
      ;;
  esac
done
qv_stop_wine

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED tiers: ${failed[*]}"
  exit 1
fi
echo "all test tiers passed"
