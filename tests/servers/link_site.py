"""The web site of the link extraction tests, served by http_server.py under /site/.

Pages (text/html unless said):
  index.html        every kind of link: relative, "./", "/"-rooted, absolute,
                    "#", "//", ".." links, a redirect, a 404, javascript: and
                    mailto:, images (one twice), embed, object, applet, script,
                    iframe, image map, a FRAME outside a frameset, a BASE-free page
  frames.html       a frameset with two frames (left.html, right.html)
  refresh.html      only a meta refresh to index.html
  sjis.html         Shift_JIS, declared by <meta charset>; links 日本語.html
  eucjp.html        EUC-JP, declared by the Content-Type header; links 資料.zip
  nodecl.html       Shift_JIS without any declaration; links 画像.jpg
  based.html        <base href="/site/sub/">; links x.jpg
  charset.html      "text/html; charset=utf-8": no page for the tree
  fails.html        links once.html, a page on its first request and 500 after
  d/*.html          a small tree for depth walks (see DEPTH below)
  many?n=N&distinct=D   N links to D different files
  deep?n=N          N nested elements, one link at the bottom
  huge?mb=M         M megabytes of links
  endless           starts a page and never ends it
  broken            broken markup with links among it
  hostile           links with control characters and ".." segments
  attrs?n=N         a link, then one tag with N attributes, then another link
  typed.html        links typed/a.html ("text/html; charset=UTF-8") and
                    typed/b.html ("Text/HTML;charset=Shift_JIS"), pages that
                    link typed/c.bin
  hankaku.html      Shift_JIS without any declaration and with half-width
                    katakana only; links ﾃﾞｰﾀ.txt
  sjisquery.html    Shift_JIS, declared by <meta charset>; links with
                    Japanese text in the query (q.cgi, 日本.bin?v=...)
  eucquery.html     the same in EUC-JP, declared by the Content-Type header
  dupes.html        the same files linked raw, %-encoded and %-encoded in
                    lower case
  dead?to=H:P,...   three links to each of the given servers, then one file
                    of this site
Files: *.png, *.bin, *.zip... with a size, a type and a Last-Modified date;
nolength.bin without Content-Length; redirect-me answers 302 to target.html;
anything else 404. /stats/hits?path=P tells how often P was requested,
/stats/query?path=P the query string P was last requested with.
"""
import threading
import time
import urllib.parse

MODIFIED = "Thu, 04 Mar 2021 12:34:56 GMT"

_hits = {}
_queries = {}
_lock = threading.Lock()


def count(path, raw_query=""):
    with _lock:
        _hits[path] = _hits.get(path, 0) + 1
        _queries[path] = raw_query


def last_query(path):
    with _lock:
        return _queries.get(path, "")


def hits(path):
    with _lock:
        return _hits.get(path, 0)


def page(body):
    return "<!DOCTYPE html>\n" + body


INDEX = page("""<html><head><title>index</title>
<link rel="stylesheet" href="style.css">
<meta name="description" content="no address">
<meta http-equiv="Refresh" content="30; URL=refresh.html">
<script src="js/app.js"></script>
<bgsound src="bgm.mid">
</head><body>
<a href="page1.html">relative</a>
<a href="./sub/page2.html">dot</a>
<a href="/site/rooted.html">rooted</a>
<a href="http://{host}/site/absolute.html">absolute</a>
<a href="#top">fragment</a>
<a href="page1.html#part">fragment of another page</a>
<a href="//{host}/site/proto.html">protocol-relative</a>
<a href="sub/../up.html">dots</a>
<a href="missing.html">404</a>
<a href="redirect-me">redirect</a>
<a href="charset.html">typed</a>
<a href="nolength.bin">no length</a>
<a href="javascript:void(0)">script</a>
<a href="mailto:someone@example.com">mail</a>
<a>no address</a>
<a href="index.html">itself</a>
<img src="img/a.png"><img src="img/a.png"><img src="data:image/png;base64,AAAA">
<embed src="movie.swf">
<object data="doc.pdf"></object>
<applet code="Game.class" codebase="java"></applet>
<iframe src="inner.html"></iframe>
<map name="m"><area href="area.zip" shape="rect" coords="0,0,1,1"></map>
<frame src="stray.html">
<script src="js/app.js"></script>
</body></html>
""")

FRAMES = page("""<html><head><title>frames</title></head>
<frameset cols="50%,50%"><frame src="left.html"><frame src="right.html">
<noframes><a href="noframes.html">x</a></noframes></frameset></html>
""")

PLAIN = page("<html><head><title>{name}</title></head><body><p>{name}</p></body></html>\n")

