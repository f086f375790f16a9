#!/usr/bin/env bash
# Screenshots of the main window on a virtual display, for checking the layout.
#
#   scripts/screenshot.sh JOB.odx OUTDIR
#
# Writes OUTDIR/idle.png (the program started with JOB.odx, idle),
# OUTDIR/run.png (a numbered-series run in progress against a local test
# server that sends a slow file), OUTDIR/warning.png, OUTDIR/result.png (the
# idle window after that run, with its result), OUTDIR/prompt.png (a
# message box), OUTDIR/about.png, the
# three pages of the settings sheet, OUTDIR/settings-program.png,
# settings-download.png and settings-extract.png (the last with two
# extension rows in use), OUTDIR/ftp.png (the FTP tree & list window on
# a local FTP server), OUTDIR/browser.png (the built-in browser on a page
# of a local HTTP server) and OUTDIR/link.png (the Link tree & list window on
# the link test site). The display is 1024x768 and managed by openbox, as a
# small desktop would be; ORDINEX_SCREENSHOT_WM=none takes the pictures
# without a window manager. The program runs in a scratch folder, so no
# Ordinex.ini of the caller is read or written. ORDINEX_BIN overrides the
# program (default build-gui/ordinex, else build/ordinex).
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 JOB.odx OUTDIR" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${ORDINEX_SCREENSHOT_DISPLAY:-}" ]; then
  ORDINEX_SCREENSHOT_DISPLAY=1 exec "$root/scripts/with-display.sh" --wm "${ORDINEX_SCREENSHOT_WM:-openbox}" \
    --screen 1024x768x24 -- "$0" "$@"
fi
job=$(realpath "$1")
mkdir -p "$2"
out=$(realpath "$2")
bin=${ORDINEX_BIN:-}
if [ -z "$bin" ]; then
  for b in "$root/build-gui/ordinex" "$root/build/ordinex"; do
    [ -x "$b" ] && bin=$b && break
  done
fi
[ -x "$bin" ] || { echo "ordinex not built" >&2; exit 1; }
bin=$(realpath "$bin")

scratch=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# A Japanese desktop, as the program's users have, when the system has the locale.
if locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
fi

# The pointer rests in the screen's corner, where it raises no tooltip.
xdotool mousemove 1023 767 2>/dev/null || true

mkdir -p "$scratch/run" "$scratch/idle" "$scratch/series"
export XDG_RUNTIME_DIR="$scratch/run"
chmod 700 "$XDG_RUNTIME_DIR"
# Message boxes answer themselves (their text goes to the log below).
export ORDINEX_TEST_PROMPTS=1

# Waits until the program has written its log file, i.e. start-up got that far.
wait_started() {
  for _ in $(seq 100); do [ -e "$1/Ordinex.log" ] && break; sleep 0.1; done
  sleep "${2:-2}"
}

# 1. Idle, with the given job.
(cd "$scratch/idle" && exec "$bin" "$job") 2>"$out/idle.log" &
app=$!
pids+=($app)
wait_started "$scratch/idle"
import -window root "$out/idle.png"
kill -TERM "$app"
wait "$app" || true

# 2. During a run: ten 200 KB files sent at 1 KiB per 20 ms.
port_file="$scratch/port"
python3 "$root/tests/servers/http_server.py" >"$port_file" &
pids+=($!)
for _ in $(seq 50); do [ -s "$port_file" ] && break; sleep 0.1; done
port=$(head -n1 "$port_file")
cat >"$scratch/series/job.odx" <<JOB
[UrlFolder]
UrlBaseText=http://127.0.0.1:$port/slow
UrlExpansionText=20000*
AccessUserNameText=
AccessPasswordText=
FolderBaseText=$scratch/series/
FolderExpansionText=dl/file*.bin
[Ordinseq]
WildCard1Check=1
WildCard1Start=0
WildCard1End=9
JOB
(cd "$scratch/series" && ORDINEX_AUTORUN=1 exec "$bin" job.odx) 2>"$out/run.log" &
app=$!
pids+=($app)
wait_started "$scratch/series" 3.5
import -window root "$out/run.png"
kill -TERM "$app"
wait "$app" || true

