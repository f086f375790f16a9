#!/usr/bin/env bash
# Transfer speed and memory of `ordinex-cli run` against curl, on one nginx
# serving 127.0.0.1, in one run:
#   1. one 1 GiB file: ordinex-cli run vs curl -o            (target: ratio >= 1.0)
#   2. 2,000 files of 16 KiB: ordinex-cli run vs curl's glob  (target: ratio >= 0.7)
#   3. peak resident memory of ordinex-cli                    (target: < 40 MB)
#   4. how long Ctrl+C (Stop) takes to end a transfer          (target: < 100 ms)
# Ratios are curl's time divided by ordinex-cli's: above 1 means Ordinex is faster.
# Usage: bench/transfer_bench.sh [path/to/ordinex-cli] [repeats]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=$(realpath "${1:-$here/../build/ordinex-cli}")
repeat=${2:-3}
work=$(mktemp -d /tmp/ordinex-bench.XXXXXX)
# Downloads land in memory-backed storage when there is some, so that the
# disk's write-back (which swings by a factor of two from run to run here)
# does not decide the result; BENCH_OUT picks another folder.
out=${BENCH_OUT:-/dev/shm}
[ -d "$out" ] && [ -w "$out" ] || out=$work
out=$(mktemp -d "$out/ordinex-bench-out.XXXXXX")
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cleanup() {
  [ -f "$work/nginx.pid" ] && kill "$(cat "$work/nginx.pid")" 2>/dev/null || true
  rm -rf "$work" "$out"
}
trap cleanup EXIT

mkdir -p "$work/www/slow" "$work/tmp"
truncate -s 1G "$work/www/big.bin"
truncate -s 64M "$work/www/slow/big.bin"
/usr/bin/python3 - "$work/www" <<'PY'
import os, sys
data = os.urandom(16384)
for i in range(1, 2001):
    with open(os.path.join(sys.argv[1], f"f{i:04d}.bin"), "wb") as f:
        f.write(data)
PY
chmod -R a+rX "$work"

cat > "$work/nginx.conf" <<CONF
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log;
user $(id -un) $(id -gn);
events { worker_connections 1024; }
http {
  access_log off;
  sendfile on;
  tcp_nopush on;
  keepalive_requests 100000;
  client_body_temp_path $work/tmp;
  proxy_temp_path $work/tmp;
  fastcgi_temp_path $work/tmp;
  uwsgi_temp_path $work/tmp;
  scgi_temp_path $work/tmp;
  server {
    listen 127.0.0.1:$port;
    root $work/www;
    location /slow/ { limit_rate 2m; }
  }
}
CONF
nginx -c "$work/nginx.conf" -e "$work/error.log"
for _ in $(seq 50); do curl -fs -o /dev/null "http://127.0.0.1:$port/f0001.bin" && break; sleep 0.1; done

job() { # file, url base, url expansion, folder base, folder expansion, [range]
  {
    echo "[UrlFolder]"
    echo "UrlBaseText=$2"
    echo "UrlExpansionText=$3"
    echo "FolderBaseText=$4"
    echo "FolderExpansionText=$5"
    echo "[Ordinseq]"
    if [ -n "${6:-}" ]; then echo "WildCard1Check=1"; echo "WildCard1Start=0001"; echo "WildCard1End=$6"; fi
    echo "[Program]"
    echo "ReadProgramSettingByOpen=1"
    echo "ShowWarningDialogSetting=0"
    echo "[Download]"
    echo "SaveSetting=1"
  } > "$1"
}
job "$work/big.odx" "http://127.0.0.1:$port" "big.bin" "$out/out-o" "big.bin"
job "$work/series.odx" "http://127.0.0.1:$port" "f*.bin" "$out/series-o" "*.bin" 2000
job "$work/slow.odx" "http://127.0.0.1:$port/slow" "big.bin" "$work/out-s" "big.bin"

cd "$work"

