#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once as built for use, once under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the lock-free rings under ThreadSanitizer.
set -euo pipefail
# Every test runs once: tests that talk to pseudo-terminals, sockets, threads and displays wait for the
# state they expect with generous limits, never for a time, so a machine busy with other work makes them
# slower but not red. A test that fails only sometimes is a fault to mend, not to run again.
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

scripts/build.sh build -DVESTREL_TESTS=ON -DVESTREL_BENCH=ON
(cd build && ctest --output-on-failure -j "$jobs")

# The fuzz harnesses over their corpora, each input once, where clang is installed: a fault a change
# brings back shows at once, and the run is the same every time (generating new inputs here would turn
# the run red at random on faults the change did not make; scripts/fuzz.sh with seconds does that).
if command -v clang++ >/dev/null; then scripts/fuzz.sh 0; fi

scripts/build.sh build-asan -DVESTREL_SANITIZE=ON -DVESTREL_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j "$jobs")

scripts/build.sh build-tsan -DVESTREL_TSAN_RINGS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build-tsan && ctest --output-on-failure)
