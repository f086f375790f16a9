#!/usr/bin/python3
"""Certificates for the HTTPS tests and benchmarks, made with the openssl tool.

    tls_certs.py DIR [NAME...]

DIR gets a certificate authority of its own (ca.pem, ca.key) once, and for
each NAME a server certificate signed by it (NAME.pem, NAME.key):
  localhost   for the names localhost and 127.0.0.1 (the default)
  other       for other.invalid only: a certificate for another host
Nothing here is trusted by the system: a client trusts these only when it is
told to trust DIR/ca.pem. The keys are short-lived and made on the spot.
"""
import os
import subprocess
import sys
import tempfile

NAMES = {
    "localhost": "DNS:localhost,IP:127.0.0.1",
    "other": "DNS:other.invalid",
}


def openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def new_key(path):
    openssl("genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", path)


def ensure(folder, name="localhost"):
    """Makes the authority and the named certificate in folder unless they are there; returns (pem, key)."""
    os.makedirs(folder, exist_ok=True)
    ca_pem, ca_key = os.path.join(folder, "ca.pem"), os.path.join(folder, "ca.key")
    if not os.path.exists(ca_pem):
        new_key(ca_key)
        openssl("req", "-x509", "-new", "-key", ca_key, "-out", ca_pem, "-days", "3", "-subj",
                "/CN=Ordinex Test CA", "-addext", "basicConstraints=critical,CA:TRUE",
                "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    pem, key = os.path.join(folder, name + ".pem"), os.path.join(folder, name + ".key")
    if not os.path.exists(pem):
        new_key(key)
        with tempfile.TemporaryDirectory() as work:
            csr, ext = os.path.join(work, "req.csr"), os.path.join(work, "ext.cnf")
            with open(ext, "w") as f:
                f.write("subjectAltName=%s\nbasicConstraints=CA:FALSE\n"
                        "keyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\n" % NAMES[name])
            openssl("req", "-new", "-key", key, "-out", csr, "-subj", "/CN=" + name)
            openssl("x509", "-req", "-in", csr, "-CA", ca_pem, "-CAkey", ca_key, "-CAcreateserial",
                    "-days", "3", "-extfile", ext, "-out", pem + ".tmp")
            os.replace(pem + ".tmp", pem)
    return pem, key


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: tls_certs.py DIR [NAME...]")
    for name in sys.argv[2:] or ["localhost"]:
        ensure(sys.argv[1], name)


if __name__ == "__main__":
    main()
