#!/usr/bin/env bash
# Runs the libFuzzer targets: fuzz_compile (the compiler, source and assembly file in
# memory, a program compiled without error must assemble) and fuzz_assemble (the
# simulator's assembler on each CPU). Builds them first in a clang tree with AddressSanitizer
# and UBSan (scripts/install-deps.sh fuzz installs clang and its fuzzer runtime).
#
#   scripts/fuzz.sh [--build DIR] [--jobs N] [--seed N] [--time SECONDS | --runs N] [TARGET...]
#
#   --build DIR    the fuzz build tree (default build-fuzz)
#   --jobs N       compile jobs while building it (default 2)
#   --seed N       libFuzzer's random seed, for a run that can be repeated (default 1)
#   --time S       run each target for S seconds (default 3600)
#   --runs N       run each target for N inputs instead
#   --fresh        a short run: the corpus and the findings in DIR/fuzz/fresh/, emptied
#                  first, instead of the lasting ones, and the quick seeds only (not
#                  fuzz/seeds/, no compiled programs for the assembler)
#   TARGET         fuzz_compile and/or fuzz_assemble (default both)
#
# The corpus grows in DIR/fuzz/corpus/TARGET, seeded from the committed corpus in
# fuzz/corpus/ (the suite replays that one in every build), the larger programs of
# fuzz/seeds/ (too slow to replay in the sanitizer build), the examples and the programs
# of the documents, and, for the assembler, from those programs compiled for each CPU.
# A finding is written to DIR/fuzz/findings/TARGET and makes the script fail; reduce it
# (the target with -minimize_crash=1) and add it to fuzz/corpus/ with the fix, so that it
# stays a test. Run long sessions under nice.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$top/build-fuzz"
jobs=2
fresh=false
seed=1
limit=(-max_total_time=3600)
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    --fresh) fresh=true; shift ;;
    --seed) seed="$2"; shift 2 ;;
    --time) limit=(-max_total_time="$2"); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    -h | --help) sed -n '2,25p' "$0"; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_compile fuzz_assemble)
for target in "${targets[@]}"; do
  case "$target" in
    fuzz_compile | fuzz_assemble) ;;
    *) echo "fuzz.sh: unknown target $target (fuzz_compile, fuzz_assemble)" >&2; exit 2 ;;
  esac
done

# The whole compiler and simulator are instrumented for coverage; -O1 keeps the runs fast
# and the sanitizer reports readable.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS=-O1 -DVORAX_FUZZ=ON -DVORAX_SANITIZE=ON -DVORAX_BUILD_TESTS=OFF \
  -DVORAX_BUILD_GUI=OFF -DVORAX_BUILD_BENCHMARKS=OFF -DVORAX_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]}" vorax >/dev/null

work="$build/fuzz"
mkdir -p "$work"

# The compiler's seeds beside the committed corpus: the examples, the window's example and
# every program of the documents (written in UTF-8 there, in Shift-JIS as the compiler
# reads them).
seed_sources() {
  local out="$work/seeds/fuzz_compile"
  rm -rf "$out"
  mkdir -p "$out"
  cp "$top"/examples/*.PAS "$top"/docs/window-example/*.PAS "$out/"
  local document name
  for document in "$top"/README.md "$top"/docs/*.md; do
    name="$(basename "$document" .md)"
    awk -v out="$out/$name" '
      /^```pascal/ { inside = 1; count++; file = sprintf("%s-%03d.utf8", out, count); next }
      /^```/ { inside = 0; next }
      inside { print > file }' "$document"
  done
  local program
  for program in "$out"/*.utf8; do
    [ -e "$program" ] || continue
    iconv -f UTF-8 -t CP932 "$program" >"${program%.utf8}.pas" 2>/dev/null ||
      cp "$program" "${program%.utf8}.pas"
    rm "$program"
  done
}

# The assembler's seeds: the committed ones and the compiled corpus of the compiler, each
# program compiled for every CPU.
seed_assembly() {
  local out="$work/seeds/fuzz_assemble"
  rm -rf "$out" "$work/compiled"
  mkdir -p "$out" "$work/compiled"
  local source name cpu
  for source in "$top"/fuzz/corpus/compile/* "$top"/fuzz/seeds/compile/* "$top"/examples/*.PAS; do
    name="$(basename "$source")"
    name="${name%.*}"
    for cpu in 300H 300L 2000; do
      cp "$source" "$work/compiled/$name.PAS"
      if "$build/vorax" -q --cpu "$cpu" "$work/compiled/$name.PAS" >/dev/null 2>&1; then
        cp "$work/compiled/$name.asm" "$out/$name-$cpu.asm"
      fi
    done
  done
}

status=0
for target in "${targets[@]}"; do
  case "$target" in
    fuzz_compile)
      dict="$top/fuzz/pascal.dict"
      seed_sources
      seeds=("$top/fuzz/corpus/compile" "$work/seeds/fuzz_compile")
      # The large programs take about a second each in this build: long runs only.
      $fresh || seeds+=("$top/fuzz/seeds/compile")
      ;;
    fuzz_assemble)
      dict="$top/fuzz/asm.dict"
      # The simulator's own test programs are seeds too.
      seeds=("$top/fuzz/corpus/assemble" "$work/seeds/sim_tests")
      rm -rf "$work/seeds/sim_tests"
      mkdir -p "$work/seeds/sim_tests"
      cp "$top"/tests/sim/*.asm "$work/seeds/sim_tests/"
      # Compiling the programs for each CPU takes longer than a short run.
      if ! $fresh; then
        seed_assembly
        seeds+=("$work/seeds/fuzz_assemble")
      fi
      ;;
  esac
  corpus="$work/corpus/$target"
  findings="$work/findings/$target"
  if $fresh; then
    corpus="$work/fresh/corpus/$target"
    findings="$work/fresh/findings/$target"
    rm -rf "$corpus" "$findings"
  fi
  mkdir -p "$corpus" "$findings"
  echo "== $target (seed $seed)"
  started=$(date +%s)
  set +e
  ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" \
    "$build/$target" "$corpus" "${seeds[@]}" -dict="$dict" -seed="$seed" "${limit[@]}" \
    -timeout=10 -rss_limit_mb=2048 -max_len=8192 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"$work/$target.log" 2>&1
  result=$?
  set -e
  grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec|ERROR|SUMMARY|^Done' \
    "$work/$target.log" || true
  echo "seconds: $(($(date +%s) - started)); corpus: $(find "$corpus" -type f | wc -l) inputs"
  if [ "$result" -ne 0 ] || [ -n "$(ls -A "$findings")" ]; then
    echo "fuzz.sh: $target found something: see $findings and $work/$target.log" >&2
    status=1
  fi
done
exit $status
