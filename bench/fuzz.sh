#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan on) and runs each
# for the given time, niced, one after the other:
#   ini          settings file text (load, save, load again)
#   job          job file text (open, save, open again)
#   url          URL cracking and the helpers built on it
#   ftp_listing  lines of an FTP LIST reply and their dates
#   http         HTTP and FTP response lines, HTTP dates
#   page         web pages: character sets, elements, link addresses
# Usage: bench/fuzz.sh [seconds per target, default 60] [target ...]
# New inputs go to build-fuzz/corpus/TARGET (seeded from fuzz/corpus/TARGET);
# a crash leaves its input in build-fuzz/artifacts/TARGET. Copy such an input
# to fuzz/regressions/TARGET/ once fixed: the core tests replay that folder.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(ini job url ftp_listing http page)

bash "$here/scripts/install-deps.sh" --fuzz
build=${FUZZ_BUILD_DIR:-$here/build-fuzz}
cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 -DORDINEX_FUZZ=ON -DORDINEX_GUI=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"${FUZZ_JOBS:-2}" --target $(printf 'fuzz_%s ' "${targets[@]}") >/dev/null

status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  artifacts="$build/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  [ -d "$here/fuzz/corpus/$t" ] && cp -n "$here/fuzz/corpus/$t"/* "$corpus"/ 2>/dev/null || true
  start=$(date +%s)
  if nice -n 10 "$build/fuzz/fuzz_$t" "$corpus" -max_total_time="$seconds" -max_len=4096 \
      -artifact_prefix="$artifacts/" -print_final_stats=1 >"$build/fuzz_$t.log" 2>&1; then
    result=ok
  else
    result="FOUND (see $build/fuzz_$t.log and $artifacts)"
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/fuzz_$t.log" | grep -o '[0-9]*$' || echo "?")
  printf '%-12s %5ss  %10s runs  %s\n' "$t" "$(( $(date +%s) - start ))" "$runs" "$result"
done
exit $status
