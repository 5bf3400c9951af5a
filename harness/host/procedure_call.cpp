// The procedure signatures the host can call, each a stdcall function as the real host calls it.
// Every text travels as a pointer, whatever its form, so that one signature serves each sequence
// of numbers (B) and texts (P).
#include "harness/host/procedure_call.h"

#include "platform/system.h"

namespace {
typedef void*(__stdcall* Proc)();
typedef void*(__stdcall* ProcB)(double);
typedef void*(__stdcall* ProcP)(const void*);
typedef void*(__stdcall* ProcBP)(double, const void*);
typedef void*(__stdcall* ProcPP)(const void*, const void*);
typedef void*(__stdcall* ProcBPP)(double, const void*, const void*);
typedef int(__stdcall* ProcJ)();

constexpr std::size_t kMaxArguments = 3;

// The sequences of numbers (B) and texts of any form (P) the host has a signature for.
const char* const kSignatures[] = {"", "B", "P", "BP", "PP", "BPP"};

std::string Signature(const std::vector<ArgumentKind>& arguments) {
  std::string letters;
  for (ArgumentKind kind : arguments) letters += kind == ArgumentKind::kNumber ? 'B' : 'P';
  return letters;
}

// The argument letter at text, and its length (C% and D% take two characters); 0 for none.
std::size_t ReadArgument(const char* text, ArgumentKind* kind) {
  switch (text[0]) {
    case 'B': *kind = ArgumentKind::kNumber; return 1;
    case 'C':
      *kind = text[1] == '%' ? ArgumentKind::kWideText : ArgumentKind::kText;
      return text[1] == '%' ? 2 : 1;
    case 'D':
      if (text[1] != '%') return 0;
      *kind = ArgumentKind::kCountedWideText;
      return 2;
    default: return 0;
  }
}

const void* Pointer(const ProcedureArgument& argument, ArgumentKind kind) {
  switch (kind) {
    case ArgumentKind::kText: return argument.text;
    case ArgumentKind::kWideText:
    case ArgumentKind::kCountedWideText: return argument.wide.c_str();
    default: return nullptr;
  }
}
}  // namespace

bool ReadShape(const std::string& type_text, ProcedureShape* shape) {
  ProcedureShape read;
  const char* at = type_text.c_str();
  if (*at != 'R' && *at != 'Q' && *at != 'J') return false;
  read.result = *at++;
  ArgumentKind kind;
  for (std::size_t length; (length = ReadArgument(at, &kind)) != 0; at += length) {
    read.arguments.push_back(kind);
  }
  for (bool volatile_mark = false; *at != '\0'; ++at) {
    bool& mark = *at == '$' ? read.thread_safe : *at == '#' ? read.macro_sheet : volatile_mark;
    if ((*at != '$' && *at != '#' && *at != '!') || mark) return false;
    mark = true;
  }
  if (read.result == 'J' && !read.arguments.empty()) return false;
  const std::string signature = Signature(read.arguments);
  for (const char* known : kSignatures) {
    if (signature == known) {
      *shape = read;
      return true;
    }
  }
  return false;
}

bool CallProcedure(platform::Procedure address, const ProcedureShape& shape,
                   std::vector<ProcedureArgument>& arguments, ProcedureResult* result) {
  if (!address || arguments.size() != shape.arguments.size()) return false;
  if (shape.result == 'J') {
    result->integer = reinterpret_cast<ProcJ>(address)();
    return true;
  }
  if (arguments.size() > kMaxArguments) return false;
  const std::string letters = Signature(shape.arguments);
  const void* pointers[kMaxArguments] = {};
  double numbers[kMaxArguments] = {};
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    numbers[i] = arguments[i].number;
    pointers[i] = Pointer(arguments[i], shape.arguments[i]);
  }
  const auto* n = numbers;
  const auto* p = pointers;
  if (letters.empty()) {
    result->value = reinterpret_cast<Proc>(address)();
  } else if (letters == "B") {
    result->value = reinterpret_cast<ProcB>(address)(n[0]);
  } else if (letters == "P") {
    result->value = reinterpret_cast<ProcP>(address)(p[0]);
  } else if (letters == "BP") {
    result->value = reinterpret_cast<ProcBP>(address)(n[0], p[1]);
  } else if (letters == "PP") {
    result->value = reinterpret_cast<ProcPP>(address)(p[0], p[1]);
  } else if (letters == "BPP") {
    result->value = reinterpret_cast<ProcBPP>(address)(n[0], p[1], p[2]);
  } else {
    return false;
  }
  return true;
}
