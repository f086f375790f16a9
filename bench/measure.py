#!/usr/bin/python3
"""Runs a command and prints its wall time and peak resident memory.

Usage: measure.py [--repeat N] [--stdout FILE] -- command args...
Prints one line: seconds=<best wall time> peak_kib=<largest peak RSS>.
"""
import os
import subprocess
import sys
import time


def run_once(argv, stdout_path):
    out = open(stdout_path, "wb") if stdout_path else subprocess.DEVNULL
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=out, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    if stdout_path:
        out.close()
    code = os.waitstatus_to_exitcode(status)
    if code not in (0, 1):
        sys.exit(f"command failed with status {code}: {' '.join(argv)}")
    return elapsed, usage.ru_maxrss


def main():
    args = sys.argv[1:]
    repeat = 1
    stdout_path = None
    while args and args[0] != "--":
        if args[0] == "--repeat":
            repeat = int(args[1])
            args = args[2:]
        elif args[0] == "--stdout":
            stdout_path = args[1]
            args = args[2:]
        else:
            sys.exit(f"unknown option {args[0]}")
    argv = args[1:]
    best, peak = None, 0
    for _ in range(repeat):
        elapsed, rss = run_once(argv, stdout_path)
        best = elapsed if best is None else min(best, elapsed)
        peak = max(peak, rss)
    print(f"seconds={best:.4f} peak_kib={peak}")


if __name__ == "__main__":
    main()