SJIS = ('<html><head><meta charset="Shift_JIS"><title>日本語</title></head>'
        '<body><a href="日本語.html">日本語</a></body></html>').encode("cp932")
EUCJP = ('<html><head><title>資料</title></head>'
         '<body><a href="資料.zip">資料</a></body></html>').encode("euc_jp")
NODECL = ('<html><head><title>画像</title></head>'
          '<body><p>ひらがなとカタカナ</p><img src="画像.jpg"></body></html>').encode("cp932")

# Depth site: each page's links. ".bin" entries are files.
DEPTH = {
    "0": ["1a.html", "1b.html", "f0.bin"],
    "1a": ["2a.html", "f1a.bin"],
    "1b": ["2a.html", "f1b.bin", "1b.html"],
    "2a": ["3a.html", "f2a.bin", "0.html"],
    "3a": ["4a.html", "f3a.bin"],
    "4a": ["f4a.bin"],
}

FILE_TYPES = {".png": "image/png", ".jpg": "image/jpeg", ".bin": "application/octet-stream",
              ".zip": "application/zip", ".css": "text/css", ".js": "application/javascript",
              ".mid": "audio/midi", ".swf": "application/x-shockwave-flash", ".pdf": "application/pdf",
              ".class": "application/java-vm"}


def send(handler, code, body, ctype="text/html", headers=None, length=True):
    if isinstance(body, str):
        body = body.encode()
    handler.send_response(code)
    if ctype:
        handler.send_header("Content-Type", ctype)
    for name, value in (headers or {}).items():
        handler.send_header(name, value)
    if length:
        handler.send_header("Content-Length", str(len(body)))
    else:
        handler.send_header("Connection", "close")
        handler.close_connection = True
    handler.end_headers()
    if handler.command != "HEAD":
        handler.wfile.write(body)


def send_stream(handler, blocks, length=None):
    """A page written block by block; without a length it ends with the connection."""
    handler.send_response(200)
    handler.send_header("Content-Type", "text/html")
    if length is None:
        handler.send_header("Connection", "close")
        handler.close_connection = True
    else:
        handler.send_header("Content-Length", str(length))
    handler.end_headers()
    for block in blocks:
        handler.wfile.write(block)


HANKAKU = ('<html><head><title>ﾃﾞｰﾀ</title></head>'
           '<body><a href="ﾃﾞｰﾀ.txt">ﾃﾞｰﾀ</a></body></html>').encode("cp932")
QUERY_LINKS = ('<body><a href="q.cgi?q=日本&amp;n=1">q</a><a href="日本.bin?v=語">v</a>'
               '<a href="a.bin?x=%E6%97%A5">kept</a></body></html>')
SJIS_QUERY = ('<html><head><meta charset="Shift_JIS"></head>' + QUERY_LINKS).encode("cp932")
EUC_QUERY = ('<html><head></head>' + QUERY_LINKS).encode("euc_jp")
DUPES = page('<html><body><a href="資料.zip">raw</a><a href="%E8%B3%87%E6%96%99.zip">encoded</a>'
             '<a href="%e8%b3%87%e6%96%99.zip">lower</a><a href="%7euser.bin">tilde</a><a href="~user.bin">t</a>'
             '<a href="a%2fb.bin">slash</a><a href="a%2Fb.bin">slash</a></body></html>')


