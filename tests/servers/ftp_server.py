#!/usr/bin/python3
"""FTP server for the transfer tests, on 127.0.0.1 and a free port.

Usage: ftp_server.py ROOT [--slow | --slow-first | --no-size | --hostile-names | --hostile]
                        [--passive-only | --active-only] [--mlsd]
                        [--count-logins] [--idle=SECONDS]

Prints the port on stdout when it is ready. Serves ROOT to the user "user"
with the password "secret" and to anonymous, both read-only. Active mode
(PORT/EPRT back to 127.0.0.1) is allowed. Files in ROOT/locked are listed
but cannot be retrieved ("550 Not enough privileges"). With --slow, data
goes out at 64 KiB a second (for stopping a transfer in the middle), with
--slow-first only the first data connection's. --passive-only refuses
PORT and EPRT ("550 Permission denied.", as behind a firewall),
--active-only refuses PASV and EPSV; MLSD is answered only with --mlsd
("500" otherwise, as servers that know only LIST do). With --no-size the server does not tell file sizes (SIZE is not implemented).
With --hostile-names, the listing of every directory named "hostile" also holds
names no file system has: "..", paths that climb out ("../../escape.txt",
"sub/../../up.txt"), a leading "/", a trailing "/", a name of 3,000 bytes
and one with an escape sequence; they cannot be retrieved unless a file of
that name (after the server's own path rules) exists.
With --hostile the server lies: SIZE is 1000 bytes too large for files
named "*.big" and 1000 too small for "*.small"; refusals carry ESC
sequences; and LIST adds lines no parser knows, entries with sizes no file
has (huge, 2^63, negative) and dates no calendar has, names with a leading
blank, a CR, an ESC sequence or a right-to-left override, and DOS lines.
The LIST of a directory named "endless" never ends: it repeats 4,096
ordinary file lines for as long as the client reads; "endless-junk" repeats
lines no parser knows, and "endless-line" sends one line that never ends.
With --count-logins the number of logins so far is kept in ROOT/.logins;
with --idle=SECONDS an idle control connection is closed after that long
("421 Control connection timed out.").
"""
import logging
import os
import signal
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


HOSTILE_NAMES = ["..", "../../escape.txt", "sub/../../up.txt", "/abs.txt", "dir/", "x" * 3000 + ".txt",
                 "esc\x1b[2Jname.txt", "/"]


class HostileFS(AbstractedFS):
    """Lists the names of HOSTILE_NAMES as 5-byte files in "hostile" folders."""

    def format_list(self, basedir, listing, ignore_err=True):
        yield from AbstractedFS.format_list(self, basedir, listing, ignore_err)
        if os.path.basename(basedir.rstrip("/")) == "hostile":
            for name in HOSTILE_NAMES:
                line = "-rw-r--r--   1 owner    group           5 Jan 01  2021 %s\r\n" % name
                yield line.encode("utf8", self.cmd_channel.unicode_errors)


class EndlessListing:
    """A producer for pyftpdlib's data channel that never runs dry."""

    def __init__(self, kind):
        if kind == "endless":
            lines = ["-rw-r--r--   1 owner    group        1234 Jan 01  2021 f%04d.bin\r\n" % i for i in range(4096)]
            self.block = "".join(lines).encode()
        elif kind == "endless-junk":
            self.block = b"this line is no listing at all\r\n" * 8192
        else:
            self.block = b"x" * (256 * 1024)

    def more(self):
        return self.block


