#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang into build-fuzz and runs each for the given number
# of seconds (default 60) on a copy of its seed corpus, all at once; 0 runs each corpus input once.
# A finding stops with its input in build-fuzz/findings/<harness>/. Needs clang and its runtime
# libraries (Debian: clang, libclang-rt-dev).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is not installed" >&2; exit 1; }
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVESTREL_FUZZ=ON -DVESTREL_TESTS=OFF -DVESTREL_BENCH=OFF >/dev/null
cmake --build build-fuzz --parallel "$(nproc)"
status=0
pids=()
for harness in build-fuzz/fuzz/fuzz_*; do
  [ -f "$harness" ] && [ -x "$harness" ] || continue
  name=$(basename "$harness" | sed 's/^fuzz_//')
  # Absolute paths: each harness works in a scratch folder of its own.
  work=$PWD/build-fuzz/corpus/$name findings=$PWD/build-fuzz/findings/$name
  mkdir -p "$work" "$findings"
  cp -n fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
  # 0 seconds: every input of the corpus once, nothing generated (the same run every time).
  if [ "$seconds" = 0 ]; then limit=-runs=0; else limit=-max_total_time=$seconds; fi
  ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen "$harness" "$limit" -rss_limit_mb=4096 \
      -timeout=20 -print_final_stats=1 -artifact_prefix="$findings/" "$work" > "build-fuzz/$name.log" 2>&1 &
  pids+=("$!:$name")
done
for entry in "${pids[@]}"; do
  pid=${entry%%:*} name=${entry#*:}
  if wait "$pid"; then result=ok; else result=FINDING; status=1; fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "build-fuzz/$name.log" | grep -o '[0-9]*$' || true)
  cov=$(grep -o 'cov: [0-9]*' "build-fuzz/$name.log" | tail -n1 || true)
  echo "$name: $result, ${runs:-?} runs, ${cov:-cov: ?} (log build-fuzz/$name.log)"
done
exit $status
