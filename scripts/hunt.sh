#!/usr/bin/env bash
# Hunts for compiler faults with random programs. Every program of the seed range is
# generated, compiled by Free Pascal (the oracle) and by VORAX for 300H, 300L and 2000 with
# and without the peephole optimizer, run, and compared. Failing programs are saved with a
# summary of what went wrong; with --reduce each is also shrunk to a small program that
# fails the same way.
#
# usage: scripts/hunt.sh [-j JOBS] [-o FOLDER] [--reduce] [--build FOLDER] FIRST LAST [OPTION...]
#   -j JOBS         processes run side by side (default 1); all run under nice
#   -o FOLDER       where failing programs go (default hunt-out)
#   --reduce        reduce each failing program (slow: many compiles per program)
#   --build FOLDER  the build folder with vorax, vorax-sim and vorax-randprog (default build)
#   OPTION...       passed to vorax-randprog: --fixed-set, --disable=F,G, --enable=F,
#                   --compile-only, --max-statements=N, --routines=N
set -euo pipefail

jobs=1
out=hunt-out
reduce=0
build=build
while [ $# -gt 0 ]; do
  case "$1" in
    -j) jobs=$2; shift 2 ;;
    -o) out=$2; shift 2 ;;
    --reduce) reduce=1; shift ;;
    --build) build=$2; shift 2 ;;
    *) break ;;
  esac
done
if [ $# -lt 2 ]; then
  sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi
first=$1
last=$2
shift 2
options=("$@")

tool="$build/vorax-randprog"
for program in "$tool" "$build/vorax" "$build/vorax-sim"; do
  if [ ! -x "$program" ]; then
    echo "hunt.sh: $program is missing; build it first (cmake --build $build)" >&2
    exit 2
  fi
done
if ! printf '%s\n' "${options[@]}" | grep -q -- '--compile-only' && ! command -v fpc > /dev/null; then
  echo "hunt.sh: fpc is missing; scripts/install-deps.sh installs it" >&2
  exit 2
fi

mkdir -p "$out"
log="$out/log-$first-$last.txt"
: > "$log"

# Split the range into one chunk per process.
count=$((last - first + 1))
chunk=$(((count + jobs - 1) / jobs))
pids=()
for ((start = first; start <= last; start += chunk)); do
  end=$((start + chunk - 1))
  [ "$end" -gt "$last" ] && end=$last
  nice -n 10 "$tool" "${options[@]}" --build="$build" --out="$out" hunt "$start" "$end" \
    > "$out/part-$start-$end.txt" 2>&1 &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
  wait "$pid" || status=1
done
cat "$out"/part-*.txt | sort -t' ' -k2,2n > "$log"
rm -f "$out"/part-*.txt

total=$(grep -c '^seed ' "$log" || true)
agree=$(grep -c ': agree$' "$log" || true)
invalid=$(grep -c ': invalid' "$log" || true)
echo "programs: $total  agree: $agree  failing: $((total - agree - invalid))  invalid (generator): $invalid"
# How often each kind of failure came first.
grep -v ': agree$' "$log" | grep '^seed ' | sed 's/^seed [0-9]*: //; s/ .*//' | sort | uniq -c | sort -rn

if [ "$reduce" -eq 1 ]; then
  grep -v ': agree$' "$log" | grep -v ': invalid' | grep '^seed ' | sed 's/^seed \([0-9]*\):.*/\1/' |
    while read -r seed; do
      nice -n 10 "$tool" "${options[@]}" --build="$build" reduce "$seed" \
        > "$out/seed-$seed.reduced.pas" 2> "$out/seed-$seed.reduced.txt" || true
      echo "reduced seed $seed: $(wc -l < "$out/seed-$seed.reduced.pas") lines"
    done
fi
exit $status
