#!/bin/sh
# Picking one airport out of a large apt.dat: parkmarq-batch --stands against awk printing the same
# airport's 1300 rows from the same file, in the same run. Writes a synthetic apt.dat of SIZE_MB
# megabytes (default 100) whose airports look like real ones (pavement nodes, taxi routes, stands),
# the one picked last, so that both read the whole file. Prints the median times of REPETITIONS runs
# (default 5, interleaved), their ratio, and the peak memory of parkmarq-batch. Uses only the build's
# own program, python3 (a build dependency) and awk.
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$source_dir/build-bench}
size_mb=${SIZE_MB:-100}
repetitions=${REPETITIONS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARKMARQ_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j2 --target parkmarq-batch >/dev/null

python3 - "$work/apt.dat" "$size_mb" "$build_dir/parkmarq/parkmarq-batch" "$repetitions" <<'PYTHON'
import random, resource, statistics, subprocess, sys, time

path, size_mb, program, repetitions = sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4])
random.seed(1)
target = size_mb * 1000 * 1000

def airport(icao, stands):
    lat, lon = random.uniform(-60, 60), random.uniform(-170, 170)
    rows = [f"1    {random.randint(0, 3000)} 0 0 {icao} Airport {icao}\n",
            f"100 45.00 1 0 0.25 0 2 1 09L {lat:.8f} {lon:013.8f} 0 0 2 0 0 0 27R {lat:.8f} {lon + .03:013.8f} 0 0 2 0 0 0\n"]
    for _ in range(stands * 12):
        rows.append(f"111  {lat + random.uniform(0, .02):.8f} {lon + random.uniform(0, .02):013.8f}\n")
    for n in range(stands * 3):
        rows.append(f"1202 {n} {n + 1} twoway taxiway_E A{n}\n")
    for n in range(stands):
        rows.append(f"1300 {lat + random.uniform(0, .02):.8f} {lon + random.uniform(0, .02):013.8f} "
                    f"{random.uniform(0, 360):.2f} gate heavy|jets Gate A{n}\n1301 E airline DLH\n")
    return "".join(rows)

written = 0
with open(path, "w") as out:
    out.write("I\n1100 Generated for the benchmark\n\n")
    number = 0
    while written < target:
        text = airport(f"X{number:03d}", 40)
        out.write(text)
        written += len(text)
        number += 1
    out.write(airport("ZLST", 120) + "99\n")

awk = ["awk", '$1==1||$1==16||$1==17{a=($5=="ZLST")} a&&$1==1300', path]
ours = [program, "--stands", path, "--airport", "ZLST", "--kind", "all", "--template", "Nose-in sign (heading only)"]
times = {"awk": [], "parkmarq": []}
for _ in range(repetitions):
    for name, command in (("awk", awk), ("parkmarq", ours)):
        start = time.perf_counter()
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True)
        times[name].append(time.perf_counter() - start)
        lines = done.stdout.count(b"\n")
        if lines != 120 + (name == "parkmarq"):
            sys.exit(f"{name} printed {lines} lines instead of 120 stands")
# Peak memory of parkmarq-batch alone: run once more from a child of its own.
measure = "import resource, subprocess, sys; subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, " \
          "stderr=subprocess.DEVNULL, check=True); print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)"
peak = int(subprocess.run([sys.executable, "-c", measure, *ours], stdout=subprocess.PIPE, check=True).stdout)  # KiB
awk_time, our_time = statistics.median(times["awk"]), statistics.median(times["parkmarq"])
print(f"apt.dat of {written / 1e6:.0f} MB, {number + 1} airports, the last one picked (median of {repetitions})")
print(f"awk printing its 1300 rows:        {awk_time * 1000:8.0f} ms")
print(f"parkmarq-batch --stands --airport: {our_time * 1000:8.0f} ms   ratio {our_time / awk_time:.2f}")
print(f"peak memory of parkmarq-batch:     {peak / 1024:8.1f} MiB")
PYTHON
