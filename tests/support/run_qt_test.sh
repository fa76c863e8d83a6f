#!/bin/sh
# Runs one Qt test binary for CTest: exit 0 when it passed, 1 when it failed,
# 77 when it passed but skipped a test (CTest shows "Skipped"). With
# VELMARO_REQUIRE_PRIVILEGED set (and not 0) the machine must give every test
# what it needs (CI, as root): a skip is then a failure.
log=$(mktemp) && status=$(mktemp) || exit 1
trap 'rm -f "$log" "$status"' EXIT
{ "$@" 2>&1; echo $? >"$status"; } | tee "$log"
[ "$(cat "$status")" = 0 ] || exit 1
grep -q '^SKIP   :' "$log" || exit 0
case "${VELMARO_REQUIRE_PRIVILEGED:-0}" in
  0) exit 77 ;;
  *) echo "FAIL!  : a test skipped although VELMARO_REQUIRE_PRIVILEGED is set"; exit 1 ;;
esac
