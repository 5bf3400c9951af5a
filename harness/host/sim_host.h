// SimHost: the simulated spreadsheet host that answers the add-in's calls into the C API.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "harness/host/host_memory.h"
#include "harness/host/host_value.h"
#include "platform/host_entry.h"
#include "harness/platform/module.h"
#include "xll/host_api.h"

// One function the add-in registered with xlfRegister.
struct RegisteredFunction {
  double id = 0;                       // the register id handed back
  std::vector<HostValue> arguments;    // every xlfRegister argument, in order
  std::string module;                  // argument 1: the library's file name
  std::string procedure;               // argument 2: the exported name
  std::string type_text;               // argument 3: "RBCC", "J", ...
  std::string function_text;           // argument 4: the name formulas use ("" when none)
  std::string argument_text;           // argument 5
  int macro_type = 1;                  // argument 6: 1 function, 2 command, 0 hidden
  platform::Module* library = nullptr;     // the module the procedure lives in, when known
  platform::Procedure address = nullptr;   // the resolved procedure, when the module is known
};

// One call in the trace: a call the add-in made into the host, or one the host made into it.
struct TraceEntry {
  bool into_addin = false;             // true: the host called the add-in (xlAutoOpen, ...)
  bool automation = false;             // true: a call on the host's automation model
  bool elsewhere = false;              // an automation call on another process's host
  int xlfn = 0;                        // the function number of a host call
  std::string name;                    // "xlfRegister", or the add-in procedure's name
  std::vector<std::string> arguments;  // each argument as RenderValue shows it
  int code = 0;                        // the return code of a host call
  bool has_result = false;
  std::string result;                  // the result as RenderValue shows it

  // One readable line: xlfRegister("C:\AddIns\a.xll", "Conv", "RBCC", ...) -> 0 = 3, or for a
  // call into the add-in: add-in: xlAutoOpen() = 1, or for an automation call:
  // automation: ExecuteExcel4Macro("Macro1()") = TRUE (with "another process: " after the
  // colon when it ran in another process's host).
  std::string Line() const;
};

// The stand-in for the spreadsheet host. While it lives it answers Excel4 and Excel4v (one host
// at a time: a second one takes over until it is destroyed). It keeps the function table that
// xlfRegister fills, hands out and takes back its own memory, and records every call.
//
// Answers: xlfRegister (a new id, or #VALUE!), xlfUnregister by id (TRUE, or FALSE for an
// unknown id), xlfSetName (TRUE), xlFree, xlCoerce to an integer or a number (#VALUE! when the
// value does not convert), xlGetName and xlfGetWorkspace(2) (texts of the host's memory),
// xlcAlert, xlcEcho, xlcNew and xlcClose (TRUE). Any other function number gives xlretInvXlfn;
// a bad count xlretInvCount; a null argument pointer xlretInvXloper.
class SimHost {
 public:
  SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;
  ~SimHost();  // restores the previously installed host; releases blocks still handed out

  // ---- Set-up ----
  // The add-in's file name that xlGetName reports; empty (the default) makes xlGetName fail.
  void SetAddinName(const std::string& name) { addin_name_ = name; }
  const std::string& AddinName() const { return addin_name_; }
  // The version text that xlfGetWorkspace(2) reports ("16.0" unless set).
  void SetVersion(const std::string& version) { version_ = version; }
  // From now on answer xlfn with code and, when code is 0, result: a number, text, truth value,
  // error, integer or missing value (xlFree excepted: it always keeps its accounting). Typical
  // use: make xlcNew fail or return an error value.
  void SetAnswer(int xlfn, int code, const HostValue& result);
  void ClearAnswer(int xlfn) { answers_.erase(xlfn); }
  // Makes the host resolve xlfRegister procedures in module when the module text equals name
  // (compared without regard to case). The module stays the caller's.
  void AttachModule(const std::string& name, platform::Module* module);
  // Forgets module: functions registered from it stay listed but can no longer be called.
  void DetachModule(platform::Module* module);
  // Drops every function registered with the module text name (compared without regard to
  // case), as the host does after calling an add-in's xlAutoClose.
  void DropRegistrations(const std::string& name);
  // The module attached under name (compared without regard to case), or nullptr: what a macro
  // calling into a library by its file name reaches.
  platform::Module* ModuleNamed(const std::string& name) const;

