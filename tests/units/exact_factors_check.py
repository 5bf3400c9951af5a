#!/usr/bin/env python3
"""Holds the factors of generated unit expressions to their exact values.

    exact_factors_check.py --mensora MENSORA [--count N] [--seed S]

Reads the catalogue's definitions from `mensora --list`, works out each unit's exact factor as a
fraction (units defined through pi are left out), and writes seeded random products of units to
powers from -3 to 4. `mensora --batch --round-trip` converts 1 SI unit into each, which gives the
expression's factor itself; it must be the double nearest the exact value (all but a few in a
thousand, which lie within a part in 2^60 of halfway) and never more than one unit in the last
place away. Prints what fails and exits 1, or exits 0.
"""

import argparse
import math
import random
import subprocess
import sys
from decimal import Decimal
from fractions import Fraction


def catalogue(mensora):
    """Every unit's definition, by name."""
    listing = subprocess.run([mensora, "--list"], capture_output=True, text=True, check=True)
    rows = [line.split("\t") for line in listing.stdout.splitlines()]
    return {row[0]: (row[2], row[3]) for row in rows}


def exact_factors(units):
    """The exact factor (units per SI unit) of every unit not defined through pi."""
    gravity = Fraction(Decimal("9.80665"))
    sizes = {"gravity": gravity, "water": 1000 * gravity}

    def size(name, depth=0):
        if name not in sizes:
            if name == "pi" or depth > 30:
                raise ValueError(name)
            sizes[name] = size_of(units[name][1], depth + 1)
        return sizes[name]

    def size_of(text, depth):
        value, dividing = Fraction(1), False
        if text == "base unit":
            return value
        for item in text.split():
            if item == "/":
                dividing = True
                continue
            if item[0].isdigit() or item[0] == ".":
                part = Fraction(Decimal(item))
            else:
                name, _, power = item.partition("^")
                part = size(name, depth) ** int(power or 1)
            value = value / part if dividing else value * part
        return value

    factors = {}
    for name in units:
        try:
            factors[name] = 1 / size(name)
        except ValueError:
            pass
    return factors


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--mensora", required=True)
    parser.add_argument("--count", type=int, default=2000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    units = catalogue(args.mensora)
    factors = exact_factors(units)
    # A lone degC or degF carries an offset, and the SI text of a temperature difference reads
    # as an absolute temperature: their factors are held through degK and degR.
    names = sorted(name for name in factors
                   if name not in ("degC", "degF") and "diff" not in units[name][1] + name)
    if len(names) < 150:
        print("only %d units read from %s" % (len(names), args.mensora))
        return 1
    rng = random.Random(args.seed)
    cases, lines = [], []
    for _ in range(args.count):
        terms, si_terms, exact = [], [], Fraction(1)
        for _ in range(rng.choice([1, 2, 2, 3])):
            name, power = rng.choice(names), rng.choice([1, 1, 2, 3, 4, -1, -2, -3])
            terms.append(name if power == 1 else "%s^%d" % (name, power))
            si_terms.append("(%s)" % units[name][0] + ("" if power == 1 else "^%d" % power))
            exact *= factors[name] ** power
        cases.append((" ".join(terms), exact))
        # 1 in the SI units (factor 1) converted into the expression gives its factor.
        lines.append("1\t%s\t%s\n" % (" ".join(si_terms), cases[-1][0]))
    results = subprocess.run([args.mensora, "--batch", "--round-trip"], capture_output=True,
                             text=True, input="".join(lines)).stdout.splitlines()
    if len(results) != len(cases):
        print("expected %d results, got %d" % (len(cases), len(results)))
        return 1
    off, far = 0, []
    for (text, exact), result in zip(cases, results):
        nearest = float(exact)
        try:
            if float(result) == nearest:
                continue
        except ValueError:
            far.append("%s: %s" % (text, result))
            continue
        off += 1
        if abs(Fraction(float(result)) - exact) > Fraction(math.ulp(nearest)):
            far.append("%s: %s, exactly %r" % (text, result, nearest))
    print("%d factors, %d not the nearest double, %d more than one unit in the last place off"
          % (len(cases), off, len(far)))
    for line in far[:20]:
        print("  " + line)
    return 0 if off * 200 <= len(cases) and not far else 1


if __name__ == "__main__":
    sys.exit(main())
