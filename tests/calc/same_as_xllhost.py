#!/usr/bin/env python3
"""Evaluates formula files with the add-in in xllhost and with the extension in Calc, and
requires the same results but for the differences listed.

    same_as_xllhost.py --differences FILE --xllhost XLLHOST ADDIN
                       --calchost PYTHON CALCHOST EXTENSION FORMULAS...

FORMULAS are formula or check files (of a check line, the formula before its tab). The
differences file is the one place that says where Calc shows a result differently from the
Windows host: lines of formula, xllhost's result, Calc's result and why, separated by tabs. Every
other result must be the same text, and every listed difference must still be seen. Prints what
differs and exits 1, or prints a summary and exits 0.
"""

import argparse
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "harness", "calchost"))
import calchost  # noqa: E402


def decoded(data):
    # xllhost writes texts in the Windows host's code page; calchost in UTF-8.
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return data.decode("cp1252")


def results(command, formulas):
    """The result column of the table a program prints for the formulas."""
    run = subprocess.run(command, capture_output=True)
    rows = decoded(run.stdout).replace("\r\n", "\n").splitlines()[2:]
    if run.returncode != 0 or len(rows) != len(formulas):
        sys.exit("%s: status %d, %d rows for %d formulas\n%s"
                 % (" ".join(command), run.returncode, len(rows), len(formulas),
                    decoded(run.stderr)[-2000:]))
    return [row[len(formula):].strip(" ") for formula, row in zip(formulas, rows)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--differences", required=True)
    parser.add_argument("--xllhost", nargs=2, required=True, metavar=("XLLHOST", "ADDIN"))
    parser.add_argument("--calchost", nargs=3, required=True,
                        metavar=("PYTHON", "CALCHOST", "EXTENSION"))
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()

    formulas = [text.split("\t")[0].strip(" ") for path in args.files
                for _, text in calchost.read_formula_lines(path)]
    listed = {}
    for _, line in calchost.read_formula_lines(args.differences):
        formula, host_result, calc_result, _why = line.split("\t")
        listed[formula] = (host_result, calc_result)
    if not formulas or not listed:
        print("same-as-xllhost: no formulas, or no differences listed")
        return 1
    with tempfile.NamedTemporaryFile("w", encoding="utf-8", suffix=".formulas") as file:
        file.write("\n".join(formulas) + "\n")
        file.flush()
        host = results([args.xllhost[0], "--file", file.name, args.xllhost[1]], formulas)
        python, program, extension = args.calchost
        calc = results([python, program, "--file", file.name, extension], formulas)

    problems = []
    seen = set()
    for formula, host_result, calc_result in zip(formulas, host, calc):
        if formula in listed:
            seen.add(formula)
            if (host_result, calc_result) != listed[formula]:
                problems.append("%s: xllhost %s, Calc %s; listed as %s and %s"
                                % ((formula, host_result, calc_result) + listed[formula]))
        elif host_result != calc_result:
            problems.append("%s: xllhost %s, Calc %s" % (formula, host_result, calc_result))
    problems += ["%s: listed as a difference but not evaluated" % formula
                 for formula in listed if formula not in seen]
    if problems:
        print("\n".join(problems))
        return 1
    print("same-as-xllhost: %d formulas, the same in Calc but for the %d listed"
          % (len(formulas), len(listed)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