  // ---- The C API ----
  // Answers one call as Excel4v would; returns the return code. Never throws.
  int Call(int xlfn, XLOPER* result, int count, XLOPER* args[]);

  // ---- The function table ----
  // Every registered function, in the order of registration.
  const std::vector<RegisteredFunction>& Functions() const { return functions_; }
  // The function registered under this function text (without regard to case), or nullptr.
  const RegisteredFunction* FindFunction(const std::string& function_text) const;

  // ---- Calls into the add-in ----
  // Takes the value procedure(arguments) returned: copies it, traces the call and, when the
  // value carries xlbitDLLFree, hands the pointer back through the module's xlAutoFree (a fault
  // when the module has none). Returns the copy; a null pointer gives the error #VALUE!.
  HostValue AcceptResult(platform::Module* module, const std::string& procedure,
                         const std::vector<std::string>& arguments, XLOPER* value);
  // Adds a line for a call the host made into the add-in.
  void RecordAddinCall(const std::string& name, const std::vector<std::string>& arguments,
                       const std::string& result);
  // Adds a line for a call the add-in made on the host's automation model; elsewhere when the
  // object belongs to another process's host.
  void RecordAutomationCall(const std::string& name, const std::vector<std::string>& arguments,
                            const std::string& result, bool elsewhere);
  // How many times the host called xlAutoFree.
  std::size_t AutoFreeCalls() const { return auto_free_calls_; }

  // ---- Inspection ----
  const std::vector<TraceEntry>& Trace() const { return trace_; }
  // The whole trace, one line a call.
  std::string TraceText() const;
  // The host calls made with this function number, in order.
  std::vector<TraceEntry> CallsOf(int xlfn) const;
  void ClearTrace() { trace_.clear(); }
  // The texts of every xlcAlert shown.
  const std::vector<std::string>& Alerts() const { return alerts_; }
  // Host blocks handed out and not yet freed through xlFree.
  std::size_t OutstandingAllocations() const { return memory_.Outstanding(); }
  // Releases that went wrong: xlFree of a block already freed or of one this host never handed
  // out, and results marked for xlAutoFree by a module that exports none.
  std::size_t FreeFaults() const { return free_faults_.size(); }
  // One line per such fault, saying which it was.
  const std::vector<std::string>& FreeFaultMessages() const { return free_faults_; }

 private:
  struct Answer {
    int code;
    HostValue result;
  };
  struct AttachedModule {
    std::string name;
    platform::Module* module;
  };

  int Dispatch(int xlfn, const std::vector<HostValue>& args, HostValue* answer);
  int Free(int count, XLOPER* args[], TraceEntry* entry);
  int Register(const std::vector<HostValue>& args, HostValue* answer);
  int Unregister(const std::vector<HostValue>& args, HostValue* answer);
  int Coerce(const std::vector<HostValue>& args, HostValue* answer);
  int Workspace(const std::vector<HostValue>& args, HostValue* answer);

  std::string addin_name_;
  std::string version_ = "16.0";
  std::map<int, Answer> answers_;
  std::vector<AttachedModule> modules_;
  std::vector<RegisteredFunction> functions_;
  double next_id_ = 1;
  HostMemory memory_;
  std::vector<TraceEntry> trace_;
  std::vector<std::string> alerts_;
  std::vector<std::string> free_faults_;
  std::size_t auto_free_calls_ = 0;
  SimHost* previous_ = nullptr;
  platform::HostHandler previous_handler_ = nullptr;
};
