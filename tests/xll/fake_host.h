// A small stand-in for the spreadsheet host: records every call, answers a few functions, and
// keeps count of the memory it hands out so that tests can see it come back through xlFree.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/host_entry.h"
#include "xll/cell_value.h"
#include "xll/cell_value12.h"

struct HostCall {
  int xlfn;
  bool wantsResult;
  bool noArgArray;                  // the pointer array was null
  std::vector<XLOPER*> args;        // the argument pointers as passed (Excel4v only)
  std::vector<uint16_t> types;      // each argument's type word as the host saw it
  std::vector<std::string> texts;   // each argument through ToText (UTF-8 for Excel12v)
  bool wide = false;                // made through Excel12v
};

// Installs itself as the host for its lifetime. Answers xlfGetWorkspace with the text version,
// xlGetName with the text name and xlcAlert with TRUE; more answers can be added. With offers12
// set before the add-in looks (platform::ConnectHost12), it also exports a version 12 entry point:
// there it answers xlGetName with the name as a wide text and xlfRegister with a new id, and
// records the calls with wide set.
class FakeHost {
 public:
  using Answer = std::function<void(FakeHost&, XLOPER& result)>;

  FakeHost();
  ~FakeHost();

  // Host memory: zero-filled blocks that only xlFree gives back.
  void* Allocate(std::size_t size);
  char* Text(const char* text);

  int CountCalls(int xlfn) const;
  // The calls of function xlfn, in order.
  std::vector<HostCall> CallsOf(int xlfn) const;

  std::string version = "5.0";
  std::string name = "C:\\AddIns\\MENSORA.xll";
  std::map<int, Answer> answers;
  std::map<int, int> failures;        // function number -> return code (answer still written)
  std::vector<HostCall> calls;
  std::set<const void*> live;         // host blocks not yet freed
  int strayFrees = 0;                 // xlFree of memory this host never handed out
  bool offers12 = false;              // the host program exports MdCallBack12

 private:
  static int Handle(int xlfn, XLOPER* result, int count, XLOPER* args[]);
  static int __stdcall Handle12(int xlfn, int count, XLOPER12* args[], XLOPER12* result);
  static platform::ProgramProcedure Lookup(const char* name);
  void Release(const void* block);
  void ReleaseValue(const XLOPER& value);

  platform::HostHandler previous_;
  double next_id_ = 1;
};
