// Driving an add-in through its life in the simulated host, as the spreadsheet host does.
#include "harness/xllhost/xllhost_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "harness/host/addin_session.h"
#include "harness/host/automation_app.h"
#include "harness/host/automation_registration.h"
#include "harness/host/evaluator.h"
#include "harness/host/recalculation.h"
#include "harness/host/result_check.h"
#include "harness/host/sim_host.h"
#include "harness/platform/module.h"
#include "harness/platform/process_memory.h"
#include "platform/system.h"
#include "harness/xllhost/formula_file.h"
#include "harness/xllhost/result_table.h"

namespace {

typedef BOOL(WINAPI* EntryPoint)(HINSTANCE, DWORD, LPVOID);

// The file under which the host's workbook stands in the running object table.
constexpr char kWorkbookPath[] = "C:\\Book1.xls";

class XllhostRun {
 public:
  XllhostRun(const XllhostOptions& options, std::FILE* out, std::FILE* err)
      : options_(options), out_(out), err_(err) {
    host_.SetVersion(options.version);
    // Kept only to be shown: without --trace, calculation threads share nothing on their calls.
    host_.SetRecording(options.trace);
  }

  int Execute() {
    // COM runs on the host's main thread for as long as the host does.
    const HRESULT com = CoInitialize(nullptr);
    int cycles = 0;  // completed
    if (RegisterAutomation()) {
      for (; cycles < options_.cycles; ++cycles) {
        const Clock::time_point start = Clock::now();
        if (!RunCycle(cycles == 0)) break;
        cycle_seconds_ += Seconds(start);
        // The first cycle loads what stays for the process's life (the loader's and COM's
        // own data); growth is counted from after it.
        if (cycles == 0 && options_.cycles > 1) first_memory_ = MeasureMemory();
      }
      if (cycles == options_.cycles) {
        if (options_.cycles > 1) last_memory_ = MeasureMemory();
        ReportStatistics();
      }
    }
    const bool opened = cycles > 0;
    Shut();
    RevokeAutomation();
    if (SUCCEEDED(com)) CoUninitialize();
    if (opened && options_.leaks) ReportLeaks();
    return status_;
  }

 private:
  typedef std::chrono::steady_clock Clock;

  // A measurement of the process's memory, and whether the system gave one.
  struct MemoryReading {
    bool taken = false;
    platform::ProcessMemory memory;
  };

  static double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
  }

  static MemoryReading MeasureMemory() {
    MemoryReading reading;
    reading.taken = platform::QueryProcessMemory(&reading.memory);
    return reading;
  }

  // Loads and opens the add-in, uses it, and takes it out and unloads it again. The first cycle
  // prints what the formulas give; later ones evaluate them again and compare. False when the
  // add-in cannot be loaded or opened.
  bool RunCycle(bool first) {
    if (!Open()) {
      Shut();
      return false;
    }
    const std::size_t evaluations = evaluations_;
    if (first) {
      UseAndPrint();
    } else {
      EvaluateAgain();
    }
    // Without cycles, the memory is watched over the rounds. The first round may allocate what
    // later ones reuse; growth is counted from after it.
    const bool watch_rounds = options_.cycles == 1 && options_.repeat > 1;
    if (first && watch_rounds) first_memory_ = MeasureMemory();
    for (int round = 1; round < options_.repeat; ++round) EvaluateAgain();
    if (watch_rounds) last_memory_ = MeasureMemory();
    round_evaluations_ += evaluations_ - evaluations;
    // A cycle takes the add-in out as the add-in manager does, so the next load starts afresh.
    if (options_.remove || options_.cycles > 1) session_.Remove();
    session_.Close();
    Shut();
    return true;
  }

  // Prints the results of the formulas, the tables of --file and the reports of --check, and
  // runs the macros; remembers each formula's result for later rounds.
  void UseAndPrint() {
    BuildSheet();
    first_results_ = EvaluateSheet();
    reported_.assign(first_results_.size(), false);
    std::size_t at = 0;
    for (std::size_t i = 0; i < options_.formulas.size(); ++i) {
      std::fputs((first_results_[at++] + "\n").c_str(), out_);
    }
    for (const std::vector<std::string>& table : tables_) {
      std::vector<std::pair<std::string, std::string>> rows;
      for (const std::string& formula : table) rows.emplace_back(formula, first_results_[at++]);
      const TableTexts texts = host_.OffersVersion12() ? TableTexts::kUtf8 : TableTexts::kBytes;
      std::fputs(FormatResultTable(rows, texts).c_str(), out_);
    }
    if (!options_.check_files.empty()) ReportChecks(&at);
    for (const std::string& macro : options_.macros) RunMacro(macro);
  }

