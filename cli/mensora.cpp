// The mensora command: converts quantities between unit expressions from the command line.
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "commands.h"
#include "mensora_version.h"
#include "units/catalogue.h"

namespace {

constexpr const char kUsage[] =
    "usage: mensora [-r] VALUE FROM [TO]\n"
    "       mensora --si EXPR | --common EXPR | --list | --symbols | [-r] --batch\n"
    "       mensora --help | --version\n";

constexpr const char kHelp[] =
    "mensora - convert physical quantities between units of measure\n"
    "\n"
    "usage:\n"
    "  mensora VALUE FROM TO    print VALUE converted from the units FROM to the units TO\n"
    "  mensora VALUE FROM       print VALUE in SI units, a tab, and the SI unit text\n"
    "  mensora --si EXPR        print the SI unit text of EXPR (\"kg m / s^2 \")\n"
    "  mensora --common EXPR    the same, naming J, N, Pa, W, A, F, V, ohm, H, Wb and T\n"
    "  mensora --list           print every unit of the catalogue (%zu), tab-separated: name,\n"
    "                           factor per SI unit, SI unit text, definition, trade, prefixes\n"
    "                           taken, full names and other spellings\n"
    "  mensora --symbols        print the SI prefixes and their words, the units that take\n"
    "                           them, and the symbols with the unit each stands for\n"
    "  mensora --batch          read lines VALUE<TAB>FROM<TAB>TO from standard input and write\n"
    "                           one line for each: the converted number or the message\n"
    "  mensora --help           print this text\n"
    "  mensora --version        print the version\n"
    "\n"
    "options:\n"
    "  -r, --round-trip         print numbers exactly (shortest round-trip decimal) instead\n"
    "                           of with 15 significant digits as a spreadsheet cell shows them\n"
    "\n"
    "A unit expression is a product of units, each optionally raised to a power:\n"
    "\"ft\", \"kg m/s^2\", \"mi/hr\", \"J / mol / degK\", \"m^0.5\", \"s^-1\", \"m\xC2\xB2\", \"m2\",\n"
    "\"s-1\". Names are case-sensitive: symbols, full names and their plurals (\"feet\",\n"
    "\"hours\"), names of two words (\"fl oz\", \"degrees Celsius\"). They take SI prefixes\n"
    "where SI allows them: \"km\", \"\xC2\xB5" "F\", \"kWh\", \"kilometres\". Everything after the\n"
    "first '/' or \"per\" is divided out: \"kg/m s\" is kg per metre per second;\n"
    "\"square\", \"cubic\", \"squared\" and \"cubed\" raise a unit (\"square feet\").\n"
    "Parentheses group: \"W/(m K)\", \"(m/s)^2\". A number right after '/' divides the\n"
    "power before it: \"m^3/2\" is m to the power 1.5.\n"
    "A lone \"degC\" or \"degF\" (\"\xC2\xB0" "C\", \"\xC2\xB0" "F\") converts as a temperature on its\n"
    "scale, offset included. Texts are UTF-8.\n"
    "Quote expressions that hold spaces. A VALUE may be negative: mensora -40 degC degF.\n"
    "\n"
    "exit status:\n"
    "  0  success (with --batch: the input was read; a failed line prints its message)\n"
    "  1  the conversion failed; its message (\"Unknown unit 'xyz'\", \"Inconsistent units\",\n"
    "     ...) is printed on standard error\n"
    "  2  the command line is wrong\n";

int Usage(const char* complaint, const char* detail) {
  std::fprintf(stderr, "mensora: %s%s\n%s", complaint, detail, kUsage);
  return kExitUsage;
}

// An option starts with '-'; "-40" and "-.5" are negative numbers, "-" alone is no option.
bool IsOption(const char* argument) {
  if (argument[0] != '-' || argument[1] == '\0') return false;
  const char next = argument[1];
  return !((next >= '0' && next <= '9') || next == '.');
}

enum class Mode { kConvert, kShowMetric, kShowCommon, kList, kSymbols, kBatch };

struct CommandLine {
  Mode mode = Mode::kConvert;
  int mode_count = 0;
  const char* expression = nullptr;  // the EXPR of --si and --common
  NumberStyle style = NumberStyle::kCell;
  bool help = false;
  bool version = false;
  const char* positional[3] = {};
  int positional_count = 0;
};

// Reads the arguments into line. Returns kExitSuccess, or kExitUsage after saying what is wrong.
int ReadCommandLine(int argc, char** argv, CommandLine* line) {
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (options_ended || !IsOption(argument)) {
      if (line->positional_count == 3) return Usage("too many arguments at ", argument);
      line->positional[line->positional_count++] = argument;
    } else if (std::strcmp(argument, "--") == 0) {
      options_ended = true;
    } else if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
      line->help = true;
    } else if (std::strcmp(argument, "--version") == 0) {
      line->version = true;
    } else if (std::strcmp(argument, "-r") == 0 || std::strcmp(argument, "--round-trip") == 0) {
      line->style = NumberStyle::kRoundTrip;
    } else if (std::strcmp(argument, "--si") == 0 || std::strcmp(argument, "--common") == 0) {
      if (i + 1 == argc) return Usage("missing EXPR after ", argument);
      line->mode = argument[2] == 's' ? Mode::kShowMetric : Mode::kShowCommon;
      line->expression = argv[++i];
      ++line->mode_count;
    } else if (std::strcmp(argument, "--list") == 0) {
      line->mode = Mode::kList;
      ++line->mode_count;
    } else if (std::strcmp(argument, "--symbols") == 0) {
      line->mode = Mode::kSymbols;
      ++line->mode_count;
    } else if (std::strcmp(argument, "--batch") == 0) {
      line->mode = Mode::kBatch;
      ++line->mode_count;
    } else {
      return Usage("unknown option ", argument);
    }
  }
  if (line->mode_count > 1) {
    return Usage("choose one of --si, --common, --list, --symbols and --batch", "");
  }
  return kExitSuccess;
}

int Run(const CommandLine& line) {
  if (line.mode != Mode::kConvert && line.positional_count > 0) {
    return Usage("unexpected argument ", line.positional[0]);
  }
  switch (line.mode) {
    case Mode::kShowMetric:
      return RunShowMetric(line.expression, false);
    case Mode::kShowCommon:
      return RunShowMetric(line.expression, true);
    case Mode::kList:
      return RunList();
    case Mode::kSymbols:
      return RunSymbols();
    case Mode::kBatch:
      return RunBatch(stdin, line.style);
    case Mode::kConvert:
      break;
  }
  if (line.positional_count < 2) return Usage("missing VALUE and FROM", "");
  double x = 0.0;
  if (!ParseNumber(line.positional[0], &x)) return Usage("not a number: ", line.positional[0]);
  if (line.positional_count == 2) return RunToMetric(x, line.positional[1], line.style);
  return RunConvert(x, line.positional[1], line.positional[2], line.style);
}

}  // namespace

int main(int argc, char** argv) {
  // Nothing may end the command with an uncaught exception: a failure is a message and status 1.
  try {
    CommandLine line;
    const int status = ReadCommandLine(argc, argv, &line);
    if (line.help) {
      std::printf(kHelp, kUnitCount);
      return kExitSuccess;
    }
    if (line.version) {
      std::printf("mensora %s\n", kMensoraVersion);
      return kExitSuccess;
    }
    if (status != kExitSuccess) return status;
    return Run(line);
  } catch (const std::bad_alloc&) {
    std::fputs("mensora: out of memory\n", stderr);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "mensora: %s\n", error.what());
  }
  return kExitEngineFailure;
}
