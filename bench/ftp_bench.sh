#!/usr/bin/env bash
# FTP listing and FTP-list runs against curl, on one loopback FTP server
# (tests/servers/ftp_server.py, pyftpdlib), in one run:
#   1. a directory of 10,000 entries: ordinex-cli ls vs curl's LIST     (target: ratio >= 0.8)
#   2. the FTP tree & list window filling that list: what the window adds
#      to the listing, and last row in to list painted                 (target: < 1 s)
#   3. 200 files of 16 KiB: ordinex-cli fetch vs curl's URL glob        (target: ratio >= 0.9)
# Rows 1 and 3 are measured twice: in passive mode (Ordinex's default, curl
# --ftp-pasv) and in active mode (FtpPassiveSetting=0, curl -P -). Ratios are
# curl's time divided by Ordinex's: above 1 means Ordinex is faster.
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

# Ordinex reads its settings from the working folder (ls) and the job (fetch).
set_mode() { # passive|active
  if [ "$1" = passive ]; then passive=1 curl_mode=--ftp-pasv; else passive=0 curl_mode="-P -"; fi
  printf '[Download]\nFtpPassiveSetting=%s\n' "$passive" >"$work/Ordinex.ini"
}
declare -A ls_o ls_c run_o run_c
for mode in passive active; do
  set_mode "$mode"
  echo "== 1. listing 10,000 entries in $mode mode, taking turns (best of $repeat) =="
  o="" c=""
  for _ in $(seq "$repeat"); do
    o=$(best "$o" "$("$here/measure.py" -- "$cli" ls "$base/big/")")
    # shellcheck disable=SC2086
    c=$(best "$c" "$("$here/measure.py" -- curl -s $curl_mode "$base/big/")")
  done
  ls_o[$mode]=$o ls_c[$mode]=$c
done

set_mode passive
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
for mode in passive active; do
  set_mode "$mode"
  sed -i "/^FtpPassiveSetting=/d" "$work/fetch.odx"
  echo "FtpPassiveSetting=$passive" >>"$work/fetch.odx"
  o="" c=""
  for _ in $(seq "$repeat"); do
    fresh; o=$(best "$o" "$("$here/measure.py" -- "$cli" fetch fetch.odx "${urls[@]}")")
    # shellcheck disable=SC2086
    fresh; c=$(best "$c" "$("$here/measure.py" -- curl -s $curl_mode "$base/files/f[001-200].bin" -o "$out/fetch-c/#1.bin")")
  done
  run_o[$mode]=$o run_c[$mode]=$c
  fresh; "$cli" fetch fetch.odx "${urls[@]}" 2>/dev/null
  count=$(ls "$out/fetch-o" | wc -l)
  [ "$count" -eq 200 ] || { echo "ordinex-cli fetched $count files of 200 in $mode mode" >&2; exit 1; }
  cmp -s "$work/root/files/f123.bin" "$out/fetch-o/f123.bin" || { echo "content differs" >&2; exit 1; }
done

/usr/bin/python3 - "${ls_o[passive]}" "${ls_c[passive]}" "${ls_o[active]}" "${ls_c[active]}" \
  "${run_o[passive]}" "${run_c[passive]}" "${run_o[active]}" "${run_c[active]}" "$window" <<'PY'
import sys
def parse(line):
    return dict(kv.split("=") for kv in line.split()) if line else None
lop, lcp, loa, lca, rop, rcp, roa, rca, w = (parse(a) for a in sys.argv[1:10])
def row(name, o, c, target=None):
    to, tc = float(o["seconds"]), float(c["seconds"])
    ratio = tc / to
    verdict = "" if target is None else f"(target >= {target}) {'ok' if ratio >= target else 'MISSED'}"
    print(f"{name:34s} ordinex-cli {to:7.3f} s   curl {tc:7.3f} s   ratio {ratio:5.2f}  {verdict}")
row("ls of 10,000 entries, passive", lop, lcp, 0.8)
row("ls of 10,000 entries, active", loa, lca, 0.8)
if w:
    added = max(float(w["added_seconds"]), 0.0)
    print(f"{'window with 10,000 rows':34s} listing alone {float(w['core_seconds']):.3f} s, window {float(w['window_seconds']):.3f} s:"
          f" the window adds {added:.3f} s, last row to painted list {float(w['tail_seconds']):.3f} s"
          f"  (target < 1) {'ok' if added < 1.0 else 'MISSED'}")
else:
    print("window: not measured (no GUI build or no xvfb-run)")
row("fetch of 200 x 16 KiB, passive", rop, rcp, 0.9)
row("fetch of 200 x 16 KiB, active", roa, rca, 0.9)
PY
