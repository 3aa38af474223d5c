#!/usr/bin/env python3
"""Runs the native and the web batch mode with the same options and requires
the same standard output, standard error and exit status.

    same_batch_output.py NATIVE_PROGRAM "NODE;OPTIONS;PROGRAM.js"
"""
import subprocess
import sys

OPTION_SETS = [
    [],
    ["--seconds", "200", "--format", "csv"],
    ["--seconds", "300", "--format", "json", "--replications", "3", "--seed", "7"],
    ["--arrival-rate", "3", "--service-rate", "2", "--servers", "2", "--queue-length", "5", "--seconds", "500"],
    ["--arrival", "Pareto 0.5", "--service", "Uniform", "--seconds", "400", "--warmup", "10"],
    ["--arrival", "Regular", "--service", "Pareto 0.1", "--arrival-rate=50", "--service-rate=0.000001",
     "--seconds", "60", "--format", "json"],
    ["--arrival-rate", "20", "--service-rate", "5", "--servers", "5", "--queue-length", "10", "--seconds", "300",
     "--replications", "2"],
    ["--help"],
    ["--version"],
    ["--servers", "4", "--queue-length", "3"],
    ["--arrival-rate", "1e-9"],
    ["--format", "xml"],
    ["--seed", "18446744073709551616"],
    ["--warmup", "5000"],
    # Sweeps: the points one after another there, on threads here.
    ["--sweep", "arrival-rate=0.5:2.5:0.5", "--servers", "2", "--queue-length", "5", "--seconds", "300",
     "--replications", "2", "--format", "json"],
    ["--sweep=servers=1:3:1", "--sweep", "queue-length=3:4:1", "--seconds", "200", "--format", "csv"],
    ["--sweep", "service-rate=0.5:1:0.25", "--seconds", "200"],
    ["--sweep", "servers=1:6:1"],
    ["stray"],
]


def run(command):
    done = subprocess.run(command, capture_output=True, timeout=600)
    return done.returncode, done.stdout, done.stderr


def main():
    native, web = [sys.argv[1]], sys.argv[2].split(";")
    for options in OPTION_SETS:
        a, b = run(native + options), run(web + options)
        if a != b:
            print(f"waitline-batch {' '.join(options)} differs:", file=sys.stderr)
            for what, x, y in zip(("exit status", "stdout", "stderr"), a, b):
                if x != y:
                    print(f"{what}:\n native: {x!r:.2000}\n web:    {y!r:.2000}", file=sys.stderr)
            sys.exit(1)
    print(f"{len(OPTION_SETS)} option sets, the same output on both")


if __name__ == "__main__":
    main()
