#!/usr/bin/env python3
"""Checks the Windows download of scripts/package.sh; prints each problem and exits 1, or 0.

    windows_archive.py --zip ZIP --debug-zip ZIP --version V --x86 BUILT-XLL --x64 BUILT-XLL

The archive holds exactly the expected files, with their sums in SHA256SUMS. Each add-in is
the one the build made and tested, of its machine type, without debug sections, linked to its
file in the debug archive by that file's checksum, and with a version resource naming the
version, the product, its bitness and the licence's copyright line. Every link of the documents
leads to a file of the archive.
"""

import argparse
import hashlib
import re
import struct
import sys
import zipfile
import zlib

EXPECTED = {"x86/MENSORA.xll", "x64/MENSORA.xll", "user-guide.html", "user-guide.md",
            "units.html", "units.md", "README.md", "LICENSE", "CHANGELOG.md", "SHA256SUMS"}
ADDINS = {"x86": (0x14C, "32-bit"), "x64": (0x8664, "64-bit")}  # PE machine type, bitness
LINK = re.compile(r'(?:href|src)="([^"]*)"|\]\(([^)\s]*)\)')


def pe_sections(data):
    """The PE file's machine type and {section name: contents}. A name longer than eight
    letters is "/N", offset N into the string table after the symbol table."""
    header = struct.unpack_from("<I", data, 0x3C)[0]
    machine, count, _, symbols, symbol_count, optional_size = struct.unpack_from(
        "<HHIIIH", data, header + 4)
    sections = {}
    for entry in range(header + 24 + optional_size, header + 24 + optional_size + 40 * count, 40):
        name = data[entry:entry + 8].rstrip(b"\0")
        if name.startswith(b"/"):
            start = symbols + 18 * symbol_count + int(name[1:])
            name = data[start:data.index(b"\0", start)]
        size, offset = struct.unpack_from("<II", data, entry + 16)
        sections[name.decode()] = data[offset:offset + size]
    return machine, sections


def check_addin(folder, data, debug_files, version, copyright_line):
    machine, sections = pe_sections(data)
    expected_machine, bitness = ADDINS[folder]
    problems = ["machine type %#x" % machine] if machine != expected_machine else []
    problems += ["debug section " + name for name in sections if name.startswith(".debug")]
    link = sections.get(".gnu_debuglink", b"\0")
    name = link[:link.index(b"\0")].decode()
    crc_at = (len(name) + 4) & ~3  # the name with its NUL, padded to four bytes
    debug_file = debug_files.get("%s/%s" % (folder, name))
    if name != "MENSORA.xll.debug" or debug_file is None or \
            struct.unpack_from("<I", link, crc_at)[0] != zlib.crc32(debug_file):
        problems.append("no debug link to the debug archive's %s/MENSORA.xll.debug" % folder)

    resource = sections.get(".rsrc", b"")
    fixed = resource.find(struct.pack("<I", 0xFEEF04BD))
    file_ms, file_ls = struct.unpack_from("<II", resource, fixed + 8) if fixed >= 0 else (0, 0)
    fixed_version = "%d.%d.%d" % (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16)
    texts = dict(re.findall("([A-Za-z]+)\0+([^\0]+)\0", resource.decode("utf-16-le", "replace")))
    expected = {"FileVersion": version, "ProductVersion": version, "ProductName": "Mensora",
                "LegalCopyright": copyright_line, "OriginalFilename": "MENSORA.xll"}
    problems += ["%s is %r" % (key, texts.get(key)) for key in expected
                 if texts.get(key) != expected[key]]
    if fixed_version != version or not texts.get("FileDescription", "").endswith(bitness + ")"):
        problems.append("version resource %s, %r" % (fixed_version, texts.get("FileDescription")))
    return ["%s/MENSORA.xll: %s" % (folder, problem) for problem in problems]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--zip", "--debug-zip", "--version", "--x86", "--x64"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    with zipfile.ZipFile(args.zip) as archive:
        files = {name: archive.read(name) for name in archive.namelist() if name[-1] != "/"}
    with zipfile.ZipFile(args.debug_zip) as archive:
        debug_files = {name: archive.read(name) for name in archive.namelist()}

    problems = [] if set(files) == EXPECTED else ["the archive holds %s" % sorted(files)]
    sums = dict(reversed(line.split("  ", 1))
                for line in files.get("SHA256SUMS", b"").decode().splitlines())
    for name, data in files.items():
        if name != "SHA256SUMS" and sums.pop(name, None) != hashlib.sha256(data).hexdigest():
            problems.append("SHA256SUMS gives no right sum for " + name)
    problems += ["SHA256SUMS names a file the archive lacks: " + name for name in sums]

    licence = files.get("LICENSE", b"").decode()
    copyright_line = next((line for line in licence.splitlines()
                           if line.startswith("Copyright")), "")
    for folder in ADDINS:
        data = files.get(folder + "/MENSORA.xll", b"")
        with open(getattr(args, folder), "rb") as built:
            if data != built.read():
                problems.append("%s/MENSORA.xll is not the add-in the build made" % folder)
        if data:
            problems += check_addin(folder, data, debug_files, args.version, copyright_line)

    documents = [name for name in files if name.endswith((".html", ".md"))]
    problems += [] if documents else ["no documents"]
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
