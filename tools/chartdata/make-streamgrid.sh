#!/bin/bash
# Writes the tidal-stream grid data/dlldata.tar.xz (dlldata.dat + dlldata.xtr) from the tide
# gauges of @neaps/tide-database, and runs the same method on US coasts (East Coast, Gulf of
# Mexico, West Coast, Southeast Alaska) to check it against NOAA current stations (figures by
# area on standard output, and in $WORK/validation.json).
# Needs: node + npm (npm ci here), gmt, gmt-gshhg-full, python3-numpy, xz-utils.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
work="${WORK:-/tmp/neapwise-chartdata}"
mkdir -p "$work/eu" "$work/grid"
cd "$here"
[ -d node_modules/@neaps/tide-database ] || npm ci --no-audit --no-fund
# Gauges within 150 km of the stream boxes.
node export-stations.mjs "$work/eu" 46.5 64.5 -15 15.5
/usr/bin/python3 streamgrid.py --gauges "$work/eu/gauges.json" --box 48.16667 62.83333 -11.75 12.75 \
  --out "$work/grid/dlldata.dat" --extra "$work/grid/dlldata.xtr" --save-fields "$work/eu.npz" --cache "$work"
# Fixed names, times and owners: the same grid gives the same archive.
tar -C "$work/grid" --sort=name --mtime=@0 --owner=0 --group=0 --numeric-owner -cf - dlldata.dat dlldata.xtr \
  | xz -9 -T1 > "$root/data/dlldata.tar.xz"
/usr/bin/python3 plot_streams.py "$work/eu.npz" "$root/data/mapeur.data" "$root/docs/chartdata/streams-spring-hw-dover.png"
# The check: each coast's gauges within about 1 degree of its box, the method run on the box.
# name, gauge box (S N W E), grid box (S N W E)
checks=(
  "us 35 47 -78.5 -62.5 36 46 -77.5 -63.5"
  "gulf 23.5 31.5 -98.5 -79.5 24.5 30.8 -97.8 -80.5"
  "calif 31.5 43 -126 -116 32.5 42 -125 -117"
  "pnw 44.5 50.5 -126.5 -121.5 45.5 49.5 -125.5 -122"
  "seak 53.5 60.5 -139 -129.5 54.5 59.5 -137.5 -130.5"
)
pairs=()
for c in "${checks[@]}"; do
  set -- $c
  node export-stations.mjs "$work/$1" "$2" "$3" "$4" "$5"
  /usr/bin/python3 streamgrid.py --gauges "$work/$1/gauges.json" --box "$6" "$7" "$8" "$9" \
    --out "$work/$1.dat" --save-fields "$work/$1.npz" --cache "$work"
  pairs+=("$work/$1.npz" "$work/$1/currents.json")
done
/usr/bin/python3 validate.py --json "$work/validation.json" "${pairs[@]}"
