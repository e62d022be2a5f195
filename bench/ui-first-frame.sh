#!/usr/bin/env bash
# The UI framework's first frame, animation tick and picture memory (bench/UiFirstFrame.cpp), on the
# headless display with the benchmark skin embedded. Each run is a fresh process, started from a
# shell that reads its clock just before it becomes the program, so the start is timed from the
# exec on; /usr/bin/time times the whole process from outside (wall seconds, peak resident memory).
# Prints the median of every figure over the runs, with its smallest and largest value, and judges
# the targets on the medians. Usage: bench/ui-first-frame.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-7}"

scripts/bootstrap
cmake --preset default >/dev/null
cmake --build --preset default --target ui-first-frame >/dev/null
bench="$PWD/build/bin/ui-first-frame"

work=$(mktemp -d "${TMPDIR:-/tmp}/ui-first-frame.XXXXXX")
trap 'rm -rf "$work"' EXIT

for run in $(seq "$runs"); do
  # shellcheck disable=SC2016 # $EPOCHREALTIME is read by the shell that then becomes the program
  LC_ALL=C /usr/bin/time -f "%e %M" -o "$work/time.$run" \
    bash -c 'exec "$0" --launched-at "$EPOCHREALTIME"' "$bench" > "$work/run.$run" ||
    { echo "ui-first-frame failed"; cat "$work/run.$run"; exit 1; }
done

sed -n '1,2p' "$work/run.1"
printf '%d runs, medians (smallest to largest)\n' "$runs"
# "name: value unit" lines, in the order the program prints them.
awk '
  match($0, /^[^:]+: +-?[0-9.]+/) {
    name = substr($0, 1, index($0, ":") - 1)
    split(substr($0, index($0, ":") + 1), rest, " ")
    if (!(name in count)) { order[++names] = name; unit[name] = rest[2] ~ /^(ms|s|MiB|%)$/ ? rest[2] : "" }
    values[name, ++count[name]] = rest[1]
  }
  END {
    for (i = 1; i <= names; i++) {
      name = order[i]; n = count[name]
      for (j = 1; j <= n; j++) v[j] = values[name, j] + 0
      for (j = 2; j <= n; j++) for (k = j; k > 1 && v[k - 1] > v[k]; k--) { t = v[k]; v[k] = v[k - 1]; v[k - 1] = t }
      printf "%-48s %10.3f %-3s (%.3f to %.3f)\n", name ":", v[int((n + 1) / 2)], unit[name], v[1], v[n]
      median[name] = v[int((n + 1) / 2)]
    }
    ratio = median["layout and paint over unpack and decode"]
    tick = median["tick cpu at the 30 ms period"]
    printf "first frame target (layout and paint at most 20%% over unpack and decode): %s\n", ratio <= 0.20 ? "PASS" : "FAIL"
    printf "tick target (under 1 ms of cpu per 30 ms tick): %s\n", tick < 1.0 ? "PASS" : "FAIL"
  }' "$work"/run.*
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
printf '%-48s %10.3f s   (wall, /usr/bin/time, 10 ms steps)\n' "whole process:" "$(cut -d' ' -f1 "$work"/time.* | median)"
printf '%-48s %10.1f MiB (peak resident, /usr/bin/time)\n' "whole process peak:" \
  "$(cut -d' ' -f2 "$work"/time.* | median | awk '{ print $1 / 1024 }')"
