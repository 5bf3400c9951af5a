// SimHost: the simulated spreadsheet host that answers the add-in's calls into the C API.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "harness/host/host_memory.h"
#include "harness/host/host_value.h"
#include "harness/host/procedure_call.h"
#include "harness/platform/concurrency.h"
#include "harness/platform/module.h"
#include "platform/host_entry.h"
#include "xll/host_api.h"

// One function the add-in registered with xlfRegister.
// What the host needs to call a registered function: a small part of its registration, quick to
// copy out of the function table on any calculation thread.
struct CallTarget {
  std::string procedure;               // argument 2: the exported name
  std::string type_text;               // argument 3: "RBCC", "J", ...
  int macro_type = 1;                  // argument 6: 1 function, 2 command, 0 hidden
  platform::Module* library = nullptr;     // the module the procedure lives in, when known
  platform::Procedure address = nullptr;   // the resolved procedure, when the module is known
  bool callable = false;               // the type text is one the host can call
  ProcedureShape shape;                // its signature and marks, when callable
};

// One function the add-in registered with xlfRegister.
struct RegisteredFunction : CallTarget {
  double id = 0;                       // the register id handed back
  std::vector<HostValue> arguments;    // every xlfRegister argument, in order
  std::string module;                  // argument 1: the library's file name
  std::string function_text;           // argument 4: the name formulas use ("" when none)
  std::string argument_text;           // argument 5
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
  bool wide = false;                   // a host call made through the version 12 interface

  // One readable line: xlfRegister("C:\AddIns\a.xll", "Conv", "RBCC", ...) -> 0 = 3 (with
  // "Excel12: " before it for a call through the version 12 interface), or for a call into the
  // add-in: add-in: xlAutoOpen() = 1, or for an automation call:
  // automation: ExecuteExcel4Macro("Macro1()") = TRUE (with "another process: " after the
  // colon when it ran in another process's host).
  std::string Line() const;
};

