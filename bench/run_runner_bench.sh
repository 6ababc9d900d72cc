#!/bin/sh
# Builds the runner and compile-step benchmarks in an optimised build folder, runs each with
# interleaved repetitions and prints, per output size, the median times and their ratios to the bare
# reference of the same run.
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$source_dir/build-bench}
repetitions=${REPETITIONS:-5}

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARKMARQ_BENCH=ON \
  -DPARKMARQ_TESTS=OFF >/dev/null
ninja -C "$build_dir" -j2 runner_bench compile_bench runner_child >/dev/null

# run BENCHMARK REFERENCE NAME...: a table of the medians of REFERENCE and each NAME, with each NAME's
# ratio to REFERENCE.
run() {
  benchmark=$1
  shift
  "$build_dir/bench/$benchmark" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true --benchmark_format=csv 2>/dev/null |
    awk -F, -v names="$*" '
      $1 ~ /_median"$/ {
        split($1, part, "[/\"]+")   # "BM_BareRead/1048576/real_time_median" -> "", BM_BareRead, 1048576, ...
        time[part[2], part[3]] = $3; unit = $5; sizes[part[3]] = 1
      }
      END {
        gsub(/"/, "", unit)
        count = split(names, name, " ")
        n = 0
        for (s in sizes) order[++n] = s + 0
        for (i = 2; i <= n; i++)
          for (j = i; j > 1 && order[j - 1] > order[j]; j--) { t = order[j]; order[j] = order[j - 1]; order[j - 1] = t }
        printf "median %s %s", unit, name[1]
        for (k = 2; k <= count; k++) printf "  %s  ratio", name[k]
        printf "\n"
        for (i = 1; i <= n; i++) {
          s = order[i]
          reference = time["BM_" name[1], s]
          printf "%6d MiB %10.1f", s / 1048576, reference
          for (k = 2; k <= count; k++) printf " %10.1f %6.3f", time["BM_" name[k], s], time["BM_" name[k], s] / reference
          printf "\n"
        }
      }'
}

run runner_bench BareRead ExecuteCommand ExecuteCommandFreshRunner
echo
run compile_bench BareReadAndBufferedLog CompileStep