  // Every formula of a round, in the order their results print: the arguments, the lines of
  // each --file, the formulas of each --check.
  void BuildSheet() {
    sheet_ = options_.formulas;
    for (const std::string& path : options_.formula_files) {
      std::vector<FormulaLine> lines;
      if (!ReadLines(path, &lines)) continue;
      tables_.emplace_back();
      for (const FormulaLine& line : lines) {
        tables_.back().push_back(line.text);
        sheet_.push_back(line.text);
      }
    }
    for (const std::string& path : options_.check_files) {
      std::vector<FormulaLine> lines;
      if (!ReadLines(path, &lines)) continue;
      for (const FormulaLine& line : lines) {
        CheckLine check;
        check.where = path + ":" + std::to_string(line.number) + ": ";
        check.split = SplitCheckLine(line.text, &check.formula, &check.expected);
        if (check.split) sheet_.push_back(check.formula);
        checks_.push_back(check);
      }
    }
  }

  // Compares the results of the --check formulas, from index *at of the first round's, with
  // what the files expect: prints each failure, then "N passed, N failed".
  void ReportChecks(std::size_t* at) {
    int passed = 0;
    int failed = 0;
    for (const CheckLine& check : checks_) {
      if (!check.split) {
        std::fputs((check.where + "no tab between the formula and the expected result\n").c_str(),
                   out_);
        ++failed;
        continue;
      }
      const std::string& got = first_results_[(*at)++];
      if (ResultMatches(got, check.expected)) {
        ++passed;
      } else {
        std::fputs((check.where + check.formula + ": got " + got + ", expected " +
                    check.expected + "\n")
                       .c_str(),
                   out_);
        ++failed;
      }
    }
    const std::string summary =
        std::to_string(passed) + " passed, " + std::to_string(failed) + " failed\n";
    std::fputs(summary.c_str(), out_);
    if (failed > 0) Fail(kStatusFormulaFailed);
  }

  // Evaluates every formula of the first round again. The add-in keeps nothing between calls,
  // so a result that differs from the first one is a fault; each formula is reported once.
  void EvaluateAgain() {
    const std::vector<std::string>& results = EvaluateSheet();
    for (std::size_t i = 0; i < results.size(); ++i) {
      if (results[i] == first_results_[i] || reported_[i]) continue;
      reported_[i] = true;
      Complain(sheet_[i] + " gave " + results[i] + " after " + first_results_[i] +
               " the first time");
      Fail(kStatusFormulaFailed);
    }
  }

  // One recalculation of the sheet, on as many calculation threads as asked (each round starts
  // its own): every formula's result as a cell shows it, valid until the next round. A formula
  // that cannot be read gives "error: ..." and fails the run. The results are written into the
  // texts of the round before, which have their room already, so that a calculation thread takes
  // nothing from the heap for them.
  const std::vector<std::string>& EvaluateSheet() {
    results_.resize(sheet_.size());
    unread_.assign(sheet_.size(), 0);
    // The calls per second count the recalculations alone: not reading the files, printing the
    // results or measuring the memory, which take the same time on any number of threads.
    const Clock::time_point start = Clock::now();
    const bool started = Recalculate(host_, sheet_, options_.threads,
                                     [&](std::size_t i, const Evaluation& evaluation) {
                                       results_[i].assign(
                                           RenderEvaluation(evaluation, options_.style));
                                       unread_[i] = evaluation.parsed ? 0 : 1;
                                     });
    round_seconds_ += Seconds(start);
    evaluations_ += sheet_.size();
    FlushTrace();
    if (!started) Complain("not every calculation thread could be started");
    for (char failed : unread_) {
      if (failed) Fail(kStatusFormulaFailed);
    }
    return results_;
  }

