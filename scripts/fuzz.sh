#!/usr/bin/env bash
# Timed fuzzing of every file reader with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer (Debian's clang-14), in a build folder of its own.
# Each target runs for SECONDS with its growing corpus in FOLDER/corpus/<target>
# (outside git; the committed seeds in fuzz/<target>/seeds are read, never written)
# and any crash input in FOLDER/crashes/. Prints executions and coverage per target.
#   scripts/fuzz.sh [FOLDER] [SECONDS] [TARGET...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
folder=${1:-build-fuzz}
seconds=${2:-60}
shift $(( $# < 2 ? $# : 2 ))

cmake -S "$here" -B "$folder" -G Ninja -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAV_LIBFUZZER=ON -DTAV_BUILD_DATA=OFF -DTAV_BUILD_BENCH=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in "$here"/fuzz/*/; do
    name=$(basename "$dir")
    [ -f "$dir/CMakeLists.txt" ] && [ "$name" != support ] && targets+=("$name")
  done
fi
cmake --build "$folder" -j "$(nproc)" --target "${targets[@]/%/_fuzz}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$folder/crashes" "$folder/logs"
printf '%-14s %14s %8s %s\n' target executions cov result
failed=0
for name in "${targets[@]}"; do
  corpus="$folder/corpus/$name"
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$folder/crashes/$name-")
  [ -f "$here/fuzz/$name/$name.dict" ] && options+=(-dict="$here/fuzz/$name/$name.dict")
  seeds=()
  [ -d "$here/fuzz/$name/seeds" ] && seeds+=("$here/fuzz/$name/seeds")
  log="$folder/logs/$name.log"
  result=ok
  "$folder/fuzz/${name}_fuzz" "${options[@]}" "$corpus" "${seeds[@]}" >"$log" 2>&1 || { result="CRASH (see $log)"; failed=1; }
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  printf '%-14s %14s %8s %s\n' "$name" "${executions:-?}" "${cov:-?}" "$result"
done
exit $failed
