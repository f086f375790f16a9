#!/usr/bin/env bash
# Link walk against wget's spider, on one nginx serving 127.0.0.1, in one run:
# a generated site of 200 pages with 20 links each, walked two steps deep from
# its first page by `ordinex-cli ls` (HttpListNextChoseSetting=2) and by
# `wget --spider -r -l2`. Pages per second: the distinct pages each program
# asked the server for, divided by its wall time (target: ratio >= 1.0).
# Then where Ordinex's time goes: its page loads and probes counted from the
# server's log, and the cost of one probe and of one page load measured alone.
# Then the same walk with 8 probes at once (ParallelTransfersSetting=8)
# against wget (target: ratio >= 1.0).
# Usage: bench/link_bench.sh [build dir] [repeats]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build}")
repeat=${2:-3}
cli=$build/ordinex-cli
work=$(mktemp -d /tmp/ordinex-link-bench.XXXXXX)
cleanup() {
  [ -f "$work/nginx.pid" ] && kill "$(cat "$work/nginx.pid")" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/www" "$work/tmp" "$work/run" "$work/run8" "$work/wget"
/usr/bin/python3 - "$work/www" <<'PY'
import os, sys
www = sys.argv[1]
pages = 200
for i in range(pages):
    links = [(i * 7 + k * 11 + 1) % pages for k in range(20)]
    body = "".join(f'<li><a href="p{n:03d}.html">page {n}</a></li>\n' for n in links)
    text = (f"<!DOCTYPE html>\n<html><head><title>page {i}</title>\n"
            f'<link rel="stylesheet" href="style.css"></head>\n'
            f"<body><h1>page {i}</h1>\n<ul>\n{body}</ul>\n"
            + "<p>" + "Lorem ipsum dolor sit amet. " * 40 + "</p>\n</body></html>\n")
    with open(os.path.join(www, f"p{i:03d}.html"), "w") as f:
        f.write(text)
with open(os.path.join(www, "style.css"), "w") as f:
    f.write("body { margin: 0 }\n")
# For the cost of one probe: a page of 400 links to files.
with open(os.path.join(www, "files.html"), "w") as f:
    f.write("<html><body>" + "".join(f'<a href="f/{n}.bin">{n}</a>' for n in range(400)) + "</body></html>")
os.makedirs(os.path.join(www, "f"))
for n in range(400):
    with open(os.path.join(www, "f", f"{n}.bin"), "wb") as f:
        f.write(b"x" * 1000)
PY
chmod -R a+rX "$work"
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
. "$here/nginx.sh"
start_nginx "$work" "  types { text/html html; text/css css; application/octet-stream bin; }
  log_format brief '\$request_method \$uri';
  access_log $work/access.log brief;
  sendfile on;" "    listen 127.0.0.1:$port;
    root $work/www;"
for _ in $(seq 50); do curl -fs -o /dev/null "http://127.0.0.1:$port/p000.html" && break; sleep 0.1; done
start="http://127.0.0.1:$port/p000.html"
printf '[Tool]\nHttpListNextChoseSetting=2\n' > "$work/run/Ordinex.ini"
printf '[Download]\nParallelTransfersSetting=8\n[Tool]\nHttpListNextChoseSetting=2\n' > "$work/run8/Ordinex.ini"

# Runs a command in a folder; prints "seconds requests distinct-pages" from the server's log.
timed() { # dir, command...
  local dir=$1; shift
  local before; before=$(wc -l < "$work/access.log")
  local t0 t1
  t0=$(date +%s.%N)
  local status=0
  (cd "$dir" && "$@" >/dev/null 2>&1) || status=$?
  t1=$(date +%s.%N)
  # 1 is a page that failed somewhere (wget: 8, a server's error answer); anything else is a fault.
  if [ "$status" -ne 0 ] && [ "$status" -ne 1 ] && [ "$status" -ne 8 ]; then
    echo "$1 ended with status $status" >&2
    exit 1
  fi
  tail -n +"$((before + 1))" "$work/access.log" > "$work/slice.log"
  local requests pages
  requests=$(wc -l < "$work/slice.log")
  pages=$(grep -o '/p[0-9]*\.html' "$work/slice.log" | sort -u | wc -l)
  echo "$(echo "$t1 - $t0" | bc) $requests $pages"
}

best_o=""; best_w=""; best_o8=""
for _ in $(seq "$repeat"); do
  o=$(timed "$work/run" "$cli" ls "$start")
  o8=$(timed "$work/run8" "$cli" ls "$start")
  best_o8=$(printf '%s\n%s\n' "$best_o8" "$o8" | grep . | sort -n | head -n1)
  w=$(timed "$work/wget" wget -q --spider -r -l2 -nd -e robots=off -P "$work/wget" "$start")
  best_o=$(printf '%s\n%s\n' "$best_o" "$o" | grep . | sort -n | head -n1)
  best_w=$(printf '%s\n%s\n' "$best_w" "$w" | grep . | sort -n | head -n1)
done
probe=$(timed "$work/run" "$cli" ls "http://127.0.0.1:$port/files.html")
/usr/bin/python3 - "$best_o" "$best_w" "$probe" "$work/www" "$best_o8" <<'PY'
import re, sys, os
o, w, probe = (line.split() for line in sys.argv[1:4])
o8 = sys.argv[5].split()
to, ro = float(o[0]), int(o[1])
tw, rw, pw = float(w[0]), int(w[1]), int(w[2])

# Ordinex's requests, modelled on the link walk: the start page is read and
# its links probed; then each page of the tree two steps down is expanded:
# read (once per walk) and each of its links probed (once per walk) unless
# the answer could change nothing (the page itself, a page beside the start
# page's children, a page already under the node).
links = {}
for name in os.listdir(sys.argv[4]):
    if re.match(r"p\d+\.html$", name):
        text = open(os.path.join(sys.argv[4], name)).read()
        links[name] = list(dict.fromkeys(re.findall(r'href="([^"]+)"', text)))
root = "p000.html"
top = [l for l in links[root] if l != root and l in links]
read, probed = set(), set()
def expand(page):
    read.add(page)
    kids = [l for l in links[page] if l != page and l not in top]
    probed.update(kids)
    return [k for k in kids if k in links]
for c in top:
    for g in expand(c):
        expand(g)
loads = 1 + len(read)
probes = len([l for l in links[root] if l != root]) + len(probed)
po = len(read | {root})
print("site: 200 pages x 20 links, walked 2 steps deep from p000.html (pages per second: distinct pages read)")
print(f"ordinex-cli ls : {to:.3f} s, {ro} requests, {po} distinct pages read, {po / to:.1f} pages/s")
print(f"wget --spider  : {tw:.3f} s, {rw} requests, {pw} distinct pages read, {pw / tw:.1f} pages/s")
print(f"ratio (Ordinex pages/s over wget's): {(po / to) / (pw / tw):.2f}  (target >= 1.0)")
# The same walk: the same pages read (the log's count of page addresses
# also holds the probes of pages).
t8, r8, p8 = float(o8[0]), int(o8[1]), len(read | {root})
ratio8 = (p8 / t8) / (pw / tw)
print(f"ordinex-cli ls, 8 at once: {t8:.3f} s, {r8} requests, {p8} distinct pages read, {p8 / t8:.1f} pages/s")
print(f"ratio (8 at once over wget's): {ratio8:.2f}  (target >= 1.0) {'ok' if round(ratio8, 2) >= 1.0 else 'MISSED'}")
tp = float(probe[0])
per_probe = tp / 400
rest = max(to - probes * per_probe, 0)
print(f"where Ordinex's time goes: {loads} page loads and {probes} probes"
      f" (the server counted {ro} requests, the model {loads + probes})")
print(f"  probes: {per_probe * 1000:.2f} ms each (a page of 400 file links took {tp:.3f} s), {probes * per_probe:.3f} s")
print(f"  page loads with parsing, and the program's start: {rest:.3f} s, {rest / loads * 1000:.2f} ms a page")
PY
