#!/usr/bin/env python3
"""Evaluates the same formulas with every build of the add-in and requires the same bits.

    cross_build.py --mensora MENSORA --out DIR [--count N] [--seed S] [--version-11-too]
                   --build NAME RUNNER XLLHOST ADDIN [--build ...]
                   [--calc PYTHON CALCHOST EXTENSION]

The formulas (ASCII only) are generated from the seed out of the catalogue that `mensora --list`
prints, its names and their other ASCII spellings (full names, names of two words, the trades'
spellings): conversions between expressions of the same dimension with whole, half and
fractional powers (with '^' or right after the name), conversions into and out of SI units, unit
texts, temperatures, and some that fail.
Each build's xllhost (RUNNER "-" runs it directly, anything else runs it through that program,
such as the Wine runner) evaluates them all with --round-trip numbers; every build must print
exactly what the first one printed. With --version-11-too each build runs a second time in a host
of version 11, through the add-in's functions of every version rather than its version 12 ones,
and must print the same again. --calc evaluates them in LibreOffice Calc too, with the extension
installed (calchost, run by PYTHON), as one more build named calc. Writes the formulas and each
build's table into DIR, prints what differs and exits 1, or prints a summary and exits 0.
"""

import argparse
import os
import random
import subprocess
import sys

import emulated_run

POWERS = ["", "", "", "^2", "^3", "^-2", "^0.5", "^1.5", "^3/2", "/2", "^2/3", "^0.25", "^1.7",
          "^-0.3", "^4", "^2.5", "2", "3", "-1", "-2"]
TEMPERATURES = ["degC", "degF", "degK", "degR"]


def read_catalogue(mensora):
    """Unit names and their other ASCII spellings grouped by their SI unit text, in the
    catalogue's order."""
    listing = subprocess.run([mensora, "--list"], capture_output=True, text=True, check=True)
    groups = {}
    for line in listing.stdout.splitlines():
        fields = line.split("\t")
        spellings = [fields[0]] + [spelling for spelling in "|".join(fields[6:8]).split("|")
                                   if spelling and spelling.isascii()]
        groups.setdefault(fields[2], []).extend(spellings)
    return groups


def number(rng):
    """A value as a formula writes it: its shortest round-trip text."""
    kind = rng.randrange(5)
    if kind == 0:
        return str(rng.randint(-100, 1000))
    if kind == 1:
        return repr(rng.uniform(-1000.0, 1000.0))
    if kind == 2:
        return repr(rng.uniform(0.0, 1.0) * 10.0 ** rng.randint(-12, 12))
    if kind == 3:
        return repr(round(rng.uniform(-500.0, 500.0), rng.randint(0, 4)))
    return repr(-rng.uniform(0.0, 1.0) * 10.0 ** rng.randint(-6, 6))


def expression_pair(rng, groups):
    """Two unit expressions of the same dimension: the same powers, each unit exchanged for
    another of its dimension."""
    names = list(groups)
    terms = []
    for _ in range(rng.randint(1, 3)):
        group = groups[rng.choice(names)]
        terms.append((group, rng.choice(group), rng.choice(group), rng.choice(POWERS)))
    split = rng.randint(1, len(terms))

    def text(which):
        words = [term[which] + term[3] for term in terms]
        numerator, denominator = words[:split], words[split:]
        return " ".join(numerator) + (" / " + " ".join(denominator) if denominator else "")

    return text(1), text(2)


def formula(rng, groups):
    kind = rng.randrange(20)
    source, target = expression_pair(rng, groups)
    value = number(rng)
    if kind < 9:
        return '=Mensora(%s,"%s","%s")' % (value, source, target)
    if kind < 10:
        return '=Mensora(%s,"%s","%s")' % (value, source, expression_pair(rng, groups)[0])
    if kind < 12:
        return '=Mensora(%s,"%s","%s")' % (value, rng.choice(TEMPERATURES),
                                           rng.choice(TEMPERATURES))
    if kind < 15:
        return '=ToMetric(%s,"%s")' % (value, source)
    if kind < 18:
        return '=FromMetric(%s,"%s")' % (value, source)
    if kind < 19:
        return '=ShowMetric("%s")' % source
    return '=ShowCommonMetric("%s")' % source


def run_build(name, command, out_dir):
    run = subprocess.run(command, capture_output=True)
    table = run.stdout.replace(b"\r\n", b"\n")
    with open(os.path.join(out_dir, name + ".table"), "wb") as file:
        file.write(table)
    return run.returncode, table, run.stderr.decode("utf-8", "replace")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--mensora", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--count", type=int, default=3000)
    parser.add_argument("--seed", type=int, default=12)
    parser.add_argument("--version-11-too", action="store_true")
    parser.add_argument("--build", nargs=4, action="append", required=True,
                        metavar=("NAME", "RUNNER", "XLLHOST", "ADDIN"))
    parser.add_argument("--calc", nargs=3, metavar=("PYTHON", "CALCHOST", "EXTENSION"))
    args = parser.parse_args()

    groups = read_catalogue(args.mensora)
    if len(groups) < 10:
        print("cross-build: the catalogue from %s has %d dimensions" % (args.mensora, len(groups)))
        return 1
    rng = random.Random(args.seed)
    formulas = [formula(rng, groups) for _ in range(args.count)]
    os.makedirs(args.out, exist_ok=True)
    formulas_path = os.path.join(args.out, "formulas")
    with open(formulas_path, "w", encoding="ascii") as file:
        file.write("\n".join(formulas) + "\n")

    failed = False
    first = None
    compared = []
    hosts = [("", [])] + ([(" --version 11", ["--version", "11"])] if args.version_11_too else [])
    builds = [(name + label, runner, ([] if runner == "-" else [runner]) +
               [xllhost, "--round-trip", "--leaks"] + options + ["--file", formulas_path, addin])
              for name, runner, xllhost, addin in args.build for label, options in hosts]
    if args.calc:
        python, calchost, extension = args.calc
        builds.append(("calc", "-", [python, calchost, "--round-trip", "--file", formulas_path,
                                     extension]))
    for name, runner, command in builds:
        status, table, errors = run_build(name.replace(" ", ""), command, args.out)
        # A build whose programs this machine cannot run is left out of the comparison, and said.
        if status == emulated_run.NOT_RUN and runner != "-":
            print("cross-build: %s: %s" % (name, errors.strip() or "not run on this machine"))
            continue
        compared.append(name)
        rows = table.decode("ascii", "replace").splitlines()
        # Two heading lines, then one row a formula: its text, blanks, and the result column.
        column = rows[0].find("result") if rows else -1
        rows = rows[2:]
        numbers = sum(1 for row in rows if any(c.isdigit() for c in row[column:]))
        if status != 0 or len(rows) < args.count or numbers < args.count // 2:
            print("cross-build: %s: status %d, %d rows, %d with numbers\n%s"
                  % (name, status, len(rows), numbers, errors[-2000:]))
            failed = True
            continue
        if first is None:
            first = (name, rows)
            continue
        differing = [(a, b) for a, b in zip(first[1], rows) if a != b]
        if len(rows) != len(first[1]) or differing:
            print("cross-build: %s and %s differ in %d of %d rows, such as:"
                  % (first[0], name, len(differing), len(rows)))
            for a, b in differing[:10]:
                print("  %s: %s\n  %s: %s" % (first[0], a, name, b))
            failed = True
    if failed or len(compared) < 2:
        return 1
    print("cross-build: %d formulas give the same output in %s"
          % (args.count, ", ".join(compared)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
