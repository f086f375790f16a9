#!/usr/bin/env bash
# FTP listing and FTP-list runs against curl, on one loopback FTP server
# (tests/servers/ftp_server.py, pyftpdlib), in one run:
#   1. a directory of 10,000 entries: ordinex-cli ls vs curl's LIST     (target: ratio >= 0.8)
#   2. the FTP tree & list window filling that list: what the window adds
#      to the listing, and last row in to list painted                 (target: < 1 s)
#   3. 200 files of 16 KiB: ordinex-cli fetch vs curl's URL glob        (target: ratio >= 0.9)
# Both programs use active mode, as Ordinex always does. Ratios are curl's
# time divided by Ordinex's: above 1 means Ordinex is faster.
# Usage: bench/ftp_bench.sh [build dir] [repeats]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build}")
repeat=${2:-5}
cli=$build/ordinex-cli
window_bench=$build/bench/ordinex_ftp_window_bench
work=$(mktemp -d /tmp/ordinex-ftp-bench.XXXXXX)
out=${BENCH_OUT:-/dev/shm}
[ -d "$out" ] && [ -w "$out" ] || out=$work
# No dot in the folder: list runs turn every dot of the path but the last into "_".
out=$(mktemp -d "$out/ordinex-ftp-bench-out-XXXXXX")
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work" "$out"
}
trap cleanup EXIT

mkdir -p "$work/root/big" "$work/root/files"
/usr/bin/python3 - "$work/root" <<'PY'
import os, sys
root = sys.argv[1]
for i in range(10000):
    with open(os.path.join(root, "big", f"entry{i:05d}.dat"), "wb") as f:
        f.write(b"x" * (i % 97))
data = os.urandom(16384)
for i in range(1, 201):
    with open(os.path.join(root, "files", f"f{i:03d}.bin"), "wb") as f:
        f.write(data)
PY
/usr/bin/python3 "$here/../tests/servers/ftp_server.py" "$work/root" >"$work/port" &
server_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -n1 "$work/port")
base="ftp://127.0.0.1:$port"
cd "$work"

best() { # best-so-far line, new line -> the faster of the two
  /usr/bin/python3 - "$1" "$2" <<'PY'
import sys
def parse(line):
    return dict(kv.split("=") for kv in line.split()) if line else None
a, b = parse(sys.argv[1]), parse(sys.argv[2])
a = a or b
print(f"seconds={min(float(a['seconds']), float(b['seconds'])):.4f} peak_kib={max(int(a['peak_kib']), int(b['peak_kib']))}")
PY
}

# The same rows both ways (the default list filter lets every entry through).
"$cli" ls "$base/big/" >"$work/ls.txt"
rows=$(wc -l <"$work/ls.txt")
[ "$rows" -eq 10000 ] || { echo "ordinex-cli ls listed $rows of 10000" >&2; exit 1; }

echo "== 1. listing 10,000 entries, taking turns (best of $repeat) =="
ls_o="" ls_c=""
for _ in $(seq "$repeat"); do
  ls_o=$(best "$ls_o" "$("$here/measure.py" -- "$cli" ls "$base/big/")")
  ls_c=$(best "$ls_c" "$("$here/measure.py" -- curl -s -P - "$base/big/")")
done

echo "== 2. the window filling the list (best of $repeat) =="
window=""
if [ -x "$window_bench" ]; then
  window=$(xvfb-run -a -s "-screen 0 1280x1024x24" "$window_bench" "$base/big/" "$repeat" 2>/dev/null | tail -n1)
fi

echo "== 3. FTP-list run of 200 x 16 KiB (best of $repeat) =="
cat >"$work/fetch.odx" <<JOB
[UrlFolder]
FolderBaseText=$out/fetch-o
[Program]
ReadProgramSettingByOpen=1
ShowWarningDialogSetting=0
[Download]
SaveSetting=1
JOB
urls=()
for i in $(seq -f "%03g" 1 200); do urls+=("$base/files/f$i.bin"); done
fresh() { rm -rf "$out/fetch-o" "$out/fetch-c"; mkdir -p "$out/fetch-c"; }
run_o="" run_c=""
for _ in $(seq "$repeat"); do
  fresh; run_o=$(best "$run_o" "$("$here/measure.py" -- "$cli" fetch fetch.odx "${urls[@]}")")
  fresh; run_c=$(best "$run_c" "$("$here/measure.py" -- curl -s -P - "$base/files/f[001-200].bin" -o "$out/fetch-c/#1.bin")")
done
fresh; "$cli" fetch fetch.odx "${urls[@]}" 2>/dev/null
count=$(ls "$out/fetch-o" | wc -l)
[ "$count" -eq 200 ] || { echo "ordinex-cli fetched $count files of 200" >&2; exit 1; }
cmp -s "$work/root/files/f123.bin" "$out/fetch-o/f123.bin" || { echo "content differs" >&2; exit 1; }

/usr/bin/python3 - "$ls_o" "$ls_c" "$run_o" "$run_c" "$window" <<'PY'
import sys
def parse(line):
    return dict(kv.split("=") for kv in line.split()) if line else None
lo, lc, ro, rc, w = (parse(a) for a in sys.argv[1:6])
def row(name, o, c, target=None):
    to, tc = float(o["seconds"]), float(c["seconds"])
    ratio = tc / to
    verdict = "" if target is None else f"(target >= {target}) {'ok' if ratio >= target else 'MISSED'}"
    print(f"{name:30s} ordinex-cli {to:7.3f} s   curl {tc:7.3f} s   ratio {ratio:5.2f}  {verdict}")
row("ls of 10,000 entries", lo, lc, 0.8)
if w:
    added = max(float(w["added_seconds"]), 0.0)
    print(f"{'window with 10,000 rows':30s} listing alone {float(w['core_seconds']):.3f} s, window {float(w['window_seconds']):.3f} s:"
          f" the window adds {added:.3f} s, last row to painted list {float(w['tail_seconds']):.3f} s"
          f"  (target < 1) {'ok' if added < 1.0 else 'MISSED'}")
else:
    print("window: not measured (no GUI build or no xvfb-run)")
row("fetch of 200 x 16 KiB", ro, rc, 0.9)
PY
