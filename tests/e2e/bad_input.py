#!/usr/bin/env python3
"""Feeds every worksheet function of the add-in hostile input through xllhost.

    bad_input.py --out DIR [--emulator CMD] [--legacy] -- XLLHOST [OPTIONS...] ADDIN

Writes DIR/bad_input.check with the cases whose result follows from the unit language itself
(every byte from 0x01 to 0xFF inside an expression, texts of 255 to 1000 characters, empty and
blank texts, values that every unit keeps), and runs XLLHOST --leaks --check on it with the
cases at the edges of the number range and of the exponents as formula arguments. Each of those
must give a finite number, a text, or a finite number beside a text: never an error value, least
of all #NUM! from a number that is not finite. Any failed check, crash or leak fails the run.
Prints what went wrong and exits 1, or exits 0.

The host is of version 16, which calls the add-in's version 12 functions with UTF-16 texts and
reads its own files and output as UTF-8; with --legacy it is of version 11, which passes the
code page's bytes (and refuses a text of more than 255 of them without calling the add-in).
"""

import argparse
import os
import re
import sys

import emulated_run

# The functions that take a unit expression, each as a formula around one expression.
TEXT_FUNCTIONS = {
    "Mensora in": '=Mensora(1,{},"kg m")',
    "Mensora out": '=Mensora(1,"kg m",{})',
    "ToMetric": "=ToMetric(1,{})",
    "FromMetric": "=FromMetric(1,{})",
    "ShowMetric": "=ShowMetric({})",
    "ShowCommonMetric": "=ShowCommonMetric({})",
}

# Numbers every conversion must survive, and expressions whose factors push them past the range.
EDGE_VALUES = ["1e308", "-1e308", "-0", "4.9e-324", "2.2250738585072014e-308",
               "1.7976931348623157e308", "-1.7976931348623157e308"]
EDGE_PAIRS = [("mi", "in"), ("in", "mi"), ("degC", "degF"), ("degF", "degC"), ("degC", "degK"),
              ("mm^99", "m^99"), ("m^99", "mm^99")]
EDGE_UNITS = ["degF", "mi", "Btu", "mm^99"]
# The largest exponents the parser reads: a run of 250 digits, and one beyond the range of int.
NINES = "9" * 250
EDGE_EXPRESSIONS = ["m^" + NINES, "m^99999999999", "ft^" + NINES, "m/" + NINES,
                    "m^" + "9" * 126 + "/" + "9" * 126, "mm^0." + "0" * 240 + "1",
                    "degC^" + NINES]


def quoted(text):
    """text as a formula or a cell shows it: in double quotes, a quote inside doubled."""
    return '"' + text.replace('"', '""') + '"'


def joined(text):
    """A formula expression for text, any byte in it written as CHAR(n)."""
    parts = []
    plain = ""
    for character in text:
        if " " <= character <= "~" and character != '"':
            plain += character
            continue
        if plain:
            parts.append(quoted(plain))
            plain = ""
        parts.append("CHAR(%d)" % ord(character))
    if plain or not parts:
        parts.append(quoted(plain))
    return "&".join(parts)


def answers(units_text, error=None, factor="1"):
    """What each text function gives for an expression whose SI unit text is units_text (of
    metres and kilograms, each of factor 1, so that the value 1 stays 1, but for a factor such
    as that of '%'), or for one that fails with error."""
    if error is not None:
        return {name: quoted(error) for name in TEXT_FUNCTIONS}
    same = units_text == "kg m "
    inverse = {"1": "1", "0.01": "100"}[factor]
    return {
        "Mensora in": factor if same else quoted("Inconsistent units"),
        "Mensora out": inverse if same else quoted("Inconsistent units"),
        "ToMetric": '{%s,%s}' % (factor, quoted(units_text)),
        "FromMetric": '{%s,%s}' % (inverse, quoted(units_text)),
        "ShowMetric": quoted(units_text),
        "ShowCommonMetric": quoted(units_text),
    }


# Characters of the host's code page (Windows-1252, which the tests run under) that the add-in
# reads as blanks, and the superscript powers, by byte.
CODE_PAGE_BLANKS = {0xA0, 0xB7, 0xD7}
CODE_PAGE_SUPERSCRIPTS = {0xB9: "kg m ", 0xB2: "kg m^2 ", 0xB3: "kg m^3 "}


def powered(digit):
    """The SI unit text of "metre" to the power digit, then "kg"."""
    return {"0": "kg ", "1": "kg m "}.get(digit, "kg m^%s " % digit)


def byte_answers(code):
    """The answers for "metre", the byte code and "kg" (names long enough that no name of the
    catalogue lies one edit from them, so that no message suggests one): a separator leaves
    "metre kg"; a letter, or any other character beyond ASCII, makes one unknown name (its byte
    comes back as it went); a digit right after the name is its power; a '.' is a misplaced
    number; '^' without its number is ignored; '/' divides; a parenthesis alone is unbalanced; a
    superscript is a power of the metre; '%' is a hundredth."""
    character = chr(code)
    if code in CODE_PAGE_SUPERSCRIPTS:
        return answers(CODE_PAGE_SUPERSCRIPTS[code])
    if (character.isascii() and character.isalpha()) or (
            code >= 0x80 and code not in CODE_PAGE_BLANKS):
        return answers(None, "Unknown unit 'metre%skg'" % character)
    if "0" <= character <= "9":
        return answers(powered(character))
    if character == ".":
        return answers(None, "number in wrong place")
    if character == "/":
        return answers("m / kg ")
    if character in "()":
        return answers(None, "Unbalanced parentheses")
    if character == "%":
        return answers("kg m ", factor="0.01")
    return answers("kg m ")


