#!/usr/bin/env python3
"""Evaluates formulas in a real LibreOffice Calc, with an extension installed, as xllhost does
with an add-in.

    calchost.py [--round-trip] [--describe] [--file FILE]... [--timeout S] EXTENSION [FORMULA...]

Installs EXTENSION (.oxt) into a throw-away user profile, starts Calc headless on it and enters
each formula into a cell of a new spreadsheet: each FORMULA argument prints its result alone on a
line, each --file prints the table of its formulas and results that `xllhost --file` prints. The
formula files are xllhost's: one formula a line, blank lines and lines starting with # skipped,
in UTF-8 (or, failing that, the Windows host's code page 1252), written with the English function
names and commas between arguments. Results are shown as xllhost shows a cell: numbers with 15
significant digits (--round-trip: the shortest decimal that reads back exactly), texts in double
quotes, errors as Calc shows them (#VALUE!, Err:504), an array result as {a,b;c,d}.

Where Calc reads a formula differently from the Windows host that the files are written for, the
formula is adjusted in one place (Sheet.to_calc): CHAR(n) means the character of code n in code
page 1252, as on the Windows host, while Calc's own CHAR reads n in the system's encoding (UTF-8
here, where no code above 127 is a character), so it becomes UNICHAR of that character; and the
error value #N/A, which Calc's reader takes only in Calc's own syntax, becomes NA(). Calc itself
completes a formula that lacks its closing parentheses, as its input line does.

--describe first prints each function the extension adds to Calc, as the function wizard shows
it: name, category, description and each argument's name and help, separated by tabs.

Exits 0; 1 when Calc cannot read a formula (the line says which); 2 for a wrong command line or
a formula file that cannot be read; 3 when Calc cannot be started, refuses the extension or
offers none of its functions.
"""

import argparse
import decimal
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

STATUS_FORMULA = 1
STATUS_USAGE = 2
STATUS_CALC = 3

OFFICE_PROGRAMS = "/usr/lib/libreoffice/program"
# Calc's errors for a formula it could not read: an invalid character, a missing pair, bracket,
# operator or operand, or a formula too long for it. (Err:504, a wrong number of arguments, is a
# result, as #VALUE! is for the Windows host.)
READ_ERRORS = {501, 507, 508, 509, 510, 512, 513, 516, 517, 518, 520, 521}
# The function wizard's categories, by their numbers in Calc's function descriptions.
CATEGORIES = {1: "Database", 2: "Date&Time", 3: "Financial", 4: "Information", 5: "Logical",
              6: "Mathematical", 7: "Array", 8: "Statistical", 9: "Spreadsheet", 10: "Text",
              11: "Add-In"}
NAME = re.compile(r"^[A-Za-z_][A-Za-z0-9_.]*$")
INSTALL_HINT = "Debian: libreoffice-calc-nogui python3-uno; ./scripts/install-deps.sh calc"


class Failure(Exception):
    """A failure that ends the run with status and a message for the user."""

    def __init__(self, status, message):
        super().__init__(message)
        self.status = status


# ---------------------------------------------------------------------------------------------
# Formula files and results, as xllhost reads and prints them.

def read_formula_lines(path):
    """The formulas of a formula file, as (line number, text) pairs."""
    try:
        with open(path, "rb") as file:
            data = file.read()
    except OSError as error:
        raise Failure(STATUS_USAGE, "cannot read %s: %s" % (path, error.strerror))
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        text = data.decode("cp1252", "replace")
    lines = []
    for number, line in enumerate(text.split("\n"), 1):
        if line.endswith("\r"):
            line = line[:-1]
        if "\0" in line:
            raise Failure(STATUS_USAGE, "%s:%d: a NUL byte in the line" % (path, number))
        line = line.strip(" \t")
        if line and not line.startswith("#"):
            lines.append((number, line))
    return lines


