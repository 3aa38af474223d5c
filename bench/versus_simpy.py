"""The batch mode against SimPy 2 on the same M/M/c/K queue, side by side in
one run: 10,000 simulated seconds at light load (λ 1, μ 1, c 1, K 3) and at
heavy load (λ 20, μ 5, c 5, K 10), each program run in turn, three times,
its CPU time (user and system, of the process and its threads) taken.
Prints key=value lines: the median seconds of each, and waitline's share of
SimPy's time (below 1: waitline is faster).

    python3 bench/versus_simpy.py WAITLINE_BATCH
"""
import os
import resource
import statistics
import subprocess
import sys

LOADS = {"light": ("1", "1", "1", "3"), "heavy": ("20", "5", "5", "10")}
SECONDS = "10000"
ROUNDS = 3
SIMPY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "simpy_mmck.py")


def cpu_seconds(command):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main():
    batch = sys.argv[1]
    for name, (arrival, service, servers, places) in LOADS.items():
        ours = [batch, "--arrival-rate", arrival, "--service-rate", service, "--servers", servers,
                "--queue-length", places, "--seconds", SECONDS, "--jobs", "1", "--format", "csv"]
        theirs = ["/usr/bin/python3", SIMPY, arrival, service, servers, places, SECONDS]
        times = {"waitline": [], "simpy": []}
        for _ in range(ROUNDS):
            times["waitline"].append(cpu_seconds(ours))
            times["simpy"].append(cpu_seconds(theirs))
        w, s = statistics.median(times["waitline"]), statistics.median(times["simpy"])
        print(f"{name}_waitline_seconds={w:.3f}")
        print(f"{name}_simpy_seconds={s:.3f}")
        print(f"{name}_waitline_over_simpy={w / s:.3f}")


if __name__ == "__main__":
    main()
