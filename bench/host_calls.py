#!/usr/bin/env python3
"""Times the add-in through xllhost: calls per second on one calculation thread and on two, and
through the interface of every version (a host of version 11) beside the version 12 one.

    host_calls.py --label LABEL [--formulas N] [--rounds R] [--tries T] [--runner CMD]
                  XLLHOST ADDIN

Writes N formulas (100,000 unless told, a large sheet: on a smaller one the threads each round
starts take a good part of its time under Wine; conversions of the benchmark's pairs, unit texts,
a constant, ASCII only, so that both interfaces read them alike) to a temporary file and has
XLLHOST recalculate them R times (5) in each configuration, the configurations taking turns T
times (3); each keeps its best. The calls per second are those xllhost reports: of its
recalculations alone. Prints one row per configuration with the calls per second and
the ratios, then whether the targets are met: two threads at least 1.6 times one (on a machine of
two or more cores) and the version 12 interface on one thread within 10% of the other's. Exits 1
when a run fails, else 0.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile

FORMULAS = [
    '=Mensora({},"mi/hr","m/s")', '=Mensora({},"ft","in")', '=Mensora({},"degC","degF")',
    '=Mensora({},"lbf/in^2","kPa")', '=Mensora({},"kg m/s^2","lbf")', '=ToMetric({},"Btu")',
    '=FromMetric({},"J / mol / degK")', '=Mensora({},"J / mol / degK","Btu / kmol / degR")',
    '=ShowCommonMetric("kg m^2 / s^3 / A")', '=Mensora({},"atm","psi")', '=GasConst()',
]
CONFIGURATIONS = [
    ("version 12, 1 thread", ["--threads", "1"]),
    ("version 12, 2 threads", ["--threads", "2"]),
    ("version 11, 1 thread", ["--version", "11", "--threads", "1"]),
]


def calls_per_second(command):
    run = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                         errors="replace")
    match = re.search(r"calls in [0-9.]+ s: ([0-9]+) calls/s", run.stderr)
    if run.returncode != 0 or not match:
        raise RuntimeError("%s: status %d\n%s" % (" ".join(command), run.returncode, run.stderr))
    return float(match.group(1))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--label", required=True)
    parser.add_argument("--formulas", type=int, default=100000)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--tries", type=int, default=3)
    parser.add_argument("--runner", default="")
    parser.add_argument("xllhost")
    parser.add_argument("addin")
    args = parser.parse_args()

    with tempfile.NamedTemporaryFile("w", suffix=".formulas", delete=False) as file:
        for i in range(args.formulas):
            file.write(FORMULAS[i % len(FORMULAS)].format(i % 997 + 1) + "\n")
        path = file.name
    best = {name: 0.0 for name, _ in CONFIGURATIONS}
    try:
        for _ in range(args.tries):
            for name, options in CONFIGURATIONS:
                command = ([args.runner] if args.runner else []) + [
                    args.xllhost, "--repeat", str(args.rounds), "--file", path] + options + [
                    args.addin]
                best[name] = max(best[name], calls_per_second(command))
    except RuntimeError as failure:
        print(failure)
        return 1
    finally:
        os.unlink(path)

    one, two, legacy = (best[name] for name, _ in CONFIGURATIONS)
    cores = os.cpu_count() or 1
    print("\n%s: %d formulas, %d rounds, best of %d; %d cores" %
          (args.label, args.formulas, args.rounds, args.tries, cores))
    print("%-28s %12s %8s" % ("host and threads", "calls/s", "ratio"))
    print("%-28s %12.0f %8s" % (CONFIGURATIONS[0][0], one, "1.00"))
    print("%-28s %12.0f %8.2f" % (CONFIGURATIONS[1][0], two, two / one))
    print("%-28s %12.0f %8.2f" % (CONFIGURATIONS[2][0], legacy, legacy / one))
    threads_target = "two threads at least 1.6 times one"
    if cores < 2:
        print("%-72s not measured (one core)" % threads_target)
    else:
        print("%-72s %s" % (threads_target, "met" if two >= 1.6 * one else "MISSED"))
    print("%-72s %s" % ("version 12 on one thread within 10% of version 11",
                        "met" if one * 1.10 >= legacy else "MISSED"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
