#!/usr/bin/env python3
"""Cross-checks every factor of the unit catalogue with GNU units, and with its own definition.

    gnu_units_check.py --mensora PATH --table FILE [--units PATH] [--verbose]

Reads the catalogue from `mensora --list` (name, factor per SI unit, SI unit text, definition,
then columns this check does not read) and FILE, which names each unit as GNU units knows it:
NAME<TAB>EXPRESSION, and for an exception a tolerance other than 1e-12 and the reason. NAME is a
unit of the catalogue or another spelling that mensora reads (a full name, a plural, a form). It
checks that
 - GNU units gives one EXPRESSION, in the SI units of NAME, within the tolerance of what one
   NAME is in SI units, as the catalogue's factor (for a unit) or `mensora --round-trip 1 NAME`
   (for another spelling) gives it;
 - every unit's factor is the double nearest to the exact value of its definition, worked out
   in fractions from the definitions of the units it names.
Fails, never skips, when GNU units is missing, when FILE misses a unit of the catalogue or names
a spelling mensora does not read, or when a name fails a check. Prints what failed and exits 1,
or exits 0.
"""

import argparse
import shutil
import subprocess
import sys
from fractions import Fraction

TOLERANCE = Fraction(1, 10**12)

# The named constants of the catalogue's definitions, exactly or to 50 digits.
CONSTANTS = {
    "pi": Fraction("3.1415926535897932384626433832795028841971693993751"),
    "gravity": Fraction("9.80665"),
    "water": 1000 * Fraction("9.80665"),
}

# Words of mensora's SI unit texts that GNU units reads otherwise ("rad" is its absorbed dose),
# to any power.
GNU_WORDS = {"rad": "radian", "degK": "K"}


def gnu_word(word):
    name, caret, power = word.partition("^")
    return GNU_WORDS.get(name, name) + caret + power


def read_catalogue(mensora):
    run = subprocess.run([mensora, "--list"], capture_output=True, text=True, check=True)
    units = {}
    for line in run.stdout.splitlines():
        name, factor, si_text, definition = line.split("\t")[:4]
        units[name] = (float(factor), si_text.strip(), definition)
    return units


def read_table(path):
    """{name: (expression, tolerance, reason)} from the table file."""
    table = {}
    with open(path, encoding="utf-8") as file:
        for line in file:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) not in (2, 4) or fields[0] in table:
                raise ValueError("%s: not NAME<TAB>EXPRESSION[<TAB>TOLERANCE<TAB>WHY], or a "
                                 "second row of its name: %r" % (path, line))
            tolerance = Fraction(fields[2]) if len(fields) == 4 else TOLERANCE
            table[fields[0]] = (fields[1], tolerance, fields[3] if len(fields) == 4 else "")
    return table


def exact_size(name, units, depth=0):
    """One of the unit in SI units, exactly, from the definitions in units."""
    if name in CONSTANTS:
        return CONSTANTS[name]
    definition = units[name][2]
    if definition == "base unit":
        return Fraction(1)
    if depth > 24:
        raise ValueError("definitions go round in a circle at %s" % name)
    size, dividing = Fraction(1), False
    for item in definition.split():
        if item == "/":
            dividing = True
            continue
        word, _, power = item.partition("^")
        value = Fraction(word) if word[0].isdigit() or word[0] == "." else exact_size(
            word, units, depth + 1)
        value **= int(power or 1)
        size = size / value if dividing else size * value
    return size


def spelling_size(mensora, name):
    """One NAME in SI units as mensora reads it, and the SI unit text; None for a name it does
    not read."""
    run = subprocess.run([mensora, "--round-trip", "1", name], capture_output=True, text=True)
    if run.returncode != 0:
        return None, run.stderr.strip()
    value, si_text = run.stdout.rstrip("\n").split("\t")
    return Fraction(float(value)), si_text.strip()


def gnu_size(units_program, expression, si_text):
    """One EXPRESSION in the SI units si_text, as GNU units gives it, or the message."""
    target = " ".join(gnu_word(word) for word in si_text.split()) or "1"
    run = subprocess.run([units_program, "-t", "-d", "15", "-l", "en_US", expression, target],
                         capture_output=True, text=True)
    try:
        return Fraction(run.stdout.strip()), None
    except ValueError:
        return None, (run.stdout + run.stderr).strip()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--mensora", required=True)
    parser.add_argument("--table", required=True)
    parser.add_argument("--units", default="units")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    units_program = shutil.which(args.units)
    if units_program is None:
        print("GNU units (%s) is not installed: the Debian package units" % args.units)
        return 1
    units = read_catalogue(args.mensora)
    table = read_table(args.table)
    problems = ["no row for %s in %s" % (name, args.table) for name in units if name not in table]
    if not units or problems:
        print("\n".join(problems or ["mensora --list gave no units"]))
        return 1

    exceptions = 0
    for name, (expression, tolerance, reason) in table.items():
        exceptions += bool(reason)
        if name in units:
            factor, si_text, definition = units[name]
            exact = 1 / exact_size(name, units)
            if float(exact) != factor:
                problems.append("%s: factor %r, but its definition %r gives %r"
                                % (name, factor, definition, float(exact)))
            mensora_size = 1 / Fraction(factor)
        else:
            mensora_size, si_text = spelling_size(args.mensora, name)
            if mensora_size is None:
                problems.append("%s is no unit of the catalogue, and mensora reads no such "
                                "name: %s" % (name, si_text))
                continue
        size, message = gnu_size(units_program, expression, si_text)
        if size is None:
            problems.append("%s: GNU units on %r: %s" % (name, expression, message))
            continue
        deviation = abs(size / mensora_size - 1)
        if args.verbose:
            print("%-13s %-24s %-22s %.2e" % (name, expression, "%.15g" % float(size),
                                              float(deviation)))
        if deviation > tolerance:
            problems.append("%s: one is %.15g %s, GNU units gives %.15g for %r (%.1e apart)"
                            % (name, float(mensora_size), si_text, float(size), expression,
                               float(deviation)))
    if problems:
        print("\n".join(problems))
        return 1
    print("%d units and %d other spellings agree with GNU units, %d of them as listed "
          "exceptions, and the units with their definitions"
          % (len(units), len(table) - len(units), exceptions))
    return 0


if __name__ == "__main__":
    sys.exit(main())