  // The calls per second of the repeated rounds, and the process's memory from the first round
  // (or cycle) to the last; with --max-growth, more growth of its private bytes fails the run.
  void ReportStatistics() {
    if (options_.repeat > 1) {
      char line[160];
      std::snprintf(line, sizeof line, "%zu calls in %.2f s: %.0f calls/s", round_evaluations_,
                    round_seconds_,
                    round_seconds_ > 0 ? static_cast<double>(round_evaluations_) / round_seconds_
                                       : 0.0);
      Complain(line);
    }
    if (options_.cycles > 1) {
      char line[160];
      std::snprintf(line, sizeof line, "%d cycles in %.2f s", options_.cycles, cycle_seconds_);
      Complain(line);
    }
    if (options_.repeat == 1 && options_.cycles == 1) return;
    if (!first_memory_.taken || !last_memory_.taken) {
      Complain("cannot measure the process's memory");
      if (options_.max_growth_kib >= 0) Fail(kStatusLeaked);
      return;
    }
    const platform::ProcessMemory& first = first_memory_.memory;
    const platform::ProcessMemory& last = last_memory_.memory;
    const long long working_set_growth = KibDifference(last.working_set, first.working_set);
    const long long private_growth = KibDifference(last.private_bytes, first.private_bytes);
    const char* unit = options_.cycles > 1 ? "cycle" : "round";
    char line[320];
    std::snprintf(line, sizeof line,
                  "memory after the first %s: working set %zu KiB, private %zu KiB; after the "
                  "last: working set %zu KiB (%+lld), private %zu KiB (%+lld)",
                  unit, first.working_set / 1024, first.private_bytes / 1024,
                  last.working_set / 1024, working_set_growth, last.private_bytes / 1024,
                  private_growth);
    Complain(line);
    // Only the private bytes count: the working set also grows as the code that runs is paged
    // in from its files, which is no leak.
    const long long limit = options_.max_growth_kib;
    if (limit >= 0 && private_growth > limit) {
      Complain("memory grew by more than " + std::to_string(limit) + " KiB");
      Fail(kStatusLeaked);
    }
  }

  static long long KibDifference(std::size_t after, std::size_t before) {
    return static_cast<long long>(after / 1024) - static_cast<long long>(before / 1024);
  }

  // Makes the host's application findable as the options say. False when COM refused.
  bool RegisterAutomation() {
    if (options_.automation == AutomationMode::kNone) return true;
    own_ = SimApplication::Create(&host_);
    std::string error;
    bool registered = registration_.RegisterClass(kHostProgIds, &error);
    if (registered && options_.automation == AutomationMode::kRunningTable) {
      other_ = SimApplication::Create(&host_, true);
      registered = registration_.MakeActive(other_, &error);
    } else if (registered) {
      registered = registration_.MakeActive(own_, &error);
    }
    if (registered) {
      registered = registration_.EnterRunning(&own_->Workbook(), kWorkbookPath, &error);
    }
    if (!registered) {
      Complain("cannot register the host's automation model: " + error);
      Fail(kStatusAddinFailed);
    }
    return registered;
  }

  // Takes the registrations back and lets the model go.
  void RevokeAutomation() {
    registration_.Revoke();
    for (SimApplication** model : {&own_, &other_}) {
      if (*model) (*model)->Release();
      *model = nullptr;
    }
  }

  // Runs the command the add-in registered under name, as the host runs one, and prints its
  // answer. Only a registered command: any other export, called as one, could take arguments
  // it does not get and break the process.
  void RunMacro(const std::string& name) {
    int answer = 0;
    if (!RunCommand(host_, name, &answer)) {
      FlushTrace();
      Complain("the add-in registered no command " + name);
      Fail(kStatusFormulaFailed);
      return;
    }
    FlushTrace();
    std::fputs((name + "() = " + std::to_string(answer) + "\n").c_str(), out_);
  }