# 3. A file the server does not have: the warning dialog over the run, with
#    the busy animation beside the frame.
mkdir -p "$scratch/warn"
cat >"$scratch/warn/job.odx" <<JOB
[UrlFolder]
UrlBaseText=http://127.0.0.1:$port/status
UrlExpansionText=40*
FolderBaseText=$scratch/warn/
FolderExpansionText=dl/file*.bin
[Ordinseq]
WildCard1Check=1
WildCard1Start=4
WildCard1End=4
JOB
(cd "$scratch/warn" && ORDINEX_AUTORUN=1 exec "$bin" job.odx) 2>"$out/warning.log" &
app=$!
pids+=($app)
wait_started "$scratch/warn" 1.8
import -window root "$out/warning.png"
kill -TERM "$app"
wait "$app" || true

# 3b. The same run left alone: the warning closes itself, and the idle
#     window keeps the run's result under the run buttons.
mkdir -p "$scratch/result"
sed "s|$scratch/warn/|$scratch/result/|" "$scratch/warn/job.odx" >"$scratch/result/job.odx"
(cd "$scratch/result" && ORDINEX_AUTORUN=1 exec "$bin" job.odx) 2>"$out/result.log" &
app=$!
pids+=($app)
wait_started "$scratch/result" 4
import -window root "$out/result.png"
kill -TERM "$app"
wait "$app" || true

# 4. A message box: the pause prompt before the first file, answered by nobody.
mkdir -p "$scratch/prompt"
sed "s|$scratch/warn/|$scratch/prompt/|" "$scratch/warn/job.odx" >"$scratch/prompt/job.odx"
printf '[Program]\nPauseForConfirm=1\nPauseByFileDownload=1\n' >"$scratch/prompt/Ordinex.ini"
(cd "$scratch/prompt" && ORDINEX_TEST_PROMPTS= ORDINEX_AUTORUN=1 exec "$bin" job.odx) 2>"$out/prompt.log" &
app=$!
pids+=($app)
wait_started "$scratch/prompt" 1.8
import -window root "$out/prompt.png"
# The toolkit's own message box does not give way to the close request.
{ kill -KILL "$app"; wait "$app"; } 2>/dev/null || true

# 5. The version box.
mkdir -p "$scratch/about"
(cd "$scratch/about" && ORDINEX_AUTOCOMMAND=57664 exec "$bin") 2>"$out/about.log" &
app=$!
pids+=($app)
wait_started "$scratch/about" 2
import -window root "$out/about.png"
kill -TERM "$app"
wait "$app" || true
# 6. The settings sheet, opened on each of its pages by its menu command.
mkdir -p "$scratch/settings"
cat >"$scratch/settings/Ordinex.ini" <<INI
[Tool]
HttpTreeListExtensionOptionSetting0=0
HttpTreeListExtensionOptionSetting1=1
HttpTreeListExtensionOptionSetting1String=jpg
HttpTreeListFileSizeSetting1=120
HttpTreeListExtensionOptionSetting2=1
HttpTreeListExtensionOptionSetting2String=png
HttpTreeListFileSizeSetting2=1500000
INI
for page in 32772:program 32790:download 32798:extract; do
  (cd "$scratch/settings" && ORDINEX_AUTOCOMMAND=${page%%:*} exec "$bin") 2>"$out/settings-${page#*:}.log" &
  app=$!
  pids+=($app)
  wait_started "$scratch/settings" 2.2
  import -window root "$out/settings-${page#*:}.png"
  kill -TERM "$app"
  wait "$app" || true
  rm -f "$scratch/settings/Ordinex.log"
