// The xllhost command line: its options, read from one table that also writes the help text.
#pragma once

#include <string>
#include <vector>

#include "harness/host/host_value.h"

// How the host's application can be found through COM while the add-in opens.
enum class AutomationMode {
  kActive,        // this host's application is the active object of its class
  kRunningTable,  // the active object is another process's host; this one's workbook is in the
                  // running object table
  kNone,          // nothing is registered
};

// Everything the command line asks for.
struct XllhostOptions {
  std::string addin_path;              // the library to load
  std::string addin_name;              // what xlGetName reports; empty: addin_path
  std::string version = "16.0";        // the host version xlfGetWorkspace(2) reports
  bool trace = false;                  // every C API call, on standard error
  bool remove = false;                 // xlAutoRemove before xlAutoClose
  bool leaks = false;                  // host memory still out or freed wrongly fails the run
  int open_count = 1;                  // xlAutoOpen calls, with xlAutoClose between them
  int repeat = 1;                      // rounds of every formula while the add-in is open
  int threads = 1;                     // calculation threads of each round
  int cycles = 1;                      // loads of the add-in, each used and unloaded again
  int max_growth_kib = -1;             // --max-growth; negative: memory growth is only reported
  NumberStyle style = NumberStyle::kCell;
  std::vector<std::string> formulas;   // formulas given as arguments, in order
  std::vector<std::string> formula_files;  // --file, in order
  std::vector<std::string> check_files;    // --check, in order
  AutomationMode automation = AutomationMode::kActive;
  std::vector<std::string> macros;         // --run-macro, in order
  bool help = false;
  bool show_version = false;               // --xllhost-version: print xllhost's own version
};

// Whether a host that reports version (as --version takes it) is one of version 12 or later: its
// formulas and files are UTF-8, and it offers the version 12 interface.
bool IsVersion12Host(const std::string& version);

// Reads argv into options. The first argument that is not an option is the add-in's path, the
// rest are formulas; "--" makes every later argument a positional one. Returns false with a
// message (no "xllhost:" prefix) when an option is unknown, lacks its value or has a bad one,
// or when no add-in is named (unless help or xllhost's version was asked for).
bool ParseCommandLine(int argc, const char* const* argv, XllhostOptions* options,
                      std::string* error);

// The text --help prints: usage, one line per option of the table, what goes where, and the
// exit statuses.
std::string HelpText();
