#!/bin/bash
# Writes the tidal-stream grid data/dlldata.tar.xz (dlldata.dat + dlldata.xtr) from the tide
# gauges of @neaps/tide-database, and runs the same method on the US East Coast to check it
# against NOAA current stations (figures on standard output).
# Needs: node + npm (npm ci here), gmt, gmt-gshhg-full, python3-numpy, xz-utils.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
work="${WORK:-/tmp/neapwise-chartdata}"
mkdir -p "$work/eu" "$work/us" "$work/grid"
cd "$here"
[ -d node_modules/@neaps/tide-database ] || npm ci --no-audit --no-fund
# Gauges within 150 km of the stream boxes; the US box for the check.
node export-stations.mjs "$work/eu" 46.5 64.5 -15 15.5
node export-stations.mjs "$work/us" 35 47 -78.5 -62.5
/usr/bin/python3 streamgrid.py --gauges "$work/eu/gauges.json" --box 48.16667 62.83333 -11.75 12.75 \
  --out "$work/grid/dlldata.dat" --extra "$work/grid/dlldata.xtr" --save-fields "$work/eu.npz" --cache "$work"
tar -C "$work/grid" -cJf "$root/data/dlldata.tar.xz" dlldata.dat dlldata.xtr
/usr/bin/python3 plot_streams.py "$work/eu.npz" "$root/data/mapeur.data" "$root/docs/chartdata/streams-spring-hw-dover.png"
/usr/bin/python3 streamgrid.py --gauges "$work/us/gauges.json" --box 36 46 -77.5 -63.5 \
  --out "$work/us.dat" --save-fields "$work/us.npz" --cache "$work"
/usr/bin/python3 validate.py "$work/us.npz" "$work/us/currents.json"
