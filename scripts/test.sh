#!/usr/bin/env bash
# Checks the format of every C++ file, builds Ventaro and runs every test:
# the unit, command-line and window tests, then the command line and core
# built without Qt, then the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, then each fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# Now that everything is there, another run, and the window's subset that
# scripts/run.sh asks for on every start, must install nothing and say
# nothing: no apt-get, no sudo prompt.
for set in "" window; do
  if ! again=$(scripts/deps.sh $set 2>&1) || [ -n "$again" ]; then
    printf 'scripts/deps.sh%s is not quiet on a machine that has everything:\n%s\n' "${set:+ $set}" "$again" >&2
    exit 1
  fi
done

# The format: every C++ file in git as the repository's .clang-format has it.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

export QT_QPA_PLATFORM=offscreen

preset=default
[ "${CI:-}" = "true" ] && preset=ci

cmake --preset "$preset"
cmake --build --preset "$preset" -j2
ctest --preset "$preset" -j2

# Without Qt: the libraries, the command line (SVG pictures, PNG refused)
# and their tests; the window and the PNG module are left out.
cmake -S . -B build/noqt -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DVENTARO_BUILD_BENCH=OFF \
  -DVENTARO_WERROR="$([ "${CI:-}" = "true" ] && echo ON || echo OFF)" >/dev/null
cmake --build build/noqt -j2
ctest --test-dir build/noqt -j2 --output-on-failure

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer. Any
# finding fails (-fno-sanitize-recover), leaks included. Qt is not
# instrumented; a leak report from inside an uninstrumented library would be
# suppressed in tests/support/lsan.supp, with its reason.
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0"
asan_start=$SECONDS
cmake --preset asan
cmake --build --preset asan -j2
ctest --preset asan -j2
echo "Sanitizer build and suite: $((SECONDS - asan_start)) s"

# Fuzzing: each libFuzzer target for a bounded time (60 s on CI, a few
# seconds otherwise; VENTARO_FUZZ_SECONDS overrides), from a copy of the
# checked-in seed corpus so that new inputs stay out of the repository.
fuzz_seconds=${VENTARO_FUZZ_SECONDS:-5}
[ "${CI:-}" = "true" ] && fuzz_seconds=${VENTARO_FUZZ_SECONDS:-60}
cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVENTARO_FUZZ=ON \
  -DVENTARO_BUILD_UI=OFF -DVENTARO_BUILD_TESTS=OFF -DVENTARO_BUILD_BENCH=OFF >/dev/null
cmake --build build/fuzz -j2 --target fuzz_compute fuzz_station_count
fuzz_work=$(mktemp -d)
trap 'rm -rf "$fuzz_work"' EXIT
for target in compute station_count; do
  mkdir -p "$fuzz_work/$target"
  cp fuzz/corpus/$target/* "$fuzz_work/$target/"
  if ! build/fuzz/fuzz/fuzz_$target -max_total_time="$fuzz_seconds" -max_len=65536 -timeout=60 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$fuzz_work/" "$fuzz_work/$target" \
      >"$fuzz_work/$target.log" 2>&1; then
    tail -n 60 "$fuzz_work/$target.log"
    mkdir -p build/fuzz/findings
    cp "$fuzz_work"/crash-* "$fuzz_work"/leak-* "$fuzz_work"/timeout-* "$fuzz_work"/oom-* build/fuzz/findings/ 2>/dev/null || true
    echo "fuzz_$target found a fault; the input is kept in build/fuzz/findings/" >&2
    exit 1
  fi
  echo "fuzz_$target: $(grep -E '^Done [0-9]+ runs' "$fuzz_work/$target.log")"
done
