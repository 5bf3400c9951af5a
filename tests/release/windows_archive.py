#!/usr/bin/env python3
"""Checks the Windows download that scripts/package.sh makes.

    windows_archive.py --zip ZIP --debug-zip ZIP --x86 BUILT-XLL --x64 BUILT-XLL

The archive holds exactly the expected files; SHA256SUMS gives each file's sum; each add-in is
the one the build made and tested, of its own machine type, without debug information, and
with a debug link to the debug file in the debug archive whose checksum that file has; every
link in the HTML and Markdown documents leads to a file of the archive. Prints each problem and
exits 1, or exits 0.
"""

import argparse
import hashlib
import re
import struct
import sys
import zipfile
import zlib

EXPECTED = {
    "x86/MENSORA.xll", "x64/MENSORA.xll", "user-guide.html", "user-guide.md", "units.html",
    "units.md", "README.md", "LICENSE", "CHANGELOG.md", "SHA256SUMS",
}
MACHINES = {"x86": 0x14C, "x64": 0x8664}  # the PE file header's machine field
LINK = re.compile(r'(?:href|src)="([^"]*)"|\]\(([^)\s]*)\)')


def pe_sections(data):
    """The PE file's machine type and its section names with their contents."""
    header = struct.unpack_from("<I", data, 0x3C)[0]
    if data[header:header + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    machine, count, _, symbols, symbol_count, optional_size = struct.unpack_from(
        "<HHIIIH", data, header + 4)
    # A name longer than eight letters is "/N": offset N into the string table, which follows
    # the symbol table.
    strings = symbols + 18 * symbol_count
    table = header + 24 + optional_size
    sections = {}
    for index in range(count):
        entry = table + 40 * index
        name = data[entry:entry + 8].rstrip(b"\0")
        if name.startswith(b"/") and symbols:
            start = strings + int(name[1:])
            name = data[start:data.index(b"\0", start)]
        name = name.decode("ascii", "replace")
        raw_size, raw_offset = struct.unpack_from("<II", data, entry + 16)
        sections[name] = data[raw_offset:raw_offset + raw_size]
    return machine, sections


def check_addin(folder, data, built, debug_files):
    problems = []
    if data != built:
        problems.append("%s/MENSORA.xll is not the add-in the build made" % folder)
    machine, sections = pe_sections(data)
    if machine != MACHINES[folder]:
        problems.append("%s/MENSORA.xll has machine type %#x" % (folder, machine))
    debug = sorted(name for name in sections if name.startswith(".debug"))
    if debug:
        problems.append("%s/MENSORA.xll carries debug sections %s" % (folder, debug))
    link = sections.get(".gnu_debuglink", b"")
    name_end = link.find(b"\0")
    name = link[:name_end].decode("ascii", "replace")
    crc_at = (name_end + 4) & ~3  # the name is padded to four bytes, then the checksum
    if name != "MENSORA.xll.debug" or len(link) < crc_at + 4:
        problems.append("%s/MENSORA.xll has no debug link to MENSORA.xll.debug" % folder)
        return problems
    debug_file = debug_files.get("%s/%s" % (folder, name))
    if debug_file is None:
        problems.append("the debug archive lacks %s/%s" % (folder, name))
    elif zlib.crc32(debug_file) != struct.unpack_from("<I", link, crc_at)[0]:
        problems.append("%s/%s is not the debug file the add-in links to" % (folder, name))
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--zip", required=True)
    parser.add_argument("--debug-zip", required=True)
    parser.add_argument("--x86", required=True)
    parser.add_argument("--x64", required=True)
    args = parser.parse_args()

    with zipfile.ZipFile(args.zip) as archive:
        files = {info.filename: archive.read(info) for info in archive.infolist()
                 if not info.is_dir()}
    with zipfile.ZipFile(args.debug_zip) as archive:
        debug_files = {name: archive.read(name) for name in archive.namelist()}
    problems = []
    if set(files) != EXPECTED:
        problems.append("the archive holds %s, expected %s" % (sorted(files), sorted(EXPECTED)))

    sums = {}
    for line in files.get("SHA256SUMS", b"").decode().splitlines():
        digest, name = line.split("  ", 1)
        sums[name] = digest
    for name, data in files.items():
        if name != "SHA256SUMS" and sums.get(name) != hashlib.sha256(data).hexdigest():
            problems.append("SHA256SUMS has no right sum for %s" % name)
    if set(sums) != set(files) - {"SHA256SUMS"}:
        problems.append("SHA256SUMS names %s" % sorted(set(sums) ^ (set(files) - {"SHA256SUMS"})))

    for folder in MACHINES:
        name = folder + "/MENSORA.xll"
        with open(getattr(args, folder), "rb") as built:
            if name in files:
                problems += check_addin(folder, files[name], built.read(), debug_files)

    documents = [name for name in files if name.endswith((".html", ".md"))]
    if not documents:
        problems.append("no documents in the archive")
    for name in documents:
        text = files[name].decode("utf-8")
        if name.endswith(".html") and not re.search(r"<title>[^<]+</title>", text):
            problems.append("%s has no title" % name)
        for match in LINK.finditer(text):
            target = (match.group(1) or match.group(2)).split("#")[0]
            if target and not re.match(r"[a-z]+:", target) and target not in files:
                problems.append("%s links to %s, which the archive lacks" % (name, target))

    print("\n".join(problems) if problems else "%d files checked" % len(files))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
