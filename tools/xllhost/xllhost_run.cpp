// Driving an add-in through its life in the simulated host, as the spreadsheet host does.
#include "tools/xllhost/xllhost_run.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "host/addin_session.h"
#include "host/automation_app.h"
#include "host/automation_registration.h"
#include "host/evaluator.h"
#include "host/result_check.h"
#include "host/sim_host.h"
#include "platform/module.h"
#include "platform/system.h"
#include "tools/xllhost/formula_file.h"
#include "tools/xllhost/result_table.h"

namespace {

typedef BOOL(WINAPI* EntryPoint)(HINSTANCE, DWORD, LPVOID);
typedef int(__stdcall* MacroProcedure)();

// The file under which the host's workbook stands in the running object table.
constexpr char kWorkbookPath[] = "C:\\Book1.xls";

class XllhostRun {
 public:
  XllhostRun(const XllhostOptions& options, std::FILE* out, std::FILE* err)
      : options_(options), out_(out), err_(err) {
    host_.SetVersion(options.version);
  }

  int Execute() {
    // COM runs on the host's main thread for as long as the host does.
    const HRESULT com = CoInitialize(nullptr);
    const bool opened = RegisterAutomation() && Open();
    if (opened) {
      for (const std::string& formula : options_.formulas) {
        std::fputs((Evaluate(formula) + "\n").c_str(), out_);
      }
      for (const std::string& path : options_.formula_files) PrintTable(path);
      if (!options_.check_files.empty()) RunChecks();
      for (const std::string& macro : options_.macros) RunMacro(macro);
      if (options_.remove) session_.Remove();
      session_.Close();
    }
    Shut();
    RevokeAutomation();
    if (SUCCEEDED(com)) CoUninitialize();
    if (opened && options_.leaks) ReportLeaks();
    return status_;
  }

 private:
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

  // Runs the add-in's exported macro name as the host runs one, and prints its answer.
  void RunMacro(const std::string& name) {
    auto macro =
        reinterpret_cast<MacroProcedure>(platform::FindProcedure(session_.module(), name.c_str()));
    if (!macro) {
      Complain("the add-in exports no macro " + name);
      Fail(kStatusFormulaFailed);
      return;
    }
    const int answer = macro();
    host_.RecordAddinCall(name, {}, std::to_string(answer));
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
    for (int i = 0; i < options_.open_count; ++i) {
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

  // The formula's result as a cell shows it; a formula that cannot be read gives "error: ..."
  // and fails the run.
  std::string Evaluate(const std::string& formula) {
    const Evaluation evaluation = EvaluateFormula(host_, formula);
    FlushTrace();
    if (!evaluation.parsed) Fail(kStatusFormulaFailed);
    return RenderEvaluation(evaluation, options_.style);
  }

  void PrintTable(const std::string& path) {
    std::vector<FormulaLine> lines;
    if (!ReadLines(path, &lines)) return;
    std::vector<std::pair<std::string, std::string>> rows;
    for (const FormulaLine& line : lines) rows.emplace_back(line.text, Evaluate(line.text));
    std::fputs(FormatResultTable(rows).c_str(), out_);
  }

  void RunChecks() {
    int passed = 0;
    int failed = 0;
    for (const std::string& path : options_.check_files) {
      std::vector<FormulaLine> lines;
      if (!ReadLines(path, &lines)) continue;
      for (const FormulaLine& line : lines) {
        const std::string where = path + ":" + std::to_string(line.number) + ": ";
        std::string formula;
        std::string expected;
        if (!SplitCheckLine(line.text, &formula, &expected)) {
          std::fputs((where + "no tab between the formula and the expected result\n").c_str(),
                     out_);
          ++failed;
          continue;
        }
        const std::string got = Evaluate(formula);
        if (ResultMatches(got, expected)) {
          ++passed;
        } else {
          std::fputs((where + formula + ": got " + got + ", expected " + expected + "\n").c_str(),
                     out_);
          ++failed;
        }
      }
    }
    const std::string summary =
        std::to_string(passed) + " passed, " + std::to_string(failed) + " failed\n";
    std::fputs(summary.c_str(), out_);
    if (failed > 0) Fail(kStatusFormulaFailed);
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

  // Writes the calls made since the last flush, if asked to, and forgets them either way.
  void FlushTrace() {
    if (options_.trace) {
      std::fflush(out_);
      for (const TraceEntry& entry : host_.Trace()) std::fputs((entry.Line() + "\n").c_str(), err_);
      std::fflush(err_);
    }
    host_.ClearTrace();
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
};

}  // namespace

int RunXllhost(const XllhostOptions& options, std::FILE* out, std::FILE* err) {
  XllhostRun run(options, out, err);
  return run.Execute();
}
