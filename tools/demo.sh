#!/usr/bin/env bash
# The demo: writes a small batch of SPC files with spcwrite, converts it with spc2prn and shows
# what a user sees: the console output, the files made and the head of one .prn file.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
spc2prn="$here/$build/spc2prn"
spcwrite="$here/$build/spcwrite"
run="$here/demo-run"

rm -rf "$run"
mkdir -p "$run/spectra" "$run/results"
cd "$run"

# A new-format infrared trace, 3601 points from 4000 down to 400 (a descending axis).
"$spcwrite" "spectra/ir sample.spc" --format new --exponent 16 --points 3601 \
  --first 4000 --last 400 --sine 30000,3 --trailing 64 >/dev/null
# An old-format trace with 32-bit values (stored with their 16-bit halves swapped).
"$spcwrite" spectra/old_run.spc --format old --exponent 20 --points 1024 \
  --first 350 --last 2400 --ramp -500000,1000 >/dev/null
# A 16-bit trace that lies only partly inside the window.
"$spcwrite" spectra/raman.spc --format new --y16 --exponent 30 --points 500 \
  --first 1800 --last 3300 --sine 20000,2 >/dev/null

printf '%s\r\n' 3 'spectra\ir sample.spc' 'spectra\old_run.spc' 'spectra\raman.spc' \
  'results' '500.' '2000.' >convert.dat

echo "== convert.dat"
cat convert.dat | tr -d '\r'
echo
echo "== running spc2prn in $run"
set +e
"$spc2prn"
code=$?
set -e
echo
echo "== exit code: $code"
echo "== files made:"
for f in results/*.prn; do
  printf '   %-24s %6d lines\n' "$f" "$(wc -l <"$f")"
done
echo "== head of results/irsample.prn (each line ends with CR LF):"
head -n 5 results/irsample.prn | tr -d '\r'
echo "   ..."