# The two programs take turns, so that a busy moment of the machine does not
# fall on one of them only; the best time of each counts.
best() { # best-so-far line, new line -> the faster of the two (peak memory: the larger)
  /usr/bin/python3 - "$1" "$2" <<'PY'
import sys
def parse(line):
    return dict(kv.split("=") for kv in line.split()) if line else None
a, b = parse(sys.argv[1]), parse(sys.argv[2])
if a is None:
    a = b
t = min(float(a["seconds"]), float(b["seconds"]))
m = max(int(a["peak_kib"]), int(b["peak_kib"]))
print(f"seconds={t:.4f} peak_kib={m}")
PY
}
echo "== 1 GiB file and 2,000 files of 16 KiB, taking turns (best of $repeat) =="
echo "downloads go to $out"
big_o="" big_c="" ser_o="" ser_c=""
# Every run starts without the files of the previous one: neither program
# pays for truncating a gigabyte the other left behind.
fresh() { rm -rf "$out/out-o" "$out/out-c.bin" "$out/series-o" "$out/series-c"; mkdir -p "$out/series-c"; }
for _ in $(seq "$repeat"); do
  fresh; big_o=$(best "$big_o" "$("$here/measure.py" -- "$cli" run big.odx)")
  fresh; big_c=$(best "$big_c" "$("$here/measure.py" -- curl -s -o "$out/out-c.bin" "http://127.0.0.1:$port/big.bin")")
  fresh; ser_o=$(best "$ser_o" "$("$here/measure.py" -- "$cli" run series.odx)")
  fresh; ser_c=$(best "$ser_c" "$("$here/measure.py" -- curl -s "http://127.0.0.1:$port/f[0001-2000].bin" -o "$out/series-c/#1.bin")")
done
fresh; "$cli" run series.odx 2>/dev/null
count=$(ls "$out/series-o" | wc -l)
[ "$count" -eq 2000 ] || { echo "ordinex-cli saved $count files of 2000" >&2; exit 1; }
cmp -s "$work/www/f1234.bin" "$out/series-o/1234.bin" || { echo "content differs" >&2; exit 1; }

echo "== Stop =="
stop_ms=$(/usr/bin/python3 - "$cli" <<'PY'
import os, signal, subprocess, sys, time
samples = []
for _ in range(5):
    p = subprocess.Popen([sys.argv[1], "run", "slow.odx"], stderr=subprocess.DEVNULL)
    time.sleep(0.7)
    t = time.perf_counter()
    p.send_signal(signal.SIGINT)
    p.wait()
    samples.append((time.perf_counter() - t) * 1000)
samples.sort()
print(f"{samples[len(samples)//2]:.1f}")
PY
)

/usr/bin/python3 - "$big_o" "$big_c" "$ser_o" "$ser_c" "$stop_ms" <<'PY'
import sys
def parse(line):
    return dict(kv.split("=") for kv in line.split())
bo, bc, so, sc = (parse(a) for a in sys.argv[1:5])
stop = float(sys.argv[5])
def row(name, o, c, target):
    to, tc = float(o["seconds"]), float(c["seconds"])
    ratio = tc / to
    print(f"{name:28s} ordinex-cli {to:7.3f} s   curl {tc:7.3f} s   ratio {ratio:5.2f}  (target >= {target}) {'ok' if ratio >= target else 'MISSED'}")
row("1 GiB file", bo, bc, 1.0)
row("2,000 x 16 KiB series", so, sc, 0.7)
print(f"1 GiB throughput: ordinex-cli {1024/float(bo['seconds']):.0f} MiB/s, curl {1024/float(bc['seconds']):.0f} MiB/s")
peak = max(int(bo["peak_kib"]), int(so["peak_kib"])) / 1024
print(f"ordinex-cli peak resident memory: {peak:.1f} MiB (1 GiB file {int(bo['peak_kib'])/1024:.1f}, series {int(so['peak_kib'])/1024:.1f})  (target < 40) {'ok' if peak < 40 else 'MISSED'}")
print(f"Stop to exit (median of 5): {stop:.1f} ms  (target < 100) {'ok' if stop < 100 else 'MISSED'}")
PY
