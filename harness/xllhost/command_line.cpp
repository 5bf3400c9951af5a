// The option table of xllhost, and reading the command line and writing the help from it.
#include "harness/xllhost/command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "harness/host/decimal_text.h"

namespace {

// The most times --open may open the add-in; more says nothing new and only takes time.
constexpr int kMaxOpenCount = 1000;
// Limits for --repeat, --cycles and --max-growth: a run of hours at most, and a tolerance of up
// to a gibibyte.
constexpr int kMaxRepeat = 100000000;
constexpr int kMaxCycles = 100000;
constexpr int kMaxGrowthKib = 1024 * 1024;
// The most calculation threads a real host runs is 1024; 64 are more than any machine here has.
constexpr int kMaxThreads = 64;

typedef bool (*ApplyOption)(const char* value, XllhostOptions* options, std::string* error);

// One option. value_name is null for a flag; otherwise the option takes the next argument.
struct OptionSpec {
  const char* name;
  const char* value_name;
  const char* help;
  ApplyOption apply;
};

// A whole argument as a count from least to most, into *count; otherwise false with the message
// "OPTION wants a count from least to most, not 'TEXT'".
bool ReadCount(const char* option, const char* text, int least, int most, int* count,
               std::string* error) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno == ERANGE || value < least || value > most) {
    *error = std::string(option) + " wants a count from " + std::to_string(least) + " to " +
             std::to_string(most) + ", not '" + text + "'";
    return false;
  }
  *count = static_cast<int>(value);
  return true;
}