done
# 7. The FTP tree & list window over a local FTP server's directory.
mkdir -p "$scratch/ftp/root/pub/images/2024" "$scratch/ftp/root/pub/docs" "$scratch/ftp/root/pub/archive.d" "$scratch/ftpwin"
for i in 01 02 03 04 05 06 07 08 09 10 11 12; do head -c $((10#$i * 1791)) /dev/zero >"$scratch/ftp/root/pub/images/photo$i.jpg"; done
head -c 1234567 /dev/zero >"$scratch/ftp/root/pub/images/panorama.png"
printf 'readme' >"$scratch/ftp/root/pub/images/README.txt"
printf 'x' >"$scratch/ftp/root/pub/images/日本語の名前.txt"
/usr/bin/python3 "$root/tests/servers/ftp_server.py" "$scratch/ftp/root" >"$scratch/ftp/port" &
pids+=($!)
for _ in $(seq 50); do [ -s "$scratch/ftp/port" ] && break; sleep 0.1; done
ftp_port=$(head -n1 "$scratch/ftp/port")
cat >"$scratch/ftpwin/job.odx" <<JOB
[UrlFolder]
UrlBaseText=ftp://127.0.0.1:$ftp_port/pub/images
FolderBaseText=$scratch/ftpwin/dl
JOB
cat >"$scratch/ftpwin/Ordinex.ini" <<INI
[FtpTreeWindow]
ShowCmd=1
Left=120
Top=150
Right=900
Bottom=640
SplitterSizeX=190
[FtptreeView]
Column0Width=220
Column1Width=90
Column2Width=60
Column3Width=130
SortKeyColumn=0
SortOrder=1
INI
(cd "$scratch/ftpwin" && ORDINEX_AUTOCOMMAND=32792 exec "$bin" job.odx) 2>"$out/ftp.log" &
app=$!
pids+=($app)
wait_started "$scratch/ftpwin" 3.2
import -window root "$out/ftp.png"
kill -TERM "$app"
wait "$app" || true
# 7. The built-in browser on a local page, opened by "ブラウザで開く" on the
#    job's URL base, beside the main window.
mkdir -p "$scratch/site/img" "$scratch/browser"
cat >"$scratch/site/index.html" <<'HTML'
<!DOCTYPE html>
<html lang="ja"><head><meta charset="utf-8"><title>画像アーカイブ</title></head>
<body style="font-family: sans-serif; margin: 1.5em">
<h1>画像アーカイブ 2024</h1>
<p>連番の写真 photo001.jpg ～ photo012.jpg と、その一覧のページです。</p>
<ul>
<li><a href="img/photo001.jpg">photo001.jpg</a> (12 KB)</li>
<li><a href="img/photo002.jpg">photo002.jpg</a> (15 KB)</li>
<li><a href="list.html">一覧のページへ</a></li>
</ul>
</body></html>
HTML
python3 "$root/tests/servers/http_server.py" --root "$scratch/site" >"$scratch/site.port" &
pids+=($!)
for _ in $(seq 50); do [ -s "$scratch/site.port" ] && break; sleep 0.1; done
site_port=$(head -n1 "$scratch/site.port")
cat >"$scratch/browser/job.odx" <<JOB
[UrlFolder]
UrlBaseText=http://127.0.0.1:$site_port/index.html
FolderBaseText=$scratch/browser/dl
JOB
cat >"$scratch/browser/Ordinex.ini" <<INI
[BrowserWindow]
ShowCmd=1
Left=300
Top=230
Right=1000
Bottom=740
INI
(cd "$scratch/browser" && ORDINEX_AUTOCOMMAND=32791 exec "$bin" job.odx) 2>"$out/browser.log" &
app=$!
pids+=($app)
wait_started "$scratch/browser" 3
import -window root "$out/browser.png"
kill -TERM "$app"
wait "$app" || true
# 8. The Link tree & list window on the link test site's start page, walked
#    one step down.
mkdir -p "$scratch/linkwin"
cat >"$scratch/linkwin/job.odx" <<JOB
[UrlFolder]
UrlBaseText=http://127.0.0.1:$port/site/index.html
FolderBaseText=$scratch/linkwin/dl
JOB
cat >"$scratch/linkwin/Ordinex.ini" <<INI
[Tool]
HttpListNextChoseSetting=1
[HttpTreeWindow]
ShowCmd=1
Left=200
Top=300
Right=1010
Bottom=750
SplitterSizeX=230
[HttptreeView]
Column0Width=260
Column1Width=60
Column2Width=150
Column3Width=120
SortKeyColumn=0
SortOrder=1
INI
(cd "$scratch/linkwin" && ORDINEX_AUTOCOMMAND=32797 exec "$bin" job.odx) 2>"$out/link.log" &
app=$!
pids+=($app)
wait_started "$scratch/linkwin" 4
import -window root "$out/link.png"
kill -TERM "$app"
wait "$app" || true
echo "screenshots: $out/idle.png $out/run.png $out/warning.png $out/result.png $out/prompt.png $out/about.png" \
  "$out/settings-program.png $out/settings-download.png $out/settings-extract.png $out/ftp.png" \
  "$out/browser.png $out/link.png"
