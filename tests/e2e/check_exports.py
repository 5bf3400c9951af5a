#!/usr/bin/env python3
"""Checks the export and import tables of a Windows DLL (or program) that mingw-w64 built.

    check_exports.py [--objdump TOOL] [--format FORMAT] [--allow DLL ...] FILE [EXPORT ...]

FORMAT is the object format objdump must name for the file: pei-i386 for a 32-bit file,
pei-x86-64 for a 64-bit one (a 64-bit objdump reads both, so only this tells them apart). Each
EXPORT is a name the file exports, NAME@N a name it exports at ordinal N, or @N an export by
ordinal N alone. The file fails when its exports differ from that list in any way, when it
imports XLCall32.dll other than as a host of its kind offers it (a 32-bit file by exactly the
ordinals 2 and 3 of the published export listing; a 64-bit one, whose host library has no
published ordinals, by exactly the names Excel4 and Excel4v), or when it imports a DLL outside
the system set a statically linked add-in may need (extend it with --allow). Prints each
problem and exits 1, or prints "ok".
"""

import argparse
import re
import subprocess
import sys

HOST_DLL = "xlcall32.dll"
HOST_ORDINALS = {2, 3}
HOST_NAMES = {"Excel4", "Excel4v"}
FORMAT_64 = "pei-x86-64"
# What the statically linked runtime imports (KERNEL32, msvcrt), plus what an add-in with a
# message box and an automation bridge adds. Compared without regard to case.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "ole32.dll", "oleaut32.dll"}

EXPORT_BASE = re.compile(r"^Export Address Table -- Ordinal Base (\d+)")
EXPORT_ADDRESS = re.compile(r"^\s+\[\s*(\d+)\] \+base\[\s*(\d+)\]\s+[0-9a-fA-F]+ ")
EXPORT_NAME = re.compile(r"^\s+\[\s*(\d+)\] (\S+)$")
FILE_FORMAT = re.compile(r"file format (\S+)")
DLL_NAME = re.compile(r"^\s+DLL Name: (\S+)")
IMPORT_ENTRY = re.compile(r"^\s+[0-9a-fA-F]+\s+(\d+)\s+(\S+)")


def read_tables(dump):
    """Parses `objdump -p` text into (exports, imports).

    exports is a set of names, and of "@N" for ordinals exported without a name; imports maps
    each DLL name to a list of ("name", text) or ("ordinal", number) entries.
    """
    ordinals, names = set(), {}
    imports = {}
    section, base, dll = None, 0, None
    for line in dump.splitlines():
        match = EXPORT_BASE.match(line)
        if match:
            section, base = "addresses", int(match.group(1))
            continue
        if line.startswith("[Ordinal/Name Pointer] Table"):
            section = "names"
            continue
        match = DLL_NAME.match(line)
        if match:
            section, dll = "imports", match.group(1)
            imports.setdefault(dll, [])
            continue
        if not line.strip():
            section = None
            continue
        if section == "addresses":
            match = EXPORT_ADDRESS.match(line)
            if match:
                ordinals.add(int(match.group(2)))
        elif section == "names":
            match = EXPORT_NAME.match(line)
            if match:
                names[match.group(2)] = base + int(match.group(1))
        elif section == "imports":
            match = IMPORT_ENTRY.match(line)
            if match:
                hint_or_ordinal, name = int(match.group(1)), match.group(2)
                if name == "<none>":
                    imports[dll].append(("ordinal", hint_or_ordinal))
                else:
                    imports[dll].append(("name", name))
    exports = set(names) | {"@%d" % n for n in ordinals - set(names.values())}
    exports |= {"%s@%d" % (name, ordinal) for name, ordinal in names.items()}
    return exports, imports


def host_import_problems(dll, entries, by_name):
    """The ways one file's imports of the host library break the rule of its kind: by exactly
    the host's names, or by exactly its ordinals."""
    kind, wanted = ("name", HOST_NAMES) if by_name else ("ordinal", HOST_ORDINALS)
    found = {value for entry_kind, value in entries if entry_kind == kind}
    problems = ["%s: imported by %s: %s" % (dll, other, value)
                for other, value in entries if other != kind]
    problems += ["%s: unexpected %s %s" % (dll, kind, value) for value in sorted(found - wanted)]
    problems += ["%s: %s %s not imported" % (dll, kind, value) for value in sorted(wanted - found)]
    return problems


def find_problems(exports, imports, expected, allowed, file_format=""):
    """Returns one line of text for each way the tables break the rules."""
    problems = []
    # A plain name matches whatever its ordinal; NAME@N also asks for the ordinal.
    plain = {name for name in exports if not re.match(r".+@\d+$", name)}
    for name in sorted(set(expected) - exports):
        problems.append("missing export: %s" % name)
    asked_ordinals = {name.rsplit("@", 1)[0] for name in expected if re.match(r".+@\d+$", name)}
    for name in sorted(plain - set(expected) - asked_ordinals):
        problems.append("unexpected export: %s" % name)
    for dll, entries in sorted(imports.items()):
        if dll.lower() == HOST_DLL:
            problems += host_import_problems(dll, entries, file_format == FORMAT_64)
        elif dll.lower() not in allowed:
            problems.append("%s: not an allowed import" % dll)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--format", help="the object format the file must have")
    parser.add_argument("--allow", action="append", default=[], metavar="DLL",
                        help="another DLL the file may import")
    parser.add_argument("file")
    parser.add_argument("exports", nargs="*")
    args = parser.parse_args()

    run = subprocess.run([args.objdump, "-p", args.file], capture_output=True, text=True)
    if run.returncode != 0 or "The Import Tables" not in run.stdout:
        sys.stderr.write(run.stderr)
        print("%s: cannot read its tables with %s" % (args.file, args.objdump))
        return 1
    match = FILE_FORMAT.search(run.stdout)
    found_format = match.group(1) if match else "unknown"
    if args.format and found_format != args.format:
        print("%s: file format %s, expected %s" % (args.file, found_format, args.format))
        return 1
    exports, imports = read_tables(run.stdout)
    # A change in objdump's layout must not read as a file that imports and exports nothing.
    unread = [table for table, found in (("import", imports), ("export", exports))
              if "There is an %s table" % table in run.stdout and not found]
    if unread:
        print("%s: %s table not understood" % (args.file, " and ".join(unread)))
        return 1
    allowed = SYSTEM_DLLS | {dll.lower() for dll in args.allow}
    problems = find_problems(exports, imports, args.exports, allowed, found_format)
    for problem in problems:
        print("%s: %s" % (args.file, problem))
    if problems:
        return 1
    print("%s: ok (%s; exports %s; imports %s)" % (
        args.file, found_format,
        " ".join(sorted(e for e in exports if not re.match(r".+@\d+$", e))) or "none",
        " ".join(sorted(imports))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