def cell_number(number):
    """A number as a cell in the general format shows it: 15 significant digits, never -0."""
    if number == 0:
        number = 0.0
    return "%.15g" % number


def round_trip_number(number):
    """The shortest decimal that reads back as number, in the shorter of the plain and the
    exponent forms (the plain one when both are as long): 0.3048, 1e-05, 1e+16."""
    sign, digits, exponent = decimal.Decimal(repr(number)).normalize().as_tuple()
    if not digits or digits == (0,):
        return "-0" if sign else "0"
    digits = "".join(map(str, digits))
    point = len(digits) + exponent  # digits before the decimal point
    if point <= 0:
        plain = "0." + "0" * -point + digits
    elif point >= len(digits):
        plain = str(int(abs(number)))  # a whole number is written out exactly
    else:
        plain = digits[:point] + "." + digits[point:]
    power = point - 1
    scientific = digits[0] + ("." + digits[1:] if len(digits) > 1 else "") + \
        "e%s%02d" % ("-" if power < 0 else "+", abs(power))
    shown = plain if len(plain) <= len(scientific) else scientific
    return ("-" if sign else "") + shown


def quoted(text):
    return '"' + text.replace('"', '""') + '"'


def format_table(rows):
    """The two-column table of xllhost --file: a header, rules, one row a formula; the first
    column as wide as its widest entry (in bytes, as xllhost counts), two blanks between."""
    def width(text):
        return len(text.encode("utf-8"))

    formula_width = max([len("formula")] + [width(formula) for formula, _ in rows])
    result_width = max([len("result")] + [width(result) for _, result in rows])

    def row(left, right):
        if not right:
            return left + "\n"
        return left + " " * (formula_width - width(left)) + "  " + right + "\n"

    table = row("formula", "result") + row("-" * formula_width, "-" * result_width)
    return table + "".join(row(formula, result) for formula, result in rows)


# ---------------------------------------------------------------------------------------------
# Calc, headless, on a profile of its own.

def office_program(name):
    found = shutil.which(name) or os.path.join(OFFICE_PROGRAMS, name)
    if not os.access(found, os.X_OK):
        raise Failure(STATUS_CALC, "LibreOffice Calc is not installed: no %s (%s)"
                      % (name, INSTALL_HINT))
    return found


def import_uno():
    # python3-uno serves Debian's own Python, which may not be the first python3 on the path.
    try:
        import uno  # noqa: F401
    except ImportError:
        raise Failure(STATUS_CALC, "Python's UNO bridge is missing: run this with /usr/bin/python3"
                      " (%s)" % INSTALL_HINT)
    return uno


