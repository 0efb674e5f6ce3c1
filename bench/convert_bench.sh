#!/usr/bin/env bash
# Whole-program benchmark: spc2prn against a plain C reference converter on the same files,
# run alternately in one session; reports median CPU time, wall time and peak resident memory.
set -euo pipefail
build=${1:-build-bench}
here=$(cd "$(dirname "$0")/.." && pwd)
spc2prn="$here/$build/spc2prn"
spcwrite="$here/$build/spcwrite"
reference="$here/$build/bench/reference_convert"
rounds=${ROUNDS:-5}
work=$(mktemp -d /tmp/spc2prn-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

make_batch() {  # folder count points
  local folder=$1 count=$2 points=$3
  mkdir -p "$folder/in" "$folder/out" "$folder/ref"
  "$spcwrite" "$folder/in/s0.spc" --format new --exponent 12 --points "$points" \
    --first 400 --last 4000 --sine 2000000000,7 >/dev/null
  for ((i = 1; i < count; i++)); do cp "$folder/in/s0.spc" "$folder/in/s$i.spc"; done
  {
    printf '%s\r\n' "$count"
    for ((i = 0; i < count; i++)); do printf 'in\\s%d.spc\r\n' "$i"; done
    printf '%s\r\n' out 0. 5000.
  } >"$folder/convert.dat"
}

# Prints "cpu_ms wall_ms maxrss_kib" for one run of a command in a folder.
measure() { "$here/$build/bench/run_measured" "$@"; }

median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

compare() {  # label folder
  local label=$1 folder=$2
  local ours=() theirs=() rss=()
  local files=("$folder"/in/*.spc)
  for ((r = 0; r < rounds; r++)); do
    read -r cpu wall kib < <(measure "$folder" "$spc2prn")
    ours+=("$cpu $wall")
    rss+=("$kib")
    read -r cpu wall kib < <(measure "$folder" "$reference" ref "${files[@]#$folder/}")
    theirs+=("$cpu $wall")
  done
  local ours_cpu ours_wall ref_cpu ref_wall peak
  ours_cpu=$(printf '%s\n' "${ours[@]}" | awk '{print $1}' | median)
  ours_wall=$(printf '%s\n' "${ours[@]}" | awk '{print $2}' | median)
  ref_cpu=$(printf '%s\n' "${theirs[@]}" | awk '{print $1}' | median)
  ref_wall=$(printf '%s\n' "${theirs[@]}" | awk '{print $2}' | median)
  peak=$(printf '%s\n' "${rss[@]}" | sort -n | tail -n 1)
  # fprintf rounds ties to even where the converter rounds them away from zero.
  same=$(cmp -s "$folder/out/s0.prn" "$folder/ref/s0.prn" && echo identical || echo "differs in ties")
  awk -v l="$label" -v oc="$ours_cpu" -v ow="$ours_wall" -v rc="$ref_cpu" -v rw="$ref_wall" \
    -v p="$peak" -v s="$same" 'BEGIN {
      printf "%-28s spc2prn cpu %8.2f ms wall %8.2f ms | reference cpu %8.2f ms wall %8.2f ms | cpu ratio %.2f | peak RSS %.2f MiB | output %s\n",
        l, oc, ow, rc, rw, (rc > 0 ? oc / rc : 0), p / 1024, s }'
}

make_batch "$work/batch" 100 100000
make_batch "$work/single" 1 100000
compare "100 files x 100000 points" "$work/batch"
compare "1 file x 100000 points" "$work/single"

mkdir -p "$work/empty"
printf '0\r\n\r\nout\r\n0.\r\n1.\r\n' >"$work/empty/convert.dat"
# The start of any process costs something: /bin/true, measured the same way, shows how much.
for program in "$spc2prn" /bin/true; do
  cpus=() walls=()
  for ((r = 0; r < 50; r++)); do
    read -r cpu wall kib < <(measure "$work/empty" "$program")
    cpus+=("$cpu")
    walls+=("$wall")
  done
  label="empty batch (count 0)"
  [ "$program" = /bin/true ] && label="baseline: /bin/true"
  awk -v l="$label" -v c="$(printf '%s\n' "${cpus[@]}" | median)" \
    -v w="$(printf '%s\n' "${walls[@]}" | median)" \
    'BEGIN { printf "%-28s cpu %.2f ms, wall %.2f ms (median of 50, from fork to exit)\n", l, c, w }'
done