// New options go here: the parser and the help text both read this table.
const OptionSpec kOptions[] = {
    {"--version", "V", "the host version to report (xlfGetWorkspace item 2); default 16.0.\n"
                       "From 12 on the host offers the version 12 interface (MdCallBack12)\n"
                       "and its formulas and files are UTF-8; before 12 it has neither and\n"
                       "passes the code page's bytes",
     [](const char* value, XllhostOptions* options, std::string* error) {
       double number = 0;
       if (!ParseDecimal(value, &number) || number <= 0) {
         *error = std::string("--version wants a version number such as 4.0 or 16.0, not '") +
                  value + "'";
         return false;
       }
       options->version = value;
       return true;
     }},
    {"--name", "NAME", "the add-in's file name as the host reports it (xlGetName); default PATH",
     [](const char* value, XllhostOptions* options, std::string* error) {
       if (*value == '\0') {
         *error = "--name wants a file name";
         return false;
       }
       options->addin_name = value;
       return true;
     }},
    {"--open", "N", "open the add-in N times (default 1), with xlAutoClose between the opens\n"
                    "(and xlAutoRemove before it with --remove); after each xlAutoClose the\n"
                    "host drops the functions the add-in registered",
     [](const char* value, XllhostOptions* options, std::string* error) {
       return ReadCount("--open", value, 1, kMaxOpenCount, &options->open_count, error);
     }},
    {"--repeat", "N", "evaluate the formulas (arguments, --file and --check) N times while the\n"
                      "add-in is open; results print once and every later result must equal\n"
                      "the first. Reports the calls per second (of the recalculations alone)\n"
                      "and the process's memory after the first round and after the last on\n"
                      "standard error",
     [](const char* value, XllhostOptions* options, std::string* error) {
       return ReadCount("--repeat", value, 1, kMaxRepeat, &options->repeat, error);
     }},
    {"--threads", "N", "recalculate with N calculation threads (default 1): functions\n"
                       "registered thread-safe are called on N new threads at once (new ones\n"
                       "each round), all others on the main thread; results print in formula\n"
                       "order and are those of one thread",
     [](const char* value, XllhostOptions* options, std::string* error) {
       return ReadCount("--threads", value, 1, kMaxThreads, &options->threads, error);
     }},
    {"--cycles", "N", "load, open, use, remove (xlAutoRemove), close and unload the add-in N\n"
                      "times in one process, the automation bridge started and stopped each\n"
                      "time. The first cycle prints and runs the macros; later ones evaluate\n"
                      "the formulas again and compare their results with it. Reports the\n"
                      "process's memory after the first cycle and after the last on\n"
                      "standard error",
     [](const char* value, XllhostOptions* options, std::string* error) {
       return ReadCount("--cycles", value, 1, kMaxCycles, &options->cycles, error);
     }},
    {"--max-growth", "KIB", "with --repeat or --cycles: fail (status 4) when the private bytes\n"
                            "grew by more than KIB kibibytes from the first round or cycle to\n"
                            "the last",
     [](const char* value, XllhostOptions* options, std::string* error) {
       return ReadCount("--max-growth", value, 0, kMaxGrowthKib, &options->max_growth_kib, error);
     }},
    {"--file", "F", "evaluate each formula of F (one a line; blank lines and # comments are\n"
                    "skipped) and print a table of formula and result",
     [](const char* value, XllhostOptions* options, std::string*) {
       options->formula_files.push_back(value);
       return true;
     }},
    {"--check", "F", "evaluate the lines FORMULA<TAB>EXPECTED of F; numbers match within 1e-12\n"
                     "relative. Prints each failure and then \"N passed, N failed\"",
     [](const char* value, XllhostOptions* options, std::string*) {
       options->check_files.push_back(value);
       return true;
     }},
    {"--round-trip", nullptr, "print numbers exactly (shortest round-trip decimal) instead of\n"
                              "with 15 significant digits as a cell shows them",
     [](const char*, XllhostOptions* options, std::string*) {
       options->style = NumberStyle::kRoundTrip;
       return true;
     }},
    {"--trace", nullptr, "write every call between host and add-in to standard error: C API\n"
                         "calls with their arguments, return code and result, and calls into\n"
                         "the add-in (listed when they return)",
     [](const char*, XllhostOptions* options, std::string*) {
       options->trace = true;
       return true;
     }},
    {"--remove", nullptr, "call xlAutoRemove before closing, as the add-in manager does when\n"
                          "the add-in is taken out",
     [](const char*, XllhostOptions* options, std::string*) {
       options->remove = true;
       return true;
     }},
    {"--leaks", nullptr, "at exit, fail (status 4) when a block the host handed out is still\n"
                         "outstanding or a release went wrong, and say which",
     [](const char*, XllhostOptions* options, std::string*) {
       options->leaks = true;
       return true;
     }},
    {"--automation", "MODE", "how the add-in finds this host's application through COM:\n"
                             "active (default) makes it the active object; rot makes another\n"
                             "process's host the active object and puts this host's workbook in\n"
                             "the running object table; none registers nothing",
     [](const char* value, XllhostOptions* options, std::string* error) {
       const std::string mode = value;
       if (mode == "active") {
         options->automation = AutomationMode::kActive;
       } else if (mode == "rot") {
         options->automation = AutomationMode::kRunningTable;
       } else if (mode == "none") {
         options->automation = AutomationMode::kNone;
       } else {
         *error = "--automation wants active, rot or none, not '" + mode + "'";
         return false;
       }
       return true;
     }},
    {"--run-macro", "NAME", "after the formulas, run the command the add-in registered as\n"
                            "NAME (macro type 2, no arguments, an integer answer) as the host\n"
                            "runs one, and print NAME() = answer",
     [](const char* value, XllhostOptions* options, std::string* error) {
       if (*value == '\0') {
         *error = "--run-macro wants a name";
         return false;
       }
       options->macros.push_back(value);
       return true;
     }},
    {"--xllhost-version", nullptr, "print the version of xllhost itself (--version V is the\n"
                                   "host version the add-in is told)",
     [](const char*, XllhostOptions* options, std::string*) {
       options->show_version = true;
       return true;
     }},
    {"--help", nullptr, "print this text",
     [](const char*, XllhostOptions* options, std::string*) {
       options->help = true;
       return true;
     }},
};

const OptionSpec* FindOption(const char* name) {
  if (std::strcmp(name, "-h") == 0) name = "--help";
  for (const OptionSpec& option : kOptions) {
    if (std::strcmp(option.name, name) == 0) return &option;
  }
  return nullptr;
}

