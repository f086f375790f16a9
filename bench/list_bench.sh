#!/usr/bin/env bash
# How `ordinex-cli list` scales: 100,000 and 1,000,000 combinations.
# Time should grow linearly (ratio near 10) and memory not at all.
# Usage: bench/list_bench.sh [path/to/ordinex-cli]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=$(realpath "${1:-$here/../build/ordinex-cli}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_job() { # name, range1 end, range2 end
  cat > "$work/$1.odx" <<JOB
[UrlFolder]
UrlBaseText=http://127.0.0.1:8080/archive
UrlExpansionText=vol?/page*.jpg
FolderBaseText=/tmp/ordinex-bench
FolderExpansionText=vol?/page*.jpg
[Ordinseq]
WildCard1Check=1
WildCard1Start=0001
WildCard1End=$2
WildCard2Check=1
WildCard2Start=1
WildCard2End=$3
JOB
}
make_job small 1000 100
make_job large 1000 1000

cd "$work"
read -r small_line < <("$here/measure.py" --repeat 3 -- "$cli" list small.odx)
read -r large_line < <("$here/measure.py" --repeat 3 -- "$cli" list large.odx)
"$cli" list large.odx | wc -l | xargs printf 'lines in the large job: %s\n'
python3 - "$small_line" "$large_line" <<'PY'
import sys
def parse(line):
    return dict(kv.split("=") for kv in line.split())
s, l = parse(sys.argv[1]), parse(sys.argv[2])
ts, tl = float(s["seconds"]), float(l["seconds"])
print(f"list   100,000 combinations: {ts:.3f} s  peak {int(s['peak_kib'])/1024:.1f} MiB")
print(f"list 1,000,000 combinations: {tl:.3f} s  peak {int(l['peak_kib'])/1024:.1f} MiB")
print(f"time ratio (1M / 100k): {tl/ts:.2f}  (10 = linear)")
print(f"memory ratio (1M / 100k): {int(l['peak_kib'])/int(s['peak_kib']):.2f}  (1 = flat)")
print(f"rate: {1_000_000/tl:,.0f} combinations/s")
PY
