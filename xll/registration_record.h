// RegistrationRecord: the static description of one worksheet function, and the list that links them.
#pragma once

#include <cstdint>

// What the host needs to register one exported function. Records are static data: the texts
// are constants that are never freed or changed; only next is written, once, when the record's
// registrar links it into RegistrationList.
struct RegistrationRecord {
  RegistrationRecord* next;  // link of RegistrationList; null until linked
  const char* procedure;     // name under which the library exports the entry point
  const char* typeText;      // result letter, then one letter per argument ("RBCC")
  const char* functionText;  // name that worksheet formulas call
  const char* argumentText;  // argument names, comma-separated, no spaces
  int32_t macroType;         // 1: a worksheet function
  const char* category;
  const char* shortcutText;
  int32_t helpContextId;     // 0: no help topic
  const char* functionHelp;
  // One NUL-terminated text per argument, the run ended by an empty text (two NULs in a row);
  // a function without arguments has just the empty text.
  const char* argumentHelp;
  // How the function is registered with a host that takes the version 12 interface: the entry
  // point exported for it there and its version 12 type text ("QBD%$"). Null for a function
  // registered there as in any other host.
  const char* procedure12 = nullptr;
  const char* typeText12 = nullptr;
};

// Head of the list of every record in the library, the one linked last first. Constant-initialised
// to null, so it is ready before any registrar runs, whatever the order of static construction.
inline RegistrationRecord* RegistrationList = nullptr;

// One static registrar per record: its construction pushes the record at the head of
// RegistrationList. Nothing ever unlinks a record.
class RecordRegistrar {
 public:
  explicit RecordRegistrar(RegistrationRecord* record) noexcept {
    record->next = RegistrationList;
    RegistrationList = record;
  }
};