class Calc:
    """A headless Calc on a throw-away profile, reached through a pipe of its own."""

    def __init__(self, timeout):
        self.uno = import_uno()
        self.timeout = timeout
        self.soffice = office_program("soffice")
        self.folder = tempfile.mkdtemp(prefix="calchost-")
        self.profile = self.uno.systemPathToFileUrl(os.path.join(self.folder, "profile"))
        self.process = None
        self.context = None

    def start(self):
        pipe = "calchost%d_%d" % (os.getpid(), int(time.time() * 1000) % 1000000)
        log = open(os.path.join(self.folder, "soffice.log"), "wb")
        self.process = subprocess.Popen(
            [self.soffice, "--headless", "--invisible", "--norestore", "--nologo",
             "--nodefault", "--nolockcheck", "-env:UserInstallation=" + self.profile,
             "--accept=pipe,name=%s;urp;" % pipe],
            stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        local = self.uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        deadline = time.time() + self.timeout
        while True:
            try:
                self.context = resolver.resolve(
                    "uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                return
            except Exception:  # NoConnectException until Calc listens
                if self.process.poll() is not None or time.time() > deadline:
                    raise Failure(STATUS_CALC, "LibreOffice did not start (status %s):\n%s"
                                  % (self.process.poll(), self.log_tail()))
                time.sleep(0.1)

    def log_tail(self):
        try:
            with open(os.path.join(self.folder, "soffice.log"), "rb") as file:
                return file.read().decode("utf-8", "replace")[-2000:]
        except OSError:
            return ""

    def service(self, name):
        return self.context.ServiceManager.createInstanceWithContext(name, self.context)

    def install(self, extension):
        """Adds the extension to the profile, as the extension manager does for a user. A
        licence it shows is accepted."""
        import unohelper
        from com.sun.star.task import XInteractionHandler
        from com.sun.star.ucb import XCommandEnvironment, XProgressHandler

        class Approving(unohelper.Base, XInteractionHandler, XProgressHandler,
                        XCommandEnvironment):
            uno = self.uno

            def getInteractionHandler(self):
                return self

            def getProgressHandler(self):
                return self

            def handle(self, request):
                # The licence, and any other question, is approved. (The request itself is
                # left unread: Python's bridge cannot convert every one of them.)
                approve = self.uno.getTypeByName("com.sun.star.task.XInteractionApprove")
                for continuation in request.getContinuations():
                    if continuation.queryInterface(approve) is not None:
                        continuation.select()
                        return

            def push(self, status):
                pass

            def update(self, status):
                pass

            def pop(self):
                pass

        url = self.uno.systemPathToFileUrl(os.path.abspath(extension))
        manager = self.context.getValueByName(
            "/singletons/com.sun.star.deployment.ExtensionManager")
        try:
            package = manager.addExtension(url, (), "user", None, Approving())
        except Exception as error:
            # What went wrong is in the innermost cause.
            message = getattr(error, "Message", str(error))
            cause = getattr(error, "Cause", None)
            while cause is not None:
                cause = getattr(cause, "value", cause)
                message += ": " + getattr(cause, "Message", str(cause))
                cause = getattr(cause, "Cause", None)
            raise Failure(STATUS_CALC, "LibreOffice refused the extension %s: %s"
                          % (extension, message))
        if package is None:
            raise Failure(STATUS_CALC, "LibreOffice refused the extension %s" % extension)

    def functions(self):
        """Calc's worksheet functions, as (name, category, description, [(argument, help)])
        by name, as its function wizard shows them."""
        found = {}
        for entry in self.service("com.sun.star.sheet.FunctionDescriptions"):
            fields = {field.Name: field.Value for field in entry}
            arguments = [(argument.Name, argument.Description)
                         for argument in fields.get("Arguments") or ()]
            found[fields["Name"]] = (fields["Name"], CATEGORIES.get(fields["Category"], "?"),
                                     fields["Description"], arguments)
        return found

    def new_sheet(self):
        from com.sun.star.beans import PropertyValue
        hidden = PropertyValue()
        hidden.Name, hidden.Value = "Hidden", True
        desktop = self.service("com.sun.star.frame.Desktop")
        document = desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0, (hidden,))
        if document is None:
            raise Failure(STATUS_CALC, "Calc could not make a spreadsheet:\n" + self.log_tail())
        return document

    def stop(self):
        """Ends Calc, keeping its profile."""
        if self.process is not None:
            try:
                if self.context is not None:
                    self.service("com.sun.star.frame.Desktop").terminate()
            except Exception:
                pass  # the pipe closes as Calc ends
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None
        self.context = None

    def close(self):
        """Ends Calc and removes its profile."""
        self.stop()
        shutil.rmtree(self.folder, ignore_errors=True)


# ---------------------------------------------------------------------------------------------
# Formulas in a spreadsheet.

class Sheet:
    """A new spreadsheet whose cells take formulas written as for the Windows host."""

    def __init__(self, calc):
        self.uno = calc.uno
        self.document = calc.new_sheet()
        self.sheet = self.document.Sheets.getByIndex(0)
        # Calc's own reader, set to the English names and the comma of the Windows host.
        english = self.uno.getConstantByName("com.sun.star.sheet.FormulaLanguage.XL_ENGLISH")
        groups = self.uno.getConstantByName(
            "com.sun.star.sheet.FormulaMapGroup.ALL_EXCEPT_SPECIAL")
        mapper = self.document.createInstance("com.sun.star.sheet.FormulaOpCodeMapper")
        self.parser = self.document.createInstance("com.sun.star.sheet.FormulaParser")
        self.parser.OpCodeMap = mapper.getAvailableMappings(english, groups)
        self.parser.CompileEnglish = True
        self.value = self.uno.getConstantByName("com.sun.star.sheet.FormulaResult.VALUE")
        names = ("CHAR", "UNICHAR", "NA", "(", ")")
        self.opcodes = dict(zip(names, (token.OpCode
                                        for token in mapper.getMappings(names, english))))
        # What Calc's reader makes of text it cannot read.
        special = mapper.getAvailableMappings(english, self.uno.getConstantByName(
            "com.sun.star.sheet.FormulaMapGroup.SPECIAL"))
        self.bad = special[self.uno.getConstantByName(
            "com.sun.star.sheet.FormulaMapGroupSpecialOffset.BAD")].Token.OpCode

    def tokens(self, formula, column, row):
        """The formula as Calc reads it in the cell at column and row, or None when Calc cannot
        read it: an unclosed text or an unknown error value leaves a piece that is not a name.
        (An unknown name is read, and shows #NAME? as in any spreadsheet.)"""
        from com.sun.star.table import CellAddress
        tokens = self.parser.parseFormula(formula, CellAddress(0, column, row))
        for token in tokens:
            if token.OpCode == self.bad and not NAME.match(str(token.Data)) and \
                    str(token.Data).upper() != "#N/A":
                return None
        return self.to_calc(list(tokens))

    def to_calc(self, tokens):
        """ToCalc: CHAR(n) with a constant n becomes UNICHAR of the code page 1252 character;
        the error value #N/A, which Calc's reader takes only in its own syntax, becomes NA()."""
        calc_tokens = []
        for at, token in enumerate(tokens):
            if token.OpCode == self.bad and str(token.Data).upper() == "#N/A":
                calc_tokens += [self.token(self.opcodes[name]) for name in ("NA", "(", ")")]
                continue
            calc_tokens.append(token)
            call = tokens[at:at + 4]
            if len(call) < 4 or token.OpCode != self.opcodes["CHAR"] or \
                    not isinstance(call[2].Data, float) or not 128 <= call[2].Data < 256:
                continue
            character = bytes([int(call[2].Data)]).decode("cp1252", "replace")
            calc_tokens[-1] = self.token(self.opcodes["UNICHAR"])
            tokens[at + 2] = self.token(call[2].OpCode, float(ord(character)))
        return tuple(calc_tokens)

    def token(self, opcode, number=None):
        from com.sun.star.sheet import FormulaToken
        return FormulaToken(opcode, self.uno.Any("double", number) if number is not None else None)

    def evaluate(self, formulas, style):
        """The result of each formula as a cell shows it, or None where Calc cannot read it."""
        shown = [None] * len(formulas)
        entered = []
        for row, formula in enumerate(formulas):
            tokens = self.tokens(formula, 0, row)
            if tokens is None:
                continue
            self.sheet.getCellByPosition(0, row).setTokens(tokens)
            # The size of an array result: COLUMNS and ROWS of a single value are errors.
            body = formula[1:] if formula.startswith("=") else formula
            for column, measure in ((1, "COLUMNS"), (2, "ROWS")):
                sized = self.tokens("=%s(%s)" % (measure, body), column, row)
                if sized is not None:
                    self.sheet.getCellByPosition(column, row).setTokens(sized)
            entered.append((row, tokens))
        self.document.calculateAll()
        # An array result is entered as an array formula over its size, as a user enters it,
        # each below the one before on a sheet of their own.
        arrays = []
        self.document.Sheets.insertNewByName("arrays", 1)
        array_sheet = self.document.Sheets.getByIndex(1)
        top = 0
        for row, tokens in entered:
            columns = self.count(1, row)
            rows = self.count(2, row)
            if columns * rows > 1:
                area = array_sheet.getCellRangeByPosition(0, top, columns - 1, top + rows - 1)
                area.setArrayTokens(tokens)
                arrays.append((row, area, rows, columns))
                top += rows
                continue
            cell = self.sheet.getCellByPosition(0, row)
            if cell.getError() not in READ_ERRORS:
                shown[row] = self.cell_text(cell, style)
        self.document.calculateAll()
        for row, area, rows, columns in arrays:
            texts = [[self.cell_text(area.getCellByPosition(c, r), style) for c in range(columns)]
                     for r in range(rows)]
            shown[row] = "{" + ";".join(",".join(line) for line in texts) + "}"
        return shown

    def count(self, column, row):
        """The number in a cell of the size formulas, or 0 for anything else."""
        cell = self.sheet.getCellByPosition(column, row)
        if cell.getError() != 0 or cell.FormulaResultType2 != self.value:
            return 0
        return int(cell.getValue())

    def cell_text(self, cell, style):
        if cell.getError() != 0:
            return cell.getString()  # #VALUE!, Err:504, as Calc shows it
        if cell.FormulaResultType2 == self.value:
            number = cell.getValue()
            return round_trip_number(number) if style == "round-trip" else cell_number(number)
        return quoted(cell.getString())


# ---------------------------------------------------------------------------------------------

def run(args, out):
    lines_of_files = [(path, read_formula_lines(path)) for path in args.file]
    if not os.path.isfile(args.extension):
        raise Failure(STATUS_USAGE, "no extension %s" % args.extension)
    calc = Calc(args.timeout)
    try:
        # Calc offers an extension's functions after a restart, as it tells its user.
        calc.start()
        before = calc.functions()
        calc.install(args.extension)
        calc.stop()
        calc.start()
        added = [function for name, function in sorted(calc.functions().items())
                 if name not in before]
        if not added:
            raise Failure(STATUS_CALC, "Calc offers no function of the extension %s"
                          % args.extension)
        if args.describe:
            for name, category, description, arguments in added:
                out.write("%s\t%s\t%s%s\n" % (name, category, description, "".join(
                    "\t%s: %s" % argument for argument in arguments)))
        sheet = Sheet(calc)
        formulas = list(args.formulas)
        for _, lines in lines_of_files:
            formulas += [text for _, text in lines]
        style = "round-trip" if args.round_trip else "cell"
        shown = sheet.evaluate(formulas, style)
        places = ["argument %d" % n for n in range(1, len(args.formulas) + 1)]
        places += ["%s:%d" % (path, number) for path, lines in lines_of_files
                   for number, _ in lines]
        status = 0
        for formula, place, result in zip(formulas, places, shown):
            if result is None:
                print("calchost: %s: Calc cannot read the formula %s" % (place, formula),
                      file=sys.stderr)
                status = STATUS_FORMULA
        at = 0
        for formula in args.formulas:
            out.write((shown[at] or "error: Calc cannot read it") + "\n")
            at += 1
        for _, lines in lines_of_files:
            rows = []
            for _, text in lines:
                rows.append((text, shown[at] or "error: Calc cannot read it"))
                at += 1
            out.write(format_table(rows))
        return status
    finally:
        calc.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--round-trip", action="store_true")
    parser.add_argument("--file", action="append", default=[])
    parser.add_argument("--timeout", type=float, default=120.0)
    parser.add_argument("--describe", action="store_true")
    parser.add_argument("extension")
    parser.add_argument("formulas", nargs="*")
    args = parser.parse_intermixed_args()
    try:
        return run(args, sys.stdout)
    except Failure as failure:
        print("calchost: %s" % failure, file=sys.stderr)
        return failure.status


if __name__ == "__main__":
    sys.exit(main())
