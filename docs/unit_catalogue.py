#!/usr/bin/env python3
"""Writes the unit catalogue for the user guide, grouped by quantity, from `mensora --list`, with
the SI prefixes and symbols from `mensora --symbols`.

    unit_catalogue.py --mensora PATH --output FILE [--expect-units N]

`mensora --list` prints one unit a line, tab-separated: name, factor per SI unit, SI unit text,
definition, trade, the prefixes it takes (none, any, below one, above one), its full names and
its other spellings ('|' between them).
The quantity of a group is named from its SI unit text; a text not named here still gets its own
group under the SI text, so that a new unit is never left out. `mensora --symbols` prints the
prefixes ("prefix", symbol, power of ten, words), the units that take them ("prefixed", name,
which prefixes) and the symbols ("symbol", text, name). Exits 1, writing nothing, when a list
cannot be read or (with --expect-units) the catalogue holds another number of units.
"""

import argparse
import subprocess
import sys

# SI unit text (as mensora writes it, trailing blank removed) -> quantity, in the guide's order.
QUANTITIES = [
    ("", "Pure numbers"),
    ("m", "Length"),
    ("m^2", "Area and permeability"),
    ("m^3", "Volume"),
    ("rad", "Angle"),
    ("rad^2", "Solid angle"),
    ("s", "Time"),
    ("1 / s", "Activity (decays per second)"),
    ("kg", "Mass"),
    ("kg / m", "Linear density (yarn)"),
    ("m / s", "Speed"),
    ("rad / s", "Rotational frequency"),
    ("kg m / s^2", "Force"),
    ("kg / m s^2", "Pressure and stress"),
    ("kg m^2 / s^2", "Energy"),
    ("kg m^2 / s^3", "Power"),
    ("kg / m s", "Dynamic viscosity"),
    ("m^2 / s", "Kinematic viscosity"),
    ("m^3 / s", "Volume flow"),
    ("m^2 / s^2", "Absorbed and equivalent dose"),
    ("degK", "Temperature"),
    ("mol", "Amount of substance"),
    ("mol / m^3", "Concentration"),
    ("C", "Electric charge"),
    ("C / s", "Electric current"),
    ("C / kg", "Exposure (radiation)"),
    ("kg m^2 / s^2 C", "Electric potential"),
    ("kg m^2 / s C^2", "Electric resistance"),
    ("s C^2 / kg m^2", "Electric conductance"),
    ("s^2 C^2 / kg m^2", "Capacitance"),
    ("kg m^2 / C^2", "Inductance"),
    ("kg m^2 / s C", "Magnetic flux"),
    ("kg / s C", "Magnetic flux density"),
    ("C / m s", "Magnetic field strength"),
    ("cd", "Luminous intensity"),
    ("rad^2 cd", "Luminous flux"),
    ("rad^2 cd / m^2", "Illuminance"),
    ("cd / m^2", "Luminance"),
]

# The catalogue names its temperature-difference units with this ending; their SI text is the
# same as that of absolute temperatures, but the two never convert into each other.
DIFFERENCE_ENDING = "diff"
DIFFERENCE_UNIT = "degKdiff"

HEADER = """# Mensora unit catalogue

Every unit Mensora knows, grouped by quantity: {count} units. Names are case-sensitive ("MPa"
is the megapascal, "mPa" the millipascal). Written by the build from `mensora --list`; do not
edit it by hand.

The column "also read" gives the unit's full names, each read in the plural too ("mile",
"miles"; "foot", "feet"; "degree Celsius", "degrees Celsius"), and its other spellings, read as
they stand. A unit that takes prefixes takes them before its name and its symbols ("km", "kΩ")
and, as words, before its full names ("kilometre", "megohms"): "any" prefix, only those "below
one" (milli, micro, ...) or only those "above one" (kilo, mega, ...). The trade is who writes
the unit.

The column "defined as" says what one of the unit is, in other units of the catalogue; the
factors come from these definitions. "pi" is the number pi, "gravity" standard gravity,
9.80665 m/s^2 exactly, and "water" the weight of a cubic metre of water, 1000 kg, under
standard gravity (of the water columns, such as mmH2O); "base unit" marks the SI unit a
quantity is measured in. The column
"1 unit is" gives one of the unit in SI units (12 significant digits); "per SI unit" is the
exact factor the engine uses: how many of the unit make one SI unit.
"""

TEMPERATURE_NOTE = """
A lone "degC" or "degF" is a temperature on its own scale and converts with its offset
(0 degC and 32 degF are both 273.15 degK). Anywhere else, in "degC/s" or "J/kg/degC", only the
factor counts. The "...diff" units measure temperature differences (a rise of 1 degCdiff is a
rise of 1 degKdiff); they do not convert to or from absolute temperatures, although
ShowMetric writes their SI unit as "degK" too.
"""


