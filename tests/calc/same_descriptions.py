#!/usr/bin/env python3
"""Compares the functions the extension adds to Calc with those the add-in registers with the
Windows host: the same names, descriptions, argument names and argument helps.

    same_descriptions.py --xllhost XLLHOST ADDIN --calchost PYTHON CALCHOST EXTENSION

The add-in's side comes from the xlfRegister calls of xllhost's trace, Calc's from calchost
--describe (which shows names in capitals, as Calc's function wizard does). Prints what differs
and exits 1, or exits 0.
"""

import argparse
import re
import subprocess
import sys


def registered(xllhost, addin):
    """Name -> (description, [(argument, help)]) as xlfRegister receives them, through either
    interface of the host (the trace writes "Excel12: " before a call of version 12). The
    host's registration ends each help with a blank, which is no part of the text."""
    run = subprocess.run([xllhost, "--trace", addin], capture_output=True, text=True)
    functions = {}
    for line in run.stderr.splitlines():
        line = line[len("Excel12: "):] if line.startswith("Excel12: ") else line
        if not line.startswith("xlfRegister("):
            continue
        texts = [text.replace('""', '"')
                 for text in re.findall(r'"((?:[^"]|"")*)"', line.split(") -> ")[0])]
        if texts[5] != "1":
            continue  # a command, not a worksheet function
        name, argument_text, helps = texts[3], texts[4], [t[:-1] if t.endswith(" ") else t
                                                          for t in texts[9:]]
        names = argument_text.split(",") if argument_text else []
        functions[name.upper()] = (helps[0] if helps else None, list(zip(names, helps[1:])))
    return functions


def described(python, calchost, extension):
    run = subprocess.run([python, calchost, "--describe", extension], capture_output=True,
                         text=True)
    functions = {}
    for line in run.stdout.splitlines():
        name, category, description, *arguments = line.split("\t")
        functions[name] = (category, description,
                           [tuple(argument.split(": ", 1)) for argument in arguments])
    return functions


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--xllhost", nargs=2, required=True)
    parser.add_argument("--calchost", nargs=3, required=True)
    args = parser.parse_args()
    host = registered(*args.xllhost)
    calc = described(*args.calchost)
    problems = []
    if len(host) != 7:
        problems.append("xllhost's trace registers %d functions, not 7" % len(host))
    if sorted(host) != sorted(calc):
        problems.append("the add-in registers %s, the extension adds %s"
                        % (sorted(host), sorted(calc)))
    for name in sorted(set(host) & set(calc)):
        description, arguments = host[name]
        category, calc_description, calc_arguments = calc[name]
        # Calc files every add-in's functions under its own category Add-In.
        if category != "Add-In":
            problems.append("%s: in the category %s" % (name, category))
        if description is not None and calc_description != description:
            problems.append("%s: described as %r, registered as %r"
                            % (name, calc_description, description))
        if calc_arguments != arguments:
            problems.append("%s: arguments %r, registered as %r" % (name, calc_arguments,
                                                                    arguments))
    if problems:
        print("\n".join(problems))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
