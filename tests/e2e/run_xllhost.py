#!/usr/bin/env python3
"""Runs xllhost and compares what it did with what a test expects.

    run_xllhost.py [--emulator CMD] [--status N] [--stdout FILE] [--stdout-has TEXT ...]
                   [--stderr-has TEXT ...] [--trace FILE --calls NAME,... [--after REGEX]]
                   -- XLLHOST [ARGS...]

--status: the exit status expected (default 0). --stdout: standard output must equal the file.
--stdout-has, --stderr-has: standard output or error must hold the text. --trace: the trace
lines (standard error) of the calls named in --calls, from the line after the first one matching
--after on, must equal the file, line by line. Line ends are compared without their carriage
returns, which programs run under Wine write. Prints what differs and exits 1, or exits 0; exits
77 (not run) when the emulator could not start the program on this machine.
"""

import argparse
import difflib
import re
import sys

import emulated_run


def call_name(line):
    """The name of the call a trace line shows: "xlfRegister" (through either interface),
    "xlAutoOpen", "ExecuteExcel4Macro" (an automation call, in this process or another), or
    None."""
    match = re.match(r"(?:add-in: |Excel12: |automation: (?:another process: )?)?"
                     r"([A-Za-z_][A-Za-z0-9_]*)\(", line)
    return match.group(1) if match else None


def select_trace(lines, names, after):
    """The lines of calls in names, from the line after the first one matching after on."""
    if after:
        for index, line in enumerate(lines):
            if re.search(after, line):
                lines = lines[index + 1:]
                break
        else:
            return None
    return [line for line in lines if call_name(line) in names]


def differences(label, got, expected):
    if got == expected:
        return []
    diff = difflib.unified_diff(expected, got, "expected " + label, "got " + label, lineterm="")
    return list(diff)


def read_lines(path):
    with open(path, encoding="utf-8") as file:
        return file.read().splitlines()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--emulator", default="")
    parser.add_argument("--status", type=int, default=0)
    parser.add_argument("--stdout")
    parser.add_argument("--stdout-has", action="append", default=[])
    parser.add_argument("--stderr-has", action="append", default=[])
    parser.add_argument("--trace")
    parser.add_argument("--calls", default="")
    parser.add_argument("--after")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no command to run")

    run = emulated_run.run(command, args.emulator, text=True, errors="replace")
    if args.emulator:
        command = [args.emulator] + command
    stdout = run.stdout.replace("\r\n", "\n")
    stderr_lines = run.stderr.replace("\r\n", "\n").splitlines()
    problems = []
    if run.returncode != args.status:
        problems.append("exit status %d, expected %d" % (run.returncode, args.status))
    if args.stdout:
        problems += differences("output", stdout.splitlines(), read_lines(args.stdout))
    stderr = "\n".join(stderr_lines)
    for label, texts, output in (("output", args.stdout_has, stdout),
                                 ("standard error", args.stderr_has, stderr)):
        problems += ["the %s does not hold: %s" % (label, text)
                     for text in texts if text not in output]
    if args.trace:
        names = set(filter(None, args.calls.split(",")))
        got = select_trace(stderr_lines, names, args.after)
        if got is None:
            problems.append("no trace line matches %r" % args.after)
        else:
            problems += differences("trace", got, read_lines(args.trace))
    if problems:
        print("command: %s" % " ".join(command))
        print("\n".join(problems))
        print("--- output ---\n%s--- standard error ---\n%s" % (stdout, stderr))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