def characters(text):
    """text, written one character a byte of the code page (Windows-1252), as the characters those
    bytes stand for; the five bytes the code page leaves undefined stand for the control
    characters of their own value, as on Windows."""
    out = ""
    for character in text:
        byte = bytes([ord(character)])
        try:
            out += byte.decode("cp1252")
        except UnicodeDecodeError:
            out += character
    return out


def exact_cases(legacy):
    """(formula, expected result) pairs whose result the unit language fixes, their texts in
    the code page's bytes (one character a byte)."""
    cases = []

    def each_function(text, results):
        for name, formula in TEXT_FUNCTIONS.items():
            cases.append((formula.format(joined(text)), results[name]))

    for code in range(1, 256):
        each_function("metre" + chr(code) + "kg", byte_answers(code))
    # Control characters and blanks alone are separators: the expression is empty, of no
    # dimension.
    for text in ["", " ", "".join(chr(code) for code in range(1, 33)), "\x7f\xa0\xb7\xd7"]:
        each_function(text, answers(""))
    # 255 characters of the code page always parse, although their UTF-8 is longer; a message
    # about them comes back in the code page, cut to whole characters.
    each_function("m\xb2" + "\xa0" * 253, answers("m^2 "))
    each_function("\xb5" * 255, answers(None, "Unknown unit '" + "\xb5" * 120 + "'"))
    each_function("k\xb5" + "\x80\x81\xff", answers(None, "Unknown unit 'k\xb5\x80\x81\xff'"))
    cases.append(("=Mensora(1,,)", "1"))
    # 255 characters is the longest text the parser reads. From 256 on, an older host gives
    # #VALUE! without calling; a host of version 12 or later passes the text, and the add-in
    # refuses it.
    for length in (255, 256, 300, 1000):
        if length <= 255:
            results = answers("kg m ")
        elif legacy:
            results = {name: "#VALUE!" for name in TEXT_FUNCTIONS}
        else:
            results = answers(None, "string length too long")
        each_function("kg m".ljust(length), results)
    # Messages that would outgrow their 255 characters are cut short.
    each_function("a" * 255, answers(None, "Unknown unit '" + "a" * 240 + "'"))
    each_function("2" * 253 + "..", answers(None, "Error: two decimal points in " + "2" * 226))
    each_function("." * 255, answers(None, "Error: two decimal points in .."))
    # A factor of 1 and no offset keep every number as it is, at both ends of the range. Shown
    # with 15 digits, the largest one rounds past the range, so that it compares as a text.
    shown = {"1.7976931348623157e308": "1.79769313486232e+308",
             "-1.7976931348623157e308": "-1.79769313486232e+308"}
    for value in EDGE_VALUES:
        cases.append(('=Mensora(%s,"m","m")' % value, shown.get(value, value)))
    return cases


def edge_formulas():
    """Formulas whose exact result is not worth predicting; each must still be sound."""
    formulas = []
    for value in EDGE_VALUES:
        formulas += ['=Mensora(%s,"%s","%s")' % (value, a, b) for a, b in EDGE_PAIRS]
        formulas += ['=ToMetric(%s,"%s")' % (value, units) for units in EDGE_UNITS]
        formulas += ['=FromMetric(%s,"%s")' % (value, units) for units in EDGE_UNITS]
    for text in EDGE_EXPRESSIONS:
        formulas += [formula.format(quoted(text)) for formula in TEXT_FUNCTIONS.values()]
        formulas.append("=Mensora(1,%s,%s)" % (quoted(text), quoted(text)))
    return formulas


NUMBER = r"-?\d+(?:\.\d+)?(?:e[+-]\d+)?"
TEXT = r'"(?:[^"]|"")*"'
SOUND = re.compile(r"(?:%s|%s|\{%s,%s\})\Z" % (NUMBER, TEXT, NUMBER, TEXT))


def sound(result):
    """Whether result is a finite number, a text, or a finite number beside a text. The host
    shows a number that is not finite as #NUM!, which is none of them."""
    return SOUND.match(result) is not None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("--emulator", default="")
    parser.add_argument("--legacy", action="store_true")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no command to run")

    cases = exact_cases(args.legacy)
    formulas = edge_formulas()
    assert cases and formulas
    # An older host keeps the code page's bytes, a host of today their characters, in UTF-8.
    encoding = "latin-1" if args.legacy else "utf-8"
    check_path = os.path.join(args.out, "bad_input%s.check" % ("_legacy" if args.legacy else ""))
    with open(check_path, "w", encoding=encoding, newline="\n") as file:
        for formula, expected in cases:
            file.write("%s\t%s\n" % (formula, expected if args.legacy else characters(expected)))

    version = ["--version", "11"] if args.legacy else []
    command = command[:-1] + version + ["--leaks", "--check", check_path, command[-1]] + formulas
    run = emulated_run.run(command, args.emulator, encoding=encoding, errors="replace")
    command = ([args.emulator] if args.emulator else []) + command
    lines = run.stdout.replace("\r\n", "\n").splitlines()
    problems = []
    if run.returncode != 0:
        problems.append("exit status %d" % run.returncode)
    for formula, result in zip(formulas, lines):
        if not sound(result):
            problems.append("%s gave %s" % (formula, result))
    summary = "%d passed, 0 failed" % len(cases)
    if len(lines) != len(formulas) + 1 or lines[-1] != summary:
        problems.append("expected %d results and then: %s" % (len(formulas), summary))
    if problems:
        print("command: %s" % " ".join(command[:-len(formulas)]))
        print("\n".join(problems))
        print("--- output ---\n%s\n--- standard error ---\n%s" % (run.stdout, run.stderr))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
