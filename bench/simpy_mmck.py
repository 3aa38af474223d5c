"""The M/M/c/K queue in SimPy 2 (Debian's python3-simpy), for timing the batch
mode against a general-purpose simulation library on the same queue.

    python3 bench/simpy_mmck.py ARRIVAL_RATE SERVICE_RATE SERVERS PLACES SECONDS [SEED]

Prints the loss, the mean time in the system and the packets served, so that
a reader can see it simulates the same queue.
"""
import random
import sys

from SimPy.Simulation import Process, Resource, activate, hold, initialize, now, release, request, simulate


class Tally:
    def __init__(self):
        self.sourced = 0
        self.lost = 0
        self.served = 0
        self.time_in_system = 0.0


class Packet(Process):
    def visit(self, servers, service_rate, tally):
        arrived = now()
        yield request, self, servers
        yield hold, self, random.expovariate(service_rate)
        yield release, self, servers
        tally.served += 1
        tally.time_in_system += now() - arrived


class Source(Process):
    def generate(self, arrival_rate, service_rate, servers, places, tally):
        while True:
            yield hold, self, random.expovariate(arrival_rate)
            tally.sourced += 1
            # The places hold the packets waiting and those being served.
            if len(servers.waitQ) + len(servers.activeQ) >= places:
                tally.lost += 1
            else:
                packet = Packet()
                activate(packet, packet.visit(servers, service_rate, tally))


def main():
    arrival_rate, service_rate = float(sys.argv[1]), float(sys.argv[2])
    servers_count, places, seconds = int(sys.argv[3]), int(sys.argv[4]), float(sys.argv[5])
    random.seed(int(sys.argv[6]) if len(sys.argv) > 6 else 1)
    initialize()
    servers = Resource(capacity=servers_count)
    tally = Tally()
    source = Source()
    activate(source, source.generate(arrival_rate, service_rate, servers, places, tally))
    simulate(until=seconds)
    print(f"loss={tally.lost / max(tally.sourced, 1):.4f}")
    print(f"mean_time_in_system={tally.time_in_system / max(tally.served, 1):.4f}")
    print(f"served={tally.served}")


if __name__ == "__main__":
    main()
