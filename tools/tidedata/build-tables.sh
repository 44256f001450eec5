#!/bin/sh
# Rebuilds the embedded tide tables from the tide database, start to finish.
#   tools/tidedata/build-tables.sh BUILD_DIR
# BUILD_DIR is a CMake build tree in which neapwise-tablegen has been built. The committed
# inputs (folding.txt, ports.tsv) and outputs (resources/tables/178.bin, 179.bin) are rewritten.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:?usage: build-tables.sh BUILD_DIR}" && pwd)
gen="$build/tools/tidedata/neapwise-tablegen"
[ -x "$gen" ] || { echo "build neapwise-tablegen first: cmake --build $build --target neapwise-tablegen" >&2; exit 1; }
cd "$here"
[ -d node_modules/@neaps/tide-database ] || npm ci
node export.mjs
"$gen" angles --folding folding.txt --out "$root/resources/tables/178.bin"
node fit.mjs
"$gen" ports --in ports.tsv --out "$root/resources/tables/179.bin"
