// A tiny add-in linked into the host tests: what it registers and what it saw, for assertions.
#pragma once

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "harness/host/addin_session.h"
#include "harness/host/sim_host.h"
#include "xll/host_api.h"

namespace fake_addin {

// The name under which the tests load this program as the add-in.
constexpr const char* kPath = "C:\\AddIns\\FAKE.xll";

// What the fake add-in observed since the last Reset.
struct State {
  int open_calls = 0;
  int close_calls = 0;
  int remove_calls = 0;
  int command_runs = 0;
  int function_calls = 0;              // calls of the worksheet functions
  int auto_free_calls = 0;
  int auto_free_unknown = 0;           // xlAutoFree with a pointer it never returned
  std::set<XLOPER*> outstanding;       // results marked xlbitDLLFree not yet given back
  std::map<std::string, double> ids;   // register ids by function text
  double last_number = 0;              // the last "B" argument received
  std::string last_texts[2];           // the last "C" arguments received
};

State& state();
// How often xlAutoFree12 was called, and how often on another thread than the result was made
// on. Atomic: the version 12 functions may run on several threads at once.
extern std::atomic<int> wide_free_calls;
extern std::atomic<int> wide_frees_on_another_thread;
// Forgets what was observed and releases results the host never gave back.
void Reset();

// The argument list of one host call, built from values the caller owns until the call returns.
class Arguments {
 public:
  Arguments& Add(uint16_t type);  // a value of this type with a zero payload
  Arguments& Text(const std::string& text);
  Arguments& Number(double number);
  Arguments& Int(int16_t number);
  Arguments& Bool(uint16_t truth);
  // Excel4v(xlfn, result, count, pointers to the values); returns its code.
  int Call(int xlfn, XLOPER* result);

 private:
  std::vector<XLOPER> values_;
  std::vector<std::string> texts_;  // the counted text of each text value, "" for the others
};

// A fresh host of the given version with the fake add-in loaded from this program and opened.
struct OpenedFake {
  explicit OpenedFake(const char* version = "16.0");
  ~OpenedFake();
  SimHost host;
  AddinSession session{host};
  int opened = 0;  // what xlAutoOpen answered
};

}  // namespace fake_addin