def serve(handler, path, query):
    count(path, urllib.parse.urlsplit(handler.path).query)
    host = handler.headers.get("Host", "127.0.0.1")
    name = urllib.parse.unquote(path[len("/site/"):])
    num = lambda key, default: int(query.get(key, [str(default)])[0])
    if name == "index.html":
        send(handler, 200, INDEX.replace("{host}", host))
    elif name == "frames.html":
        send(handler, 200, FRAMES)
    elif name == "refresh.html":
        send(handler, 200, page('<html><head><meta http-equiv="refresh" content="0;url=\'index.html\'">'
                                 '</head><body></body></html>'))
    elif name == "sjis.html":
        send(handler, 200, SJIS)
    elif name == "eucjp.html":
        send(handler, 200, EUCJP, "text/html; charset=EUC-JP")
    elif name == "nodecl.html":
        send(handler, 200, NODECL)
    elif name == "based.html":
        send(handler, 200, page('<html><head><base href="/site/sub/"></head><body><img src="x.jpg"></body></html>'))
    elif name == "fails.html":
        send(handler, 200, page('<html><body><a href="once.html">once</a></body></html>'))
    elif name == "once.html":
        if hits(path) <= 1:
            send(handler, 200, PLAIN.replace("{name}", name))
        else:
            send(handler, 500, "gone\n", "text/plain")
    elif name == "charset.html":
        send(handler, 200, PLAIN.replace("{name}", name), "text/html; charset=utf-8")
    elif name == "redirect-me":
        send(handler, 302, "moved", "text/plain", {"Location": "/site/target.html"})
    elif name == "nolength.bin":
        send(handler, 200, b"x" * 100, "application/octet-stream", length=False)
    elif name.startswith("d/") and name[2:-5] in DEPTH and name.endswith(".html"):
        links = "".join('<a href="%s">%s</a>\n' % (l, l) for l in DEPTH[name[2:-5]])
        send(handler, 200, page("<html><body>\n" + links + "</body></html>\n"))
    elif name == "many":
        n, distinct = num("n", 1000), num("distinct", 1000)
        body = "".join('<a href="f/%d.bin">%d</a>\n' % (i % distinct, i) for i in range(n))
        send(handler, 200, page("<html><body>\n" + body + "</body></html>\n"))
    elif name == "deep":
        n = num("n", 1000)
        send(handler, 200, "<html><body>" + "<div>" * n + '<a href="bottom.bin">x</a>' + "</div>" * n)
    elif name == "huge":
        block = ('<p><a href="h/NNNNNNNN.bin">link</a> text text text text</p>\n' * 20000).encode()
        count_blocks = num("mb", 50) * (1 << 20) // len(block) + 1
        send_stream(handler, (block.replace(b"NNNNNNNN", b"%08d" % i) for i in range(count_blocks)),
                    count_blocks * len(block))
    elif name == "endless":
        def blocks():
            i = 0
            while True:
                yield ('<a href="e/%d.bin">%d</a>\n' % (i, i)).encode() * 64
                i += 1
                if num("slow", 0):
                    time.sleep(0.01)
        send_stream(handler, blocks())
    elif name == "broken":
        send(handler, 200, '<html><body><a href="b1.bin"<a href=b2.bin>x</a><img src="b3.png" <table><td>'
                           '<a href=\'b4.bin\'>x</td></tr><b><i></b></i><a href="b5.bin"><!-- <a href="no.bin"> '
                           '--><script>document.write("<a href=\\"no2.bin\\">")</script><a href="b6.bin')
    elif name == "hostile":
        send(handler, 200, '<html><body><a href="ctl\x01\x7f.bin">c</a><a href="../../../../etc/passwd">p</a>'
                           '<a href="a/%2e%2e/%2E%2E/../up.bin">u</a><a href=" \n spaced.bin \t">s</a>'
                           '<a href="http://{h}/site/../../x.bin">x</a></body></html>'.replace("{h}", host))
    elif name == "attrs":
        attributes = "".join(" a%d=1" % i for i in range(num("n", 1000)))
        send(handler, 200, page('<html><body><a href="before.bin">b</a><p%s>x</p><a href="after.bin">a</a>'
                                '</body></html>' % attributes))
    elif name == "typed.html":
        send(handler, 200, page('<html><body><a href="typed/a.html">a</a><a href="typed/b.html">b</a></body></html>'))
    elif name in ("typed/a.html", "typed/b.html"):
        ctype = "text/html; charset=UTF-8" if name.endswith("a.html") else "Text/HTML;charset=Shift_JIS"
        send(handler, 200, page('<html><body><a href="c.bin">c</a></body></html>'), ctype)
    elif name == "hankaku.html":
        send(handler, 200, HANKAKU)
    elif name == "sjisquery.html":
        send(handler, 200, SJIS_QUERY)
    elif name == "eucquery.html":
        send(handler, 200, EUC_QUERY, "text/html; charset=EUC-JP")
    elif name == "q.cgi":
        send(handler, 200, b"result\n", "text/plain")
    elif name == "dupes.html":
        send(handler, 200, DUPES)
    elif name == "links.html":
        links = "".join('<a href="%s">%d</a>\n' % (u, n) for n, u in enumerate(query.get("to", [""])[0].split(",")) if u)
        send(handler, 200, page("<html><body>\n" + links + "</body></html>\n"))
    elif name == "dead":
        links = "".join('<a href="http://%s/%s.bin">%s</a>\n' % (h, f, f)
                        for h in query.get("to", [""])[0].split(",") if h for f in ("a", "b", "c"))
        send(handler, 200, page("<html><body>\n" + links + '<a href="alive.bin">x</a></body></html>\n'))
    else:
        ext = name[name.rfind("."):] if "." in name else ""
        if ext in FILE_TYPES and not name.startswith("missing"):
            send(handler, 200, b"f" * (1000 + len(name)), FILE_TYPES[ext], {"Last-Modified": MODIFIED})
        elif ext == ".html" and name not in ("missing.html",):
            send(handler, 200, PLAIN.replace("{name}", name))
        else:
            send(handler, 404, "not found\n", "text/plain")