  // Loads the library and opens it as often as asked. False when either fails.
  bool Open() {
    if (!platform::LoaderRunsEntryPoint()) {
      // The library expects its attach and detach notifications before the host's first
      // call and after its last, which here only the host can give it.
      session_.SetAttachHooks([this] { CallEntryPoint(DLL_PROCESS_ATTACH); },
                              [this] { CallEntryPoint(DLL_PROCESS_DETACH); });
    }
    std::string error;
    if (!session_.Load(options_.addin_path, options_.addin_name, &error)) {
      Complain("cannot load " + options_.addin_path + ": " + error);
      Fail(kStatusAddinFailed);
      return false;
    }
    // Switched off and on again between the opens, as the add-in manager does it: removed (with
    // --remove) and closed, after which the host drops whatever the add-in left registered.
    for (int i = 0; i < options_.open_count; ++i) {
      if (i > 0 && options_.remove) session_.Remove();
      if (i > 0) session_.Close();
      if (session_.Open() == 0) {
        FlushTrace();
        Complain(options_.addin_path + " did not open: its xlAutoOpen answered 0 or is missing");
        Fail(kStatusAddinFailed);
        return false;
      }
    }
    FlushTrace();
    return true;
  }

  void CallEntryPoint(DWORD reason) {
    platform::Module* module = session_.module();
    auto entry = reinterpret_cast<EntryPoint>(platform::FindProcedure(module, "DllMain"));
    if (entry) entry(reinterpret_cast<HINSTANCE>(module), reason, nullptr);
  }

  bool ReadLines(const std::string& path, std::vector<FormulaLine>* lines) {
    std::string error;
    if (ReadFormulaLines(path, lines, &error)) return true;
    Complain(error);
    Fail(kStatusUsage);
    return false;
  }

  // Unloads the library; the host itself stays until the run is over, to be asked about leaks.
  void Shut() {
    session_.Unload();
    FlushTrace();
  }

  void ReportLeaks() {
    const std::size_t outstanding = host_.OutstandingAllocations();
    if (outstanding > 0) {
      Complain(std::to_string(outstanding) + " host allocation" + (outstanding == 1 ? "" : "s") +
               " still outstanding at exit");
    }
    for (const std::string& fault : host_.FreeFaultMessages()) Complain(fault);
    if (outstanding > 0 || host_.FreeFaults() > 0) Fail(kStatusLeaked);
  }

  // Writes the calls made since the last flush, if asked to, and forgets them either way, with
  // the automation models' own records of them: over many rounds or cycles nothing may pile up.
  void FlushTrace() {
    if (options_.trace) {
      std::fflush(out_);
      for (const TraceEntry& entry : host_.Trace()) std::fputs((entry.Line() + "\n").c_str(), err_);
      std::fflush(err_);
    }
    host_.ClearTrace();
    for (SimApplication* model : {own_, other_}) {
      if (model) model->ForgetModelCalls();
    }
  }

  void Complain(const std::string& message) {
    std::fflush(out_);
    std::fputs(("xllhost: " + message + "\n").c_str(), err_);
  }

  void Fail(int status) { status_ = status_ == kStatusOk ? status : std::min(status_, status); }

  const XllhostOptions& options_;
  std::FILE* out_;
  std::FILE* err_;
  SimHost host_;
  AddinSession session_{host_};
  AutomationRegistration registration_;
  SimApplication* own_ = nullptr;    // this host's application, when registered
  SimApplication* other_ = nullptr;  // another process's host, with --automation rot
  int status_ = kStatusOk;

  // A line of a --check file: where it is, and its formula and expected result when it has a
  // tab between them.
  struct CheckLine {
    std::string where;
    bool split = false;
    std::string formula;
    std::string expected;
  };
  std::vector<std::string> sheet_;                // every formula of a round
  std::vector<std::vector<std::string>> tables_;  // the formulas of each --file read
  std::vector<CheckLine> checks_;                 // the lines of every --check file read
  std::vector<std::string> first_results_;        // what the first round gave
  std::vector<std::string> results_;              // what the latest round gave
  std::vector<char> unread_;                      // which of its formulas could not be read
  std::vector<bool> reported_;  // a later result differed, and was reported
  std::size_t evaluations_ = 0;       // formulas evaluated so far
  std::size_t round_evaluations_ = 0;  // of those, the ones in timed rounds
  double round_seconds_ = 0;          // the time the rounds' recalculations took
  double cycle_seconds_ = 0;          // the time the cycles took, from loading to unloading
  MemoryReading first_memory_;        // after the first round, or with --cycles the first cycle
  MemoryReading last_memory_;         // after the last round, or the last cycle
};

}  // namespace

int RunXllhost(const XllhostOptions& options, std::FILE* out, std::FILE* err) {
  XllhostRun run(options, out, err);
  return run.Execute();
}
