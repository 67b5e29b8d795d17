#!/usr/bin/env bash
# Runs tests with the display's DPI of the test prefix set to DPI (LogPixels,
# read by every Wine process at its start), then sets it back to 96 whatever
# happened. The tests are told the DPI they must see (QS_EXPECT_DPI), so a
# setting that did not take fails instead of passing at 96.
#   at_dpi.sh WINE_RUN DPI EXE FILTER [EXE FILTER]...
set -uo pipefail
wine_run=$1 dpi=$2
shift 2
key='HKCU\Control Panel\Desktop'
set_dpi() { "$wine_run" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null; }
trap 'set_dpi 96' EXIT
set_dpi "$dpi" || { echo "could not set LogPixels $dpi"; exit 1; }
rc=0
while [ $# -ge 2 ]; do
  QS_EXPECT_DPI=$dpi "$wine_run" "$1" --gtest_filter="$2" || rc=1
  shift 2
done
exit $rc
