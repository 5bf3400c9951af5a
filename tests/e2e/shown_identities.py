#!/usr/bin/env python3
"""Checks that the add-in shows each identity of a table exactly, both ways, through xllhost.

    shown_identities.py --identities FILE --out DIR [--emulator CMD] -- XLLHOST [OPTIONS...] ADDIN

FILE holds lines VALUE<TAB>FROM<TAB>SHOWN<TAB>TO (blank lines and # comments skipped): the cell
=Mensora(VALUE,"FROM","TO") must show SHOWN, and =Mensora(SHOWN,"TO","FROM") must show VALUE,
digit for digit as xllhost prints a cell. Writes the formulas to DIR/shown_identities.formulas
and runs XLLHOST --file on them. Prints every identity that fails and exits 1, or exits 0; a
missing or empty table fails too.
"""

import argparse
import os
import sys

import emulated_run


def read_identities(path):
    identities = []
    with open(path, encoding="utf-8") as file:
        for line in file:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 4:
                raise ValueError("%s: not VALUE<TAB>FROM<TAB>SHOWN<TAB>TO: %r" % (path, line))
            identities.append(fields)
    return identities


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--identities", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--emulator", default="")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    try:
        identities = read_identities(args.identities)
    except (OSError, ValueError) as problem:
        print("shown_identities: %s" % problem)
        return 1
    if not identities:
        print("shown_identities: no identities in %s" % args.identities)
        return 1

    expected = []
    for value, source, shown, target in identities:
        expected.append(('=Mensora(%s,"%s","%s")' % (value, source, target), shown))
        expected.append(('=Mensora(%s,"%s","%s")' % (shown, target, source), value))
    formulas = os.path.join(args.out, "shown_identities.formulas")
    with open(formulas, "w", encoding="utf-8") as file:
        file.write("".join(formula + "\n" for formula, _ in expected))

    run = emulated_run.run(command[:-1] + ["--file", formulas, command[-1]], args.emulator,
                           text=True, errors="replace")
    # The table's rows follow its heading and rule, one a formula, in order.
    rows = run.stdout.replace("\r\n", "\n").splitlines()[2:]
    problems = []
    if run.returncode != 0 or len(rows) != len(expected):
        problems.append("xllhost exited %d with %d rows for %d formulas:\n%s%s"
                        % (run.returncode, len(rows), len(expected), run.stdout, run.stderr))
    else:
        for (formula, shown), row in zip(expected, rows):
            got = row[len(formula):].strip() if row.startswith(formula) else row
            if got != shown:
                problems.append("%s shows %s, expected %s" % (formula, got, shown))
    print("\n".join(problems) if problems else "%d formulas as expected" % len(expected))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
