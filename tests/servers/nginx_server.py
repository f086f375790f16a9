#!/usr/bin/python3
"""A Debian nginx of the test's own on 127.0.0.1 and a free port.

Usage: nginx_server.py ROOT RATE
Serves the files below ROOT at RATE bytes a second per connection, logs
"REQUEST STATUS RANGE IF-RANGE" per request to ROOT/../nginx-access.log,
prints the port when ready and ends nginx when it is ended itself.
"""
import grp
import os
import pwd
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time


def main():
    root, rate = os.path.realpath(sys.argv[1]), sys.argv[2]
    work = tempfile.mkdtemp(prefix="ordinex-nginx-")
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    log = os.path.join(os.path.dirname(root), "nginx-access.log")
    with open(os.path.join(work, "nginx.conf"), "w") as conf:
        conf.write("""daemon off;
worker_processes 1;
%(user)s
pid %(w)s/nginx.pid;
error_log %(w)s/error.log;
events { worker_connections 64; }
http {
  client_body_temp_path %(w)s; proxy_temp_path %(w)s; fastcgi_temp_path %(w)s;
  uwsgi_temp_path %(w)s; scgi_temp_path %(w)s;
  log_format ranges '$request $status "$http_range" "$http_if_range"';
  access_log %(log)s ranges;
  server {
    listen 127.0.0.1:%(port)d;
    root %(root)s;
    limit_rate %(rate)s;
  }
}
""" % {"user": "user %s %s;" % (pwd.getpwuid(os.getuid()).pw_name, grp.getgrgid(os.getgid()).gr_name)
         if os.getuid() == 0 else "", "w": work, "log": log, "port": port, "root": root, "rate": rate})
    nginx = subprocess.Popen(["nginx", "-c", os.path.join(work, "nginx.conf"), "-e",
                              os.path.join(work, "error.log")])
    # Ending nginx ends the wait below, which then cleans up.
    signal.signal(signal.SIGTERM, lambda *_: nginx.terminate())
    for _ in range(200):
        try:
            socket.create_connection(("127.0.0.1", port), 0.1).close()
            break
        except OSError:
            if nginx.poll() is not None:
                sys.exit("nginx did not start")
            time.sleep(0.05)
    print(port, flush=True)
    nginx.wait()
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