// Formulas begin with '=' or a letter; anything starting with '-' (but "-" alone) is an option.
bool IsOption(const char* argument) { return argument[0] == '-' && argument[1] != '\0'; }

}  // namespace

bool IsVersion12Host(const std::string& version) {
  double number = 0;
  return ParseDecimal(version, &number) && number >= 12;
}

bool ParseCommandLine(int argc, const char* const* argv, XllhostOptions* options,
                      std::string* error) {
  bool options_ended = false;
  bool have_path = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (options_ended || !IsOption(argument)) {
      if (have_path) {
        options->formulas.push_back(argument);
      } else {
        options->addin_path = argument;
        have_path = true;
      }
      continue;
    }
    if (std::strcmp(argument, "--") == 0) {
      options_ended = true;
      continue;
    }
    const OptionSpec* option = FindOption(argument);
    if (!option) {
      *error = std::string("unknown option ") + argument;
      return false;
    }
    const char* value = nullptr;
    if (option->value_name) {
      if (i + 1 == argc) {
        *error = std::string(argument) + " wants a value " + option->value_name;
        return false;
      }
      value = argv[++i];
    }
    if (!option->apply(value, options, error)) return false;
  }
  if (!have_path && !options->help && !options->show_version) {
    *error = "no add-in named";
    return false;
  }
  return true;
}

std::string HelpText() {
  std::string text =
      "xllhost - load an add-in (XLL) into a simulated spreadsheet host and evaluate formulas\n"
      "\n"
      "usage: xllhost [options] PATH [FORMULA...]\n"
      "\n"
      "Loads the library PATH as the host does: xlAutoOpen, then xlAddInManagerInfo for its\n"
      "title; before that the host's automation model (an application with a workbook, a\n"
      "sheet and a range) is registered with COM for the add-in to find (--automation).\n"
      "Evaluates each FORMULA (such as '=Mensora(1,\"ft\",\"in\")') through the\n"
      "functions the add-in registered and prints one result a line, then the formulas of\n"
      "each --file and --check. Closes as the host does on exit: xlAutoClose, then unloads.\n"
      "A formula naming no registered function gives #NAME?; arguments that do not fit the\n"
      "function's type text give #VALUE!. Texts print in double quotes, arrays as {1,\"m\"}.\n"
      "Arguments are constants: numbers, texts in double quotes (\"\" for a quote inside),\n"
      "TRUE, FALSE and error values such as #N/A. As in the host, CHAR(n) is the character\n"
      "of code n (1 to 255) of the code page, UNICHAR(n) (from version 12) the character of\n"
      "code point n, and & joins texts, so that any character can be passed:\n"
      "'=ShowMetric(\"m\"&CHAR(9)&\"s\")'.\n"
      "\n"
      "options:\n";
  for (const OptionSpec& option : kOptions) {
    std::string head = std::string("  ") + option.name;
    if (option.value_name) head += std::string(" ") + option.value_name;
    // A name too long for the column puts its help on the next line.
    head += head.size() < 18 ? std::string(18 - head.size(), ' ') : "\n" + std::string(18, ' ');
    std::string help = option.help;
    for (std::size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1)) {
      help.insert(at + 1, std::string(18, ' '));
    }
    text += head + help + "\n";
  }
  text +=
      "\n"
      "Results and the --file and --check reports go to standard output; the trace and\n"
      "messages about the run go to standard error.\n"
      "\n"
      "exit status:\n"
      "  0  every formula was read and every check passed\n"
      "  1  a check failed, a formula could not be read (its line says why), a repeated\n"
      "     formula gave another result than the first time, or the add-in exports no\n"
      "     macro of a --run-macro name\n"
      "  2  the command line is wrong, or a --file or --check file cannot be read\n"
      "  3  the add-in cannot be loaded, its xlAutoOpen answered 0 (or is missing), or the\n"
      "     host's automation model cannot be registered with COM\n"
      "  4  with --leaks: host memory is still outstanding at exit, or a release went wrong;\n"
      "     with --max-growth: the process's memory grew by more, or could not be measured\n"
      "When several apply, the lowest number but 0 wins over the others.\n";
  return text;
}
