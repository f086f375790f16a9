#!/usr/bin/env bash
# HTTPS transfer speed of Ordinex against curl, in one run, on one nginx
# serving 127.0.0.1 over TLS with a certificate authority made for the run
# (tests/servers/tls_certs.py), which both programs are told to trust:
#   1. 2,000 files of 16 KiB: ordinex-cli run vs curl's URL glob  (target: ratio >= 1.0)
#   2. one 1 GiB file: ordinex-cli run vs curl -o                 (reported)
# Ratios are curl's time divided by Ordinex's: above 1 means Ordinex is
# faster. Each figure is the best of the repeats, with the median and the
# worst beside it; the programs take turns.
# Usage: bench/https_bench.sh [build dir (or its ordinex-cli)] [repeats]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
[ -d "$build" ] || build=$(dirname "$build")
build=$(realpath "$build")
cli=$build/ordinex-cli
repeat=${2:-3}
work=$(mktemp -d /tmp/ordinex-https-bench.XXXXXX)
# Downloads land in memory-backed storage when there is some (BENCH_OUT picks another folder).
out=${BENCH_OUT:-/dev/shm}
[ -d "$out" ] && [ -w "$out" ] || out=$work
out=$(mktemp -d "$out/ordinex-https-out-XXXXXX")
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cleanup() {
  [ -f "$work/nginx.pid" ] && kill "$(cat "$work/nginx.pid")" 2>/dev/null || true
  rm -rf "$work" "$out"
}
trap cleanup EXIT

mkdir -p "$work/www" "$work/tmp" "$work/samples"
/usr/bin/python3 "$here/../tests/servers/tls_certs.py" "$work/tls"
truncate -s 1G "$work/www/big.bin"
/usr/bin/python3 - "$work" <<'PY'
import os, sys
data = os.urandom(16384)
for i in range(1, 2001):
    with open(os.path.join(sys.argv[1], "www", f"f{i:04d}.bin"), "wb") as f:
        f.write(data)
PY
chmod -R a+rX "$work/www"

. "$here/nginx.sh"
start_nginx "$work" "  access_log off;" "    listen 127.0.0.1:$port ssl;
    ssl_certificate $work/tls/localhost.pem;
    ssl_certificate_key $work/tls/localhost.key;
    ssl_protocols TLSv1.2 TLSv1.3;
    root $work/www;"
ca=$work/tls/ca.pem
https="https://127.0.0.1:$port"
for _ in $(seq 50); do curl -fs --cacert "$ca" -o /dev/null "$https/f0001.bin" && break; sleep 0.1; done
curl -fs --cacert "$ca" -o /dev/null "$https/f0001.bin" || { echo "nginx does not answer over HTTPS" >&2; exit 1; }

job() { # file, url expansion, folder expansion, [range end]
  {
    echo "[UrlFolder]"
    echo "UrlBaseText=$https"
    echo "UrlExpansionText=$2"
    echo "FolderBaseText=$out/o"
    echo "FolderExpansionText=$3"
    echo "[Ordinseq]"
    if [ -n "${4:-}" ]; then echo "WildCard1Check=1"; echo "WildCard1Start=0001"; echo "WildCard1End=$4"; fi
    echo "[Program]"
    echo "ReadProgramSettingByOpen=1"
    echo "ShowWarningDialogSetting=0"
    echo "[Download]"
    echo "SaveSetting=1"
    echo "UseHttpsSetting=1"
  } > "$1"
}
job "$work/series.odx" "f*.bin" "*.bin" 2000
job "$work/big.odx" "big.bin" "big.bin"
# The run trusts the authority of this run only; nothing else is changed.
export ORDINEX_TEST_CAINFO=$ca

cd "$work"
fresh() { rm -rf "$out"/*; mkdir -p "$out/curl"; }
sample() { # label, command...
  local label=$1; shift
  fresh
  "$here/measure.py" -- "$@" >>"$work/samples/$label"
}

echo "downloads go to $out; $repeat turns"
# One untimed 1 GiB download first: memory-backed storage touched for the
# first time costs several times a later write, whoever goes first.
fresh; curl -s --cacert "$ca" -o "$out/curl/big.bin" "$https/big.bin"; fresh
for turn in $(seq "$repeat"); do
  echo "== turn $turn =="
  sample series-o "$cli" run series.odx
  sample series-c curl -s --cacert "$ca" "$https/f[0001-2000].bin" -o "$out/curl/#1.bin"
  sample big-o "$cli" run big.odx
  sample big-c curl -s --cacert "$ca" -o "$out/curl/big.bin" "$https/big.bin"
done

# What the run saved is what the server holds, and a refused certificate saves nothing.
fresh; "$cli" run series.odx 2>/dev/null
n=$(ls "$out/o" | wc -l)
[ "$n" -eq 2000 ] || { echo "saved $n files of 2000" >&2; exit 1; }
cmp -s "$work/www/f1234.bin" "$out/o/1234.bin" || { echo "content differs" >&2; exit 1; }
fresh
if ORDINEX_TEST_CAINFO= "$cli" run big.odx 2>/dev/null || [ -e "$out/o/big.bin" ]; then
  echo "an untrusted certificate was accepted" >&2; exit 1
fi

/usr/bin/python3 - "$work/samples" <<'PY'
import os, statistics, sys
folder = sys.argv[1]
def load(label):
    rows = [dict(kv.split("=") for kv in line.split()) for line in open(os.path.join(folder, label)) if line.strip()]
    return sorted(float(r["seconds"]) for r in rows)
def spread(s):
    return f"{s[0]:7.3f} s (median {statistics.median(s):.3f}, worst {s[-1]:.3f})"
def row(name, o, c, target=None):
    ratio = c[0] / o[0]
    med = statistics.median(c) / statistics.median(o)
    worst = c[-1] / o[-1]
    print(f"{name:22s} ordinex {spread(o)}   curl {spread(c)}")
    goal = f"  (target >= {target}) {'ok' if ratio >= target else 'MISSED'}" if target else ""
    print(f"{'':22s} ratio best {ratio:5.2f}, median {med:.2f}, worst {worst:.2f}{goal}")
row("HTTPS 2,000 x 16 KiB", load("series-o"), load("series-c"), 1.0)
bo, bc = load("big-o"), load("big-c")
row("HTTPS 1 GiB file", bo, bc)
print(f"{'':22s} throughput: ordinex-cli {1024 / bo[0]:.0f} MiB/s, curl {1024 / bc[0]:.0f} MiB/s")
PY
