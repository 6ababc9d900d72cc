#!/bin/sh
# Builds the runner and compile-step benchmarks in an optimised build folder, runs each with
# interleaved repetitions and prints, per output size, the median times and their ratios to the bare
# reference of the same run; then the compile step once per fresh process, with its peak memory.
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
echo

# The compile step and its reference, each once in a fresh process, in turn: the median seconds and
# the median peak resident memory of the process, and the peak's excess over the output.
printf 'fresh process, median of %d: reference ms, peak MiB; compile step ms, peak MiB; ratio; peak - output\n' \
  "$repetitions"
for mib in 1 16 64 86; do
  bytes=$((mib * 1048576))
  for i in $(seq "$repetitions"); do
    for what in reference compile; do
      echo "$what $("$build_dir/bench/compile_bench" --fresh "$what" "$bytes")"
    done
  done | awk -v mib="$mib" -v n="$repetitions" '
    function median(list, count,   i, j, t) {
      for (i = 2; i <= count; i++)
        for (j = i; j > 1 && list[j - 1] > list[j]; j--) { t = list[j]; list[j] = list[j - 1]; list[j - 1] = t }
      return count % 2 ? list[(count + 1) / 2] : (list[count / 2] + list[count / 2 + 1]) / 2
    }
    { k = ++count[$1]; seconds[$1, k] = $2; peak[$1, k] = $3 / 1048576 }
    END {
      for (w = 1; w <= 2; w++) {
        what = w == 1 ? "reference" : "compile"
        for (k = 1; k <= n; k++) { s[k] = seconds[what, k]; p[k] = peak[what, k] }
        ms[what] = median(s, n) * 1000; mp[what] = median(p, n)
      }
      printf "%6d MiB %10.1f %7.1f %10.1f %7.1f %6.3f %7.1f\n", mib, ms["reference"], mp["reference"], ms["compile"],
        mp["compile"], ms["compile"] / ms["reference"], mp["compile"] - mib
    }'
done
