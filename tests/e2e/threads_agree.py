#!/usr/bin/env python3
"""Evaluates many formulas on one calculation thread and on several, and requires the same output.

    threads_agree.py --out DIR [--count N] [--threads T] [--seed S] [--emulator CMD]
                     -- XLLHOST [OPTIONS...] ADDIN

Writes N formulas (100,000 unless told) to DIR/threads.formulas: every worksheet function, with
conversions that succeed and that fail, temperatures, powers, texts beyond ASCII (the file is
UTF-8, as a host of version 12 or later reads it) and texts too long for the engine. Runs XLLHOST
--round-trip --leaks --file on them with --threads 1 and with --threads T (8 unless told); both
must exit 0 and print exactly the same. Prints what differs and exits 1, or exits 0; exits 77
(not run) when the emulator could not start the program on this machine.
"""

import argparse
import os
import random
import sys

import emulated_run

# Unit expressions by dimension: any two of a group convert into each other.
GROUPS = [
    ["m", "ft", "in", "mi", "km", "µm", "μm", "Å", "nmi", "yd"],
    ["s", "min", "hr", "day", "ms"],
    ["kg", "lbm", "g", "oz", "ton"],
    ["N", "lbf", "kg m/s^2", "dyne", "kgf"],
    ["J", "Btu", "cal", "kW hr", "eV", "N·m"],
    ["W", "hp", "Btu/hr", "kW"],
    ["Pa", "psi", "atm", "bar", "lbf/in^2", "mmHg"],
    ["m/s", "mi/hr", "km/h", "ft s^-1", "kn"],
    ["m²", "ft^2", "acre", "ha", "in²"],
    ["Ω", "kΩ", "ohm", "V/A"],
]
TEMPERATURES = ["degC", "degF", "degK", "degR", "℃", "°F", "K"]
FAILING = ["xyz", "米", "метр", "m^^2", "(m", "1.2.3", "m" + " " * 300, "ft😀"]


def value(rng):
    kind = rng.randrange(3)
    if kind == 0:
        return str(rng.randint(-1000, 1000))
    if kind == 1:
        return repr(rng.uniform(-1e6, 1e6))
    return repr(rng.uniform(0.0, 1.0) * 10.0 ** rng.randint(-30, 30))


def quoted(text):
    return '"' + text.replace('"', '""') + '"'


def formula(rng):
    group = rng.choice(GROUPS)
    kind = rng.randrange(10)
    if kind < 4:
        return "=Mensora(%s,%s,%s)" % (value(rng), quoted(rng.choice(group)),
                                       quoted(rng.choice(group)))
    if kind == 4:
        return "=Mensora(%s,%s,%s)" % (value(rng), quoted(rng.choice(TEMPERATURES)),
                                       quoted(rng.choice(TEMPERATURES)))
    if kind == 5:
        return "=ToMetric(%s,%s)" % (value(rng), quoted(rng.choice(group + FAILING)))
    if kind == 6:
        return "=FromMetric(%s,%s)" % (value(rng), quoted(rng.choice(group)))
    if kind == 7:
        return "=ShowMetric(%s)" % quoted(rng.choice(group + FAILING))
    if kind == 8:
        return "=ShowCommonMetric(%s)" % quoted(rng.choice(group))
    return rng.choice(["=Grav()", "=GasConst()",
                       "=Mensora(1,%s,%s)" % (quoted(rng.choice(FAILING)),
                                              quoted(rng.choice(group)))])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("--count", type=int, default=100000)
    parser.add_argument("--threads", type=int, default=8)
    parser.add_argument("--seed", type=int, default=19)
    parser.add_argument("--emulator", default="")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command or args.count < 1:
        parser.error("no command to run, or no formulas")

    rng = random.Random(args.seed)
    path = os.path.join(args.out, "threads.formulas")
    with open(path, "w", encoding="utf-8", newline="\n") as file:
        file.write("".join(formula(rng) + "\n" for _ in range(args.count)))

    outputs = []
    for threads in (1, args.threads):
        run = emulated_run.run(command[:-1] + ["--round-trip", "--leaks", "--threads",
                                               str(threads), "--file", path, command[-1]],
                               args.emulator)
        output = run.stdout.replace(b"\r\n", b"\n")
        if run.returncode != 0 or output.count(b"\n") != args.count + 2:
            print("threads %d: exit status %d, %d lines for %d formulas\n%s"
                  % (threads, run.returncode, output.count(b"\n"), args.count,
                     run.stderr.decode("utf-8", "replace")[-2000:]))
            return 1
        outputs.append(output.splitlines())
    differing = [(a, b) for a, b in zip(*outputs) if a != b]
    if differing:
        print("--threads 1 and --threads %d differ in %d of %d rows, such as:"
              % (args.threads, len(differing), args.count))
        for a, b in differing[:10]:
            print("  1: %s\n  %d: %s" % (a.decode("utf-8", "replace"), args.threads,
                                         b.decode("utf-8", "replace")))
        return 1
    print("%d formulas give the same output on 1 and %d threads" % (args.count, args.threads))
    return 0


if __name__ == "__main__":
    sys.exit(main())