def main():
    args = sys.argv[1:]
    flags = ("--slow", "--slow-first", "--no-size", "--hostile-names", "--hostile", "--passive-only", "--active-only",
             "--mlsd")
    mlsd = "--mlsd" in args
    passive_only = "--passive-only" in args
    active_only = "--active-only" in args
    slow = "--slow" in args
    slow_first = "--slow-first" in args
    no_size = "--no-size" in args
    hostile_names = "--hostile-names" in args
    hostile = "--hostile" in args
    count_logins = "--count-logins" in args
    idle = [float(a.split("=", 1)[1]) for a in args if a.startswith("--idle=")]
    args = [a for a in args if a not in flags + ("--count-logins",) and not a.startswith("--idle=")]
    if len(args) != 1:
        sys.exit("usage: ftp_server.py ROOT [--slow | --slow-first | --no-size | --hostile-names | --hostile]"
                 " [--passive-only | --active-only] [--mlsd] [--count-logins] [--idle=SECONDS]")
    root = os.path.realpath(args[0])
    signal.signal(signal.SIGPIPE, signal.SIG_IGN)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    log = logging.getLogger("pyftpdlib")
    log.addHandler(logging.NullHandler())
    log.setLevel(logging.CRITICAL)
    log.propagate = False

    authorizer = DummyAuthorizer()
    authorizer.add_user("user", "secret", root, perm="elr")
    authorizer.add_anonymous(root, perm="elr")
    locked = os.path.join(root, "locked")
    if os.path.isdir(locked):
        for name in ("user", "anonymous"):
            authorizer.override_perm(name, locked, perm="el", recursive=True)

    class Handler(FTPHandler):
        logins = 0

        def on_login(self, username):
            if count_logins:
                Handler.logins += 1
                with open(os.path.join(root, ".logins"), "w") as f:
                    f.write(str(Handler.logins))

        def ftp_SIZE(self, path):
            if no_size:
                self.respond("502 Command not implemented.")
            elif hostile and path.endswith((".big", ".small")) and os.path.isfile(path):
                real = os.path.getsize(path)
                self.respond("213 %d" % (real + 1000 if path.endswith(".big") else max(0, real - 1000)))
            else:
                FTPHandler.ftp_SIZE(self, path)

        # Like many servers, it knows only LIST unless told (--mlsd).
        def ftp_MLSD(self, path):
            if mlsd:
                return FTPHandler.ftp_MLSD(self, path)
            self.respond("500 Command \"MLSD\" not understood.")

        # A server behind a firewall takes no data connection of the
        # client's (--passive-only); an old one offers none of its own (--active-only).
        def ftp_PORT(self, line):
            if passive_only:
                self.respond("550 Permission denied.")
            else:
                FTPHandler.ftp_PORT(self, line)

        def ftp_EPRT(self, line):
            if passive_only:
                self.respond("550 Permission denied.")
            else:
                FTPHandler.ftp_EPRT(self, line)

        def ftp_PASV(self, line):
            if active_only:
                self.respond("550 Permission denied.")
            else:
                FTPHandler.ftp_PASV(self, line)

        def ftp_EPSV(self, line):
            if active_only:
                self.respond("550 Permission denied.")
            else:
                FTPHandler.ftp_EPSV(self, line)

        def respond(self, resp, logfun=None):
            if hostile and resp[:1] in ("4", "5"):
                resp = resp[:4] + "\x1b[2J\x1b]0;owned\x07" + resp[4:]
            FTPHandler.respond(self, resp)

        def ftp_LIST(self, path):
            kind = os.path.basename(path.rstrip("/"))
            if kind in ("endless", "endless-junk", "endless-line") and os.path.isdir(path):
                self.push_dtp_data(EndlessListing(kind), isproducer=True, cmd="LIST")
                return path
            if not hostile:
                return FTPHandler.ftp_LIST(self, path)
            lines = [
                "total 12",
                "this line is no listing at all",
                "-rw-r--r-- 1 user group 99999999999999999999999 Mar 04  2021 huge.bin",
                "-rw-r--r-- 1 user group 12 Mar 04 99999999999 odd-year.bin",
                "-rw-r--r-- 1 user group 5 Mar 04  2021 esc\x1b[31mred.txt",
                "-rw-r--r-- 1 user group 7 Dec 08 17:00 good.txt",
                "drwxr-xr-x 2 user group 4096 Jan 01  2020 sub dir",
                "-rw-r--r-- 1 user group -5 Mar 04  2021 negative.bin",
                "-rw-r--r-- 1 user group 9223372036854775808 Mar 04  2021 two63.bin",
                "-rw-r--r-- 1 user group 9223372036854775807 Mar 04  2021 max.bin",
                "-rw-r--r-- 1 user group 6 Feb 30  2021 feb30.bin",
                "-rw-r--r-- 1 user group 8 Smarch 04 2021 smarch.bin",
                "-rw-r--r-- 1 user group 3 Mar 04  2021  lead.txt",
                "-rw-r--r-- 1 user group 4 Mar 04  2021 cr\rname.txt",
                "-rw-r--r-- 1 user group 9 Mar 04  2021 rlo\u202etxt.exe",
                "02-25-19  09:31AM       <DIR>           dos dir",
                "02-25-19  09:31AM                  -1 dos.bin",
            ]
            data = ("\r\n".join(lines) + "\r\n").encode("utf-8")
            self.push_dtp_data(data, isproducer=False, cmd="LIST")
            return path

    # Names are bytes, as on a real server: a Shift_JIS name on disk is
    # listed and asked for in Shift_JIS.
    Handler.unicode_errors = "surrogateescape"
    Handler.authorizer = authorizer
    if hostile_names:
        Handler.abstracted_fs = HostileFS
    if slow:
        class SlowData(ThrottledDTPHandler):
            write_limit = 64 * 1024
        Handler.dtp_handler = SlowData
    elif slow_first:
        class SlowFirstData(ThrottledDTPHandler):
            started = False

            def __init__(self, *a, **kw):
                ThrottledDTPHandler.__init__(self, *a, **kw)
                self.write_limit = 0 if SlowFirstData.started else 64 * 1024
                SlowFirstData.started = True
        Handler.dtp_handler = SlowFirstData
    Handler.banner = "ordinex test ftp"
    Handler.auth_failed_timeout = 0.05
    if idle:
        Handler.timeout = idle[0]
    server = FTPServer(("127.0.0.1", 0), Handler)
    server.max_cons = 256
    print(server.address[1], flush=True)
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
