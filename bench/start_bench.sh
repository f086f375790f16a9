#!/usr/bin/env bash
# Start-up of the desktop program: from the start to its first mapped window,
# resident memory one second after the start, and the shared libraries it
# maps by then; ordinex-cli's library count beside it. Best of the repeats
# (median and worst beside), each start in a fresh folder with no settings,
# on a virtual display of its own without a window manager.
# Usage: bench/start_bench.sh [build dir] [repeats]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build}")
repeat=${2:-5}
probe=$build/bench/ordinex_start_probe
[ -x "$probe" ] || { echo "build the target ordinex_start_probe first" >&2; exit 2; }
work=$(mktemp -d /tmp/ordinex-start-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

run_all() {
  for ((i = 1; i <= repeat; i++)); do
    mkdir -p "$work/run$i" "$work/rt$i"
    chmod 700 "$work/rt$i"
    (cd "$work/run$i" && XDG_RUNTIME_DIR="$work/rt$i" "$probe" -- "$build/ordinex")
  done
}
export -f run_all
export work repeat probe build
"$here/../scripts/with-display.sh" -- bash -c run_all >"$work/lines"

summary() { # field name
  sed -n "s/.*$1=\([0-9.]*\).*/\1/p" "$work/lines" | sort -n |
    awk -v name="$2" '{v[NR]=$1} END {printf "%s best %s  median %s  worst %s\n", name, v[1], v[int((NR+1)/2)], v[NR]}'
}
summary map_ms "first window (ms):     "
summary rss_kib "resident after 1 s (KiB):"
summary libraries "shared libraries mapped: "
echo "ordinex-cli links $(ldd "$build/ordinex-cli" | wc -l) shared libraries, ordinex $(ldd "$build/ordinex" | wc -l)"
