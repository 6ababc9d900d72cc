#!/bin/sh
# Builds the runner benchmark in an optimised build folder, runs it with interleaved repetitions
# and prints, per output size, the median times and their ratios to the bare read loop.
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$source_dir/build-bench}
repetitions=${REPETITIONS:-5}

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARKMARQ_BENCH=ON \
  -DPARKMARQ_TESTS=OFF >/dev/null
ninja -C "$build_dir" -j2 runner_bench runner_child >/dev/null

"$build_dir/bench/runner_bench" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
  --benchmark_enable_random_interleaving=true --benchmark_format=csv 2>/dev/null |
  awk -F, '
    $1 ~ /_median"$/ {
      split($1, part, "[/\"]+")   # "BM_BareRead/1048576/real_time_median" -> "", BM_BareRead, 1048576, ...
      time[part[2], part[3]] = $3; unit = $5; sizes[part[3]] = 1
    }
    END {
      gsub(/"/, "", unit)
      n = 0
      for (s in sizes) order[++n] = s + 0
      for (i = 2; i <= n; i++)
        for (j = i; j > 1 && order[j - 1] > order[j]; j--) { t = order[j]; order[j] = order[j - 1]; order[j - 1] = t }
      printf "median %s  %10s %16s %7s %16s %7s\n", unit, "bare read", "ExecuteCommand", "ratio", "fresh runner", "ratio"
      for (i = 1; i <= n; i++) {
        s = order[i]
        bare = time["BM_BareRead", s]; warm = time["BM_ExecuteCommand", s]; cold = time["BM_ExecuteCommandFreshRunner", s]
        printf "%6d MiB %13.1f %16.1f %7.3f %16.1f %7.3f\n", s / 1048576, bare, warm, warm / bare, cold, cold / bare
      }
    }'
