#!/usr/bin/env bash
# Runs the libFuzzer targets of build/fuzz (make fuzz builds them), one after another.
#   tools/fuzz.sh [LIMIT] [TARGET...]
# LIMIT is seconds per target (default 60) or "runs=N" for N executions each; TARGET is
# definitions, profile, profilesini, backup, text, wildcard or winapp2 (default: all). Each target
# keeps its corpus in build/fuzz/corpus/TARGET (seeded from tests/fuzz/seeds/TARGET) and
# writes any crash to build/fuzz/crashes/TARGET/; a crash ends the script with status 1.
# The last line per target: "TARGET: N executions, corpus N inputs, N crashes".
# FUZZ_BUILD names another build of the targets (say one without AddressSanitizer, several
# times faster); the corpus and the crashes stay under build/fuzz.
set -uo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$repo/build/fuzz
exes=${FUZZ_BUILD:-$build}
limit=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(definitions profile profilesini backup text wildcard winapp2)
case $limit in
  runs=*) bound=(-runs="${limit#runs=}") ;;
  *) bound=(-max_total_time="$limit") ;;
esac
# Stack traces of allocations and a large quarantine make every execution several
# times slower; a crash found is run again with the defaults to report it in full.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=0}
status=0
for t in "${targets[@]}"; do
  exe=$exes/${t}_fuzz
  [ -x "$exe" ] || { echo "missing $exe (make fuzz builds it)" >&2; exit 2; }
  corpus=$build/corpus/$t crashes=$build/crashes/$t
  mkdir -p "$corpus" "$crashes"
  # A target's own libFuzzer options (tests/fuzz/TARGET.options, one line) and dictionary.
  options=()
  [ -f "$repo/tests/fuzz/$t.options" ] && read -r -a options <"$repo/tests/fuzz/$t.options"
  [ -f "$repo/tests/fuzz/$t.dict" ] && options+=(-dict="$repo/tests/fuzz/$t.dict")
  log=$build/$t.log
  "$exe" "${bound[@]}" "${options[@]}" -entropic=0 -print_final_stats=1 \
    -artifact_prefix="$crashes/" "$corpus" "$repo/tests/fuzz/seeds/$t" >"$log" 2>&1
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  found=$(find "$crashes" -type f | wc -l)
  echo "$t: ${runs:-0} executions, corpus $(find "$corpus" -type f | wc -l) inputs, $found crashes"
  if [ "$found" != 0 ]; then
    status=1
    grep -m 3 -E 'invariant broken|ERROR:|SUMMARY' "$log" | sed 's/^/    /'
    for crash in "$crashes"/*; do
      ASAN_OPTIONS= "$exe" "$crash" >"$crash.txt" 2>&1
      echo "    $crash (report: $crash.txt)"
    done
  fi
done
exit "$status"
