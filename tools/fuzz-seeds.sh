#!/usr/bin/env bash
# Writes the seed inputs of the fuzz targets into BUILD/fuzz-seeds/<target>/: control files,
# spectrum files made with the built spcwrite, and layout strings with values or text to read.
set -euo pipefail
build=${1:-build-fuzz}
spcwrite="$build/spcwrite"
seeds="$build/fuzz-seeds"
rm -rf "$seeds"
mkdir -p "$seeds"/{fuzz_control_file,fuzz_spectrum_file,fuzz_layout,fuzz_layout_read}

# fuzz_control_file: the whole convert.dat. The machine holds a.spc, in\b.spc and folder out.
n=0
control() {
  n=$((n + 1))
  printf "$1" >"$seeds/fuzz_control_file/seed$n"
}
control '2\r\na.spc\r\nin\\b.spc\r\nout\r\n400.\r\n4000.\r\n'
control '0\r\nignored\r\nout\r\n0.\r\n1.\r\n'
control '1\r\n\r\nout\r\n4000\r\n    -20\r\n'
control '\r\n  3 files\r\nin\\b.spc\r\n  a.spc\r\nout\\x.y.spc\r\nout\\\r\n12345.678901\r\n-1e3\r\n'
control '2*1,\nin\\b.spc\nout dir\n1.5-1\n,\n'
control '101\r\na.spc\r\n'
control '1\r\na.spc\r\nmissing\r\n1d2\r\n2D3'

# fuzz_spectrum_file: a byte for NMAX (255: the full capacity), the window as two
# little-endian singles, then the file.
n=0
spectrum() {
  local prefix=$1
  shift
  n=$((n + 1))
  "$spcwrite" "$seeds/spectrum.tmp" "$@" >/dev/null
  { printf "$prefix"; cat "$seeds/spectrum.tmp"; } >"$seeds/fuzz_spectrum_file/seed$n"
}
full_window='\xff\x00\x00\xc8\x43\x00\x00\x7a\x45'  # 400 to 4000
spectrum "$full_window" --points 64 --first 400 --last 4000 --sine 30000,2
spectrum "$full_window" --format old --points 50 --first 1500 --last -20 --ramp -500000,1000
spectrum '\x0a\x00\x00\x00\x00\x00\x00\x7a\x45' --y16 --exponent 30 --points 40 --first 0 \
  --last 4000 --sine 20000
spectrum "$full_window" --format old --y16 --exponent 20 --points 30 --first 4000 --last 400 \
  --ramp 7,-3
spectrum "$full_window" --width single --exponent -128 --first 500 --last 600 --ys 1.5,-2.25,3e30
spectrum "$full_window" --flags 0x04 --ys 1,2
spectrum "$full_window" --version 0x4c --ys 1,2
spectrum "$full_window" --points 20 --first 400 --last 4000 --ramp 1,1 --truncate 600
spectrum "$full_window" --points 1 --first 1000 --last 1000 --ys 5 --trailing 40
rm -f "$seeds/spectrum.tmp"

# fuzz_layout: the layout, NUL, how many values and which ones.
n=0
layout() {
  n=$((n + 1))
  printf '%s\0' "$1" >"$seeds/fuzz_layout/seed$n"
  printf "$2" >>"$seeds/fuzz_layout/seed$n"
}
layout '(0P,F10.4,2X,1P,E15.7)' '\x06\x01\x02\x03\x04\x05\x06'
layout "(/,' Input file: ',A)" '\x01\x02'
layout "(1X,I7,' points read from ',F10.4,' to ',F10.4,/,' Output file: ',A)" '\x04\x05\x03\x08\x02'
layout "(/,/,' Error in READSC --- Data requested exceeds array size',/,' Array size = ',I8,/,' Required size = ',I8)" '\x02\x06\x07'
layout "(' new format(GRAMS) with MSB first',/,' this format is not presently supported in this program',/,' execution is terminating')" '\x00'
layout '(2(I5.3,2X),3PE12.4E3,"it""s",-2P,F8.2,'"'"'a'"''"'b'"'"')' '\x07\x01\x02\x03\x04\x05\x06\x07'
layout '(I3,2(A5,1X),3/,F0.0,E1.1,I0)' '\x0c\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c'
layout '( 1 0 X , a , 2 ( f 6 . 2 ) )' '\x05\x01\x02\x03\x04\x05'

# fuzz_layout_read: the layout, NUL, the text of the file read.
n=0
layout_read() {
  n=$((n + 1))
  printf '%s\0' "$1" >"$seeds/fuzz_layout_read/seed$n"
  printf "$2" >>"$seeds/fuzz_layout_read/seed$n"
}
layout_read '(A)' 'C:\\spectra\\run1.spc\r\nsecond\r\n'
layout_read '(F10.4)' '      4000\r\n4000.\r\n'
layout_read '(A5,2X,F6.2,/,E10.3)' 'abcde  12.5\r\n1.5e3\r\n'
layout_read '(2(A,F5.1))' 'x\r\n1.5\r\ny\r\n-2\r\n'
layout_read '(3X,A3,1P,F8.0,I5)' 'abcdefgh  1.25-1\n'
layout_read '(F20.2)' '1,5\r\n.\r\n+\r\n1e99999\r\n\x1a'
