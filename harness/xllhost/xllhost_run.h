// One run of xllhost: an add-in loaded, opened, asked for formulas, closed and unloaded.
#pragma once

#include <cstdio>

#include "harness/xllhost/command_line.h"

// Exit statuses of xllhost; when several apply, the lowest one other than kStatusOk is given.
enum XllhostStatus {
  kStatusOk = 0,
  kStatusFormulaFailed = 1,  // a check failed or a formula could not be read
  kStatusUsage = 2,          // a wrong command line, or a formula file that cannot be read
  kStatusAddinFailed = 3,    // the add-in cannot be loaded, or xlAutoOpen answered 0
  kStatusLeaked = 4,         // with --leaks: host memory outstanding or released wrongly
};

// Runs the add-in as options say in a fresh simulated host: results, tables and check reports
// go to out; the trace and messages about the run to err. Returns an XllhostStatus.
int RunXllhost(const XllhostOptions& options, std::FILE* out, std::FILE* err);
