#!/bin/bash
# Writes data/map*.data from GSHHG and draws each one to docs/chartdata/coast-*.png.
# Needs the Debian packages gmt, gmt-gshhg-high, gmt-gshhg-full, python3-numpy, ghostscript.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
/usr/bin/python3 "$here/coastlines.py" --out "$root/data" "$@"
mkdir -p "$root/docs/chartdata"
plot() { /usr/bin/python3 "$here/plot_coast.py" "$root/data/$1" "$2" "$3" "$4" "$5" "$root/docs/chartdata/$6" "$7"; }
plot mapuk.data -13 5 46 60 coast-uk.png "UK and Ireland (mapuk.data)"
plot mapeur.data -13 19 36 72 coast-europe.png "Europe (mapeur.data)"
plot mapuse.data -86 -55 17 63 coast-us-east.png "US East Coast (mapuse.data)"
plot mapaus.data 107 179 -50 4 coast-australia.png "Australia (mapaus.data)"
