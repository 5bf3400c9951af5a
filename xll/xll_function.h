// CXllFunction: one function the add-in registers with the host, and its registration.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "xll/cell_value.h"
#include "xll/cell_value12.h"
#include "xll/registration_record.h"

class CXllApp;

// The host takes at most this many argument help texts per function.
constexpr std::size_t kMaxArgumentHelps = 20;

// What a function whose help list was cut says in the last help text the host gets.
constexpr char kNoDescription[] = "No description available";

// A registrable function: the texts of its RegistrationRecord, and whether (and under which id)
// the host has it registered. Made on the heap and owned by the CXllApp whose map holds it.
class CXllFunction {
 public:
  // Copies the record's texts (a null text gives "") and numbers; the argument help run becomes
  // one element per text, up to its empty text (a null run gives none). Not registered.
  explicit CXllFunction(const RegistrationRecord& record);

  // Registers the function through xlfRegister with module (the add-in's file name as the host
  // gave it) and the host's version, leaving the host's answer in result. Hosts below 5.0, and
  // every host for a function without arguments, get the first 8 arguments only; otherwise the
  // function help and up to 20 argument helps follow. registerId becomes the answer's number, or
  // 0.0 when the answer is not a number; registered becomes 1 either way: the host's return code
  // is not looked at. Throws std::bad_alloc when the arguments cannot be built.
  void Register(const CXllValue& module, double version, CXllValue& result);
  // The same through the version 12 interface, with the version 12 entry point and type text
  // when the function has them (else the others); registered12 becomes 1.
  void Register(const CXllValue12& module, double version, CXllValue12& result);

  // Unregisters the function by its id (when it has one), deletes the name the host defined for
  // it and registers the add-in's xlAutoRemove under that name as a hidden entry, so that a
  // formula still calling the function no longer reaches this add-in; all through the interface
  // it was registered through. registered, registered12 and registerId become 0. Host return
  // codes are not looked at.
  void Unregister();

  std::string procedure;
  std::string typeText;
  std::string functionText;
  std::string argumentText;
  int32_t macroType;
  std::string category;
  std::string shortcutText;
  uint16_t helpContextId;
  std::string functionHelp;
  std::vector<std::string> argumentHelp;
  std::string procedure12;  // "" when registered the same way in every host
  std::string typeText12;
  int32_t registered = 0;
  int32_t registered12 = 0;  // registered through the version 12 interface
  CXllApp* owner = nullptr;  // set by CXllApp::AddFunction
  double registerId = 0.0;   // 0.0: no id

 private:
  // Register and Unregister through the interface of Value (CXllValue or CXllValue12).
  template <class Value>
  void RegisterThrough(const Value& module, double version, Value& result);
  template <class Value>
  void UnregisterThrough();
};
