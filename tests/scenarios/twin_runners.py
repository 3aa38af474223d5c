#!/usr/bin/env python3
"""Runs random scenario scripts on two runners and requires the same bytes.

    twin_runners.py SEED COUNT RUNNER_A RUNNER_B

A runner is a command line, split at blanks ("node waitline-scenario-core.js"
is one). Each script mixes every command of the language, with typed texts a
student might type and entries read off the start-up dump, and ends in a dump;
a script that fails must fail alike, with the same line on standard error.
"""
import json
import random
import subprocess
import sys

BOXES = ["SourceCombo", "ArrivalCombo", "QueueCombo", "ServiceCombo", "ServerCombo", "ServeRateCombo"]
TYPED = ["", "3", "0", "-2", "50", "51", "1e3", "2,5", " 7 ", "abc", "0.0001", "9" * 40, "Ünïcode", "4 2"]


def run(runner, script):
    done = subprocess.run(runner.split(), input=script.encode(), capture_output=True, timeout=600)
    # Qt's note about a missing runtime folder is the window's, not the runner's.
    errors = [line for line in done.stderr.decode(errors="replace").splitlines() if not line.startswith("QStandardPaths")]
    return done.returncode, done.stdout, errors


def entries(runner):
    code, out, errors = run(runner, "dump\n")
    if code != 0:
        sys.exit(f"{runner}: the start-up dump failed with {code}: {errors}")
    combos = json.loads(out)["combos"]
    return {box: combos[box]["list"] for box in BOXES}


# Each kind of line with its share of a script.
LINES = [
    (22, lambda rng, lists, box: f"choose {box} {rng.choice(lists[box])}"),
    (12, lambda rng, lists, box: f"type {rng.choice(BOXES[1:3] + BOXES[4:])} {rng.choice(TYPED)}"),
    (12, lambda rng, lists, box: f"click {rng.choice(['StartButton', 'StartButton', 'PauseButton'])}"),
    (24, lambda rng, lists, box: f"tick {rng.choice([1, 7, 50, 100, 333])}"),
    (8, lambda rng, lists, box: f"check {rng.choice([1, 2])}"),
    (6, lambda rng, lists, box: f"run {rng.choice([1, 3, 10])}"),
    (6, lambda rng, lists, box: f"seed {rng.randrange(1000)}"),
    (4, lambda rng, lists, box: "random " + " ".join(f"{rng.random():.6f}" for _ in range(rng.randrange(1, 30)))),
    (4, lambda rng, lists, box: "dump"),
    (2, lambda rng, lists, box: rng.choice(["# a comment", "", "choose QueueCombo 99", "type SourceCombo x", "jump"])),
]


def script_line(rng, lists):
    make = rng.choices([line for _, line in LINES], weights=[share for share, _ in LINES])[0]
    return make(rng, lists, rng.choice(BOXES))


def main():
    seed, count, runner_a, runner_b = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3], sys.argv[4]
    lists = entries(runner_a)
    if lists != entries(runner_b):
        sys.exit("the two runners start with different lists")
    rng = random.Random(seed)
    dumps = 0
    for number in range(count):
        lines = [f"seed {rng.randrange(1 << 32)}"] + [script_line(rng, lists) for _ in range(rng.randrange(5, 40))]
        script = "\n".join(lines + ["dump"]) + "\n"
        a, b = run(runner_a, script), run(runner_b, script)
        if a != b:
            print(f"script {number} of seed {seed} runs differently:\n{script}", file=sys.stderr)
            print(f"A: exit {a[0]}, stderr {a[2]}\nB: exit {b[0]}, stderr {b[2]}", file=sys.stderr)
            for line_a, line_b in zip(a[1].splitlines(), b[1].splitlines()):
                if line_a != line_b:
                    print(f"A: {line_a[:3000]}\nB: {line_b[:3000]}", file=sys.stderr)
                    break
            sys.exit(1)
        dumps += a[1].count(b"\n")
    print(f"{count} scripts, {dumps} dumps, the same on both runners")


if __name__ == "__main__":
    main()