def read_symbols(mensora):
    """Runs `mensora --symbols` and returns (prefixes [(text, power, words)], prefixed
    [(name, which)], symbols [(text, name)])."""
    run = subprocess.run([mensora, "--symbols"], capture_output=True, encoding="utf-8")
    if run.returncode != 0:
        raise ValueError("mensora --symbols failed: %s" % run.stderr.strip())
    prefixes, prefixed, symbols = [], [], []
    for number, line in enumerate(run.stdout.splitlines(), 1):
        fields = line.split("\t")
        if fields[0] == "prefix" and len(fields) == 4:
            prefixes.append((fields[1], int(fields[2]), fields[3].replace("|", ", ")))
        elif fields[0] == "prefixed" and len(fields) == 3:
            prefixed.append((fields[1], fields[2]))
        elif fields[0] == "symbol" and len(fields) == 3:
            symbols.append((fields[1], fields[2]))
        else:
            raise ValueError("mensora --symbols, line %d not understood: %r" % (number, line))
    if not prefixes or not prefixed or not symbols:
        raise ValueError("mensora --symbols lists no prefixes, prefixed units or symbols")
    return prefixes, prefixed, symbols


PREFIX_NOTE = """
A prefix stands before a unit that takes one, with nothing between: "km", "µF", "kWh", "hPa",
or as a word before a full name: "kilometre", "microfarads", "kilowatt hours". The micro prefix
is written µ (the micro sign), μ (the Greek letter) or u. A spelling of the catalogue always
comes first: "min" is the minute, "mm" the millimetre, "Mg" the megagram, "ft" the foot, "PS"
the metric horsepower.
"""

WHICH = {"any": "", "below one": " (below one)", "above one": " (above one)"}


def symbols_markdown(prefixes, prefixed, symbols):
    out = ["## SI prefixes\n", "| prefix | as a word | factor |", "|---|---|---|"]
    out += ["| %s | %s | 10^%d |" % (text, words, power) for text, power, words in prefixes]
    out.append(PREFIX_NOTE)
    out.append("Units that take a prefix: %s.\n"
               % ", ".join(name + WHICH.get(which, "") for name, which in prefixed))
    out += ["## Symbols\n", "| symbol | stands for |", "|---|---|"]
    out += ["| %s | %s |" % (text, name) for text, name in symbols]
    out.append("")
    return "\n".join(out)


def read_units(mensora):
    """Runs `mensora --list` and returns [(name, factor_text, si_text, definition, trade,
    prefixes, also_read)]."""
    run = subprocess.run([mensora, "--list"], capture_output=True, text=True)
    if run.returncode != 0:
        raise ValueError("mensora --list failed: %s" % run.stderr.strip())
    units = []
    for number, line in enumerate(run.stdout.splitlines(), 1):
        fields = line.split("\t")
        if len(fields) != 8 or not fields[0] or not fields[3] or float(fields[1]) <= 0:
            raise ValueError("mensora --list, line %d not understood: %r" % (number, line))
        also = [spelling for spelling in fields[6].split("|") + fields[7].split("|")
                if spelling and spelling != fields[0]]
        units.append((fields[0], fields[1], fields[2].strip(), fields[3], fields[4],
                      "" if fields[5] == "none" else fields[5], ", ".join(also)))
    return units


def groups(units):
    """Yields (heading, si_text, rows, note) in the guide's order."""
    by_text = {}
    for unit in units:
        by_text.setdefault(unit[2], []).append(unit)
    known = dict(QUANTITIES)
    order = [text for text, _ in QUANTITIES] + sorted(set(by_text) - set(known))
    for text in order:
        rows = by_text.get(text)
        if not rows:
            continue
        name = known.get(text, "Other")
        if text == "degK":
            absolute = [row for row in rows if not row[0].endswith(DIFFERENCE_ENDING)]
            difference = [row for row in rows if row[0].endswith(DIFFERENCE_ENDING)]
            yield name, text, absolute, None
            yield "Temperature difference", DIFFERENCE_UNIT, difference, TEMPERATURE_NOTE
        else:
            yield name, text, rows, None


def markdown(units):
    out = [HEADER.format(count=len(units))]
    for heading, si_text, rows, note in groups(units):
        out.append("## %s (SI unit: %s)\n" % (heading, si_text or "none"))
        out.append("| unit | also read | prefixes | defined as | 1 unit is | per SI unit | trade |")
        out.append("|---|---|---|---|---|---|---|")
        for name, factor, _, definition, trade, prefixes, also in rows:
            out.append("| %s | %s | %s | %s | %.12g %s | %s | %s |"
                       % (name, also, prefixes, definition, 1.0 / float(factor), si_text,
                          factor, trade))
        if note:
            out.append(note.rstrip("\n"))
        out.append("")
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--mensora", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--expect-units", type=int)
    args = parser.parse_args()
    try:
        units = read_units(args.mensora)
        prefixes, prefixed, symbols = read_symbols(args.mensora)
    except (OSError, ValueError) as problem:
        print("unit_catalogue: %s" % problem)
        return 1
    if not units or (args.expect_units is not None and len(units) != args.expect_units):
        print("unit_catalogue: %d units listed, %s expected"
              % (len(units), args.expect_units if args.expect_units is not None else "some"))
        return 1
    with open(args.output, "w", encoding="utf-8") as file:
        file.write(markdown(units) + "\n" + symbols_markdown(prefixes, prefixed, symbols))
    return 0


if __name__ == "__main__":
    sys.exit(main())