// The stand-in for the spreadsheet host. While it lives it answers Excel4 and Excel4v (one host
// at a time: a second one takes over until it is destroyed), and, as a host of version 12 or
// later, the version 12 entry point MdCallBack12 that the host program exports; an older one
// answers that with xlretFailed, as if it were not there. It keeps the function table that
// xlfRegister fills, hands out and takes back its own memory, and records every call.
//
// Answers: xlfRegister (a new id, or #VALUE!, also for a type text marked both thread-safe and
// with a macro sheet's rights), xlfUnregister by id (TRUE, or FALSE for an unknown id),
// xlfSetName (TRUE), xlFree, xlCoerce to an integer or a number (#VALUE! when the value does not
// convert), xlGetName and xlfGetWorkspace(2) (texts of the host's memory), xlcAlert, xlcEcho,
// xlcNew and xlcClose (TRUE). Any other function number gives xlretInvXlfn; a bad count
// xlretInvCount; a null argument pointer xlretInvXloper. While a function registered
// thread-safe runs on the calling thread, only the C API's own functions (xlFree, xlCoerce,
// xlGetName) answer: anything else gives xlretNotThreadSafe.
//
// Texts: a host of version 12 or later keeps them as UTF-8, and passes them in the code page
// through Excel4 and Excel4v (a character the code page lacks becomes '?') and as UTF-16 through
// Excel12; an older host keeps the code page's bytes as they come.
//
// Calls may come from several threads at once: the host's own data is guarded by one lock, held
// only while the host answers, never while the add-in runs.
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
  // The version text that xlfGetWorkspace(2) reports ("16.0" unless set). The whole number it
  // starts with makes the host one of version 12 or later, or an older one.
  void SetVersion(const std::string& version);
  // Whether the host is of version 12 or later: it answers MdCallBack12 and keeps UTF-8 texts.
  bool OffersVersion12() const { return major_version_ >= 12; }
  // Whether calls are recorded in the trace (from the start they are). A host that is not asked
  // for its trace need not keep it, and calculation threads then share nothing on their calls.
  void SetRecording(bool recording) { recording_ = recording; }
  bool Recording() const { return recording_; }
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
  // Answers one call as Excel12v would; xlretFailed without a trace from a host older than
  // version 12. Never throws.
  int Call12(int xlfn, XLOPER12* result, int count, XLOPER12* args[]);

  // While one lives, the calling thread runs a function registered thread-safe (see above).
  class ThreadSafeCall {
   public:
    ThreadSafeCall();
    ~ThreadSafeCall();
    ThreadSafeCall(const ThreadSafeCall&) = delete;
    ThreadSafeCall& operator=(const ThreadSafeCall&) = delete;
  };

  // ---- The function table ----
  // Every registered function, in the order of registration.
  const std::vector<RegisteredFunction>& Functions() const { return functions_; }
  // What it takes to call the function registered under this function text (without regard to
  // case), copied into *target; false when there is none.
  bool FindFunction(const std::string& function_text, CallTarget* target) const;
  // The same as a pointer into the table, or nullptr; valid until the next registration.
  const RegisteredFunction* FindFunction(const std::string& function_text) const;

  // ---- Calls into the add-in ----
  // Takes the value procedure(arguments) returned: copies it (its texts as the host keeps them),
  // traces the call and, when the value carries xlbitDLLFree, hands the pointer back through the
  // module's xlAutoFree, on the calling thread (a fault when the module has none). Returns the
  // copy; a null pointer gives the error #VALUE!.
  HostValue AcceptResult(platform::Module* module, const std::string& procedure,
                         const std::vector<std::string>& arguments, XLOPER* value);
  // The same for a version 12 value, handed back through xlAutoFree12.
  HostValue AcceptResult12(platform::Module* module, const std::string& procedure,
                           const std::vector<std::string>& arguments, XLOPER12* value);

  // A text as the host keeps it, from the code page of the interface of every version, and back:
  // in a host of version 12 or later UTF-8 (a character the code page lacks becomes '?'), in an
  // older one the same bytes.
  std::string FromCodePage(const std::string& text) const;
  std::string ToCodePage(const std::string& text) const;
  // Adds a line for a call the host made into the add-in.
  void RecordAddinCall(const std::string& name, const std::vector<std::string>& arguments,
                       const std::string& result);
  // Adds a line for a call the add-in made on the host's automation model; elsewhere when the
  // object belongs to another process's host.
  void RecordAutomationCall(const std::string& name, const std::vector<std::string>& arguments,
                            const std::string& result, bool elsewhere);
  // How many times the host called xlAutoFree or xlAutoFree12.
  std::size_t AutoFreeCalls() const;

  // ---- Inspection (while no calculation thread runs) ----
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

  template <class Oper>
  int Respond(int xlfn, Oper* result, int count, Oper* args[], bool wide);
  template <class Oper>
  HostValue Accept(platform::Module* module, const std::string& procedure,
                   const std::vector<std::string>& arguments, Oper* value, const char* free_name);
  void Record(TraceEntry entry);
  int Dispatch(int xlfn, const std::vector<HostValue>& args, HostValue* answer);
  template <class Oper>
  int Free(int count, Oper* args[], TraceEntry* entry);
  int Register(const std::vector<HostValue>& args, HostValue* answer);
  int Unregister(const std::vector<HostValue>& args, HostValue* answer);
  int Coerce(const std::vector<HostValue>& args, HostValue* answer);
  int Workspace(const std::vector<HostValue>& args, HostValue* answer);

  mutable platform::Lock lock_;
  bool recording_ = true;
  std::string addin_name_;
  std::string version_ = "16.0";
  int major_version_ = 16;
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

extern "C" {
// The version 12 entry point of the host program, exported by the program that links the
// simulated host (xllhost): answers through the host that is active, or xlretFailed without one.
int __stdcall MdCallBack12(int xlfn, int count, XLOPER12* args[], XLOPER12* result);
}
