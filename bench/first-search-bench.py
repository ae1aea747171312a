#!/usr/bin/env python3
"""How late is the first search of a freshly started engine?

Starts korvin-uci RUNS times, each as a new process in an empty temporary
folder, sends "uci", "isready", a position out of the book and
"go movetime 100" with Move Overhead 0, and measures the time from sending
"go" to reading "bestmove" (so pipe and scheduling delays count against the
engine). Then runs korvin-firstmove (built from bench/), which does the same
through the window program's turn (ThinkAndMove) in freshly forked engines,
once with the warm-up that korvin-cli does and once with the window
program's helper thread. Prints the worst and the median overrun of each.
A search is on time when it ends within its limit plus 5 ms plus 1 %.

    bench/first-search-bench.py [--runs 50] [--build build]
"""
import argparse
import os
import select
import statistics
import subprocess
import sys
import tempfile
import time

POSITION = "position fen r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10"
MOVETIME = 100


def read_until(proc, prefix, buffer, seconds=30.0):
    """Reads lines until one starts with `prefix`; returns it and the rest."""
    deadline = time.monotonic() + seconds
    while True:
        while b"\n" in buffer:
            line, buffer = buffer.split(b"\n", 1)
            text = line.decode(errors="replace").strip()
            if text.startswith(prefix):
                return text, buffer
        left = deadline - time.monotonic()
        if left <= 0:
            raise RuntimeError("no '%s' from the engine" % prefix)
        ready, _, _ = select.select([proc.stdout], [], [], left)
        if ready:
            chunk = os.read(proc.stdout.fileno(), 65536)
            if not chunk:
                raise RuntimeError("the engine ended before '%s'" % prefix)
            buffer += chunk


def uci_first_search(uci, folder):
    """Milliseconds from "go" to "bestmove" in a fresh korvin-uci."""
    proc = subprocess.Popen([uci], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            cwd=folder, bufsize=0)

    def send(line):
        proc.stdin.write((line + "\n").encode())
        proc.stdin.flush()

    try:
        buffer = b""
        send("uci")
        _, buffer = read_until(proc, "uciok", buffer)
        send("setoption name Move Overhead value 0")
        send("isready")
        _, buffer = read_until(proc, "readyok", buffer)
        send(POSITION)
        start = time.monotonic()
        send("go movetime %d" % MOVETIME)
        _, buffer = read_until(proc, "bestmove", buffer)
        took = (time.monotonic() - start) * 1000.0
        send("quit")
        proc.wait(timeout=10)
        return took
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()


def report(name, overruns):
    allowed = 5 + MOVETIME / 100
    late = sum(1 for o in overruns if o > allowed)
    print("%-44s worst %6.1f ms, median %6.1f ms, late %d of %d" %
          (name, max(overruns), statistics.median(overruns), late, len(overruns)))


def fresh_first_moves(firstmove, runs, warmup, folder):
    out = subprocess.run([firstmove, "--runs", str(runs), "--warmup", warmup],
                         cwd=folder, capture_output=True, text=True, check=True).stdout
    values = dict(line.split(" ", 1) for line in out.splitlines() if " " in line)
    return values


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=50)
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "build"))
    args = parser.parse_args()
    uci = os.path.abspath(os.path.join(args.build, "tools", "uci", "korvin-uci"))
    firstmove = os.path.abspath(os.path.join(args.build, "bench", "korvin-firstmove"))

    with tempfile.TemporaryDirectory() as folder:
        overruns = []
        for run in range(args.runs):
            overruns.append(uci_first_search(uci, folder) - MOVETIME)
            print("korvin-uci run %d: %+.1f ms" % (run + 1, overruns[-1]), file=sys.stderr)
        print("first search of %d fresh engines, %d ms each:" % (args.runs, MOVETIME))
        report("korvin-uci, go to bestmove:", overruns)
        for warmup, name in (("now", "korvin-cli (ThinkAndMove), warm-up first:"),
                             ("thread", "window program's warm-up thread:")):
            v = fresh_first_moves(firstmove, args.runs, warmup, folder)
            print("%-44s worst %6s ms, median %6s ms, late %s; waited for the warm-up at most %s ms" %
                  (name, v["worst_overrun_ms"], v["median_overrun_ms"], v["late_runs"],
                   v["worst_warmup_wait_ms"]))


if __name__ == "__main__":
    main()
