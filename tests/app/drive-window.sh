#!/bin/sh
# The window driver that CI's Windows stage runs under Wine, here against the
# simulator on a pseudo-terminal: every record of a query must reach the
# exported file, saved under a non-ASCII name.
# Usage: drive-window.sh DETECTOR_SIM WINDOW_DRIVER CHECK_EXPORTED_RECORDS
set -eu
work=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null; rm -rf "$work"' EXIT
"$1" --records 250 --seed 3 --dump-csv "$work/records.csv" >"$work/sim.out" &
sim=$!
for _ in $(seq 50); do
  [ -s "$work/sim.out" ] && break
  sleep 0.1
done
VENTRIX_SYSTEM_PORTS= VENTRIX_EXTRA_PORTS=$(head -n 1 "$work/sim.out") \
  "$2" --from "2000-01-01 00:00:00" --to "2099-12-31 23:59:59" --export "$work/Größe.xls"
/usr/bin/python3 "$3" "$work/Größe.xls" "$work/records.csv"
