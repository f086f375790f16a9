#!/usr/bin/python3
"""FTP server for the transfer tests, on 127.0.0.1 and a free port.

Usage: ftp_server.py ROOT [--slow | --no-size]

Prints the port on stdout when it is ready. Serves ROOT to the user "user"
with the password "secret" and to anonymous, both read-only. Active mode
(PORT/EPRT back to 127.0.0.1) is allowed. Files in ROOT/locked are listed
but cannot be retrieved ("550 Not enough privileges"). With --slow, data
goes out at 64 KiB a second (for stopping a transfer in the middle); with
--no-size the server does not tell file sizes (SIZE is not implemented).
"""
import logging
import os
import signal
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def main():
    args = sys.argv[1:]
    slow = "--slow" in args
    no_size = "--no-size" in args
    args = [a for a in args if a not in ("--slow", "--no-size")]
    if len(args) != 1:
        sys.exit("usage: ftp_server.py ROOT [--slow | --no-size]")
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
        def ftp_SIZE(self, path):
            if no_size:
                self.respond("502 Command not implemented.")
            else:
                FTPHandler.ftp_SIZE(self, path)

    Handler.authorizer = authorizer
    if slow:
        class SlowData(ThrottledDTPHandler):
            write_limit = 64 * 1024
        Handler.dtp_handler = SlowData
    Handler.banner = "ordinex test ftp"
    Handler.auth_failed_timeout = 0.05
    server = FTPServer(("127.0.0.1", 0), Handler)
    server.max_cons = 256
    print(server.address[1], flush=True)
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
