// The fake host the framework's tests run against.
#include "fake_host.h"

#include <cstring>

#include "harness/platform/program_procedure.h"

namespace {
FakeHost* g_current = nullptr;

void AnswerText(FakeHost& host, XLOPER& result, const std::string& text) {
  result.xltype = xltypeStr;
  result.val.str = host.Text(text.c_str());
}
}  // namespace

FakeHost::FakeHost() {
  answers[xlfGetWorkspace] = [](FakeHost& host, XLOPER& r) { AnswerText(host, r, host.version); };
  answers[xlGetName] = [](FakeHost& host, XLOPER& r) { AnswerText(host, r, host.name); };
  answers[xlcAlert] = [](FakeHost&, XLOPER& r) {
    r.xltype = xltypeBool;
    r.val.xbool = 1;
  };
  g_current = this;
  previous_ = platform::InstallHost(&FakeHost::Handle);
  platform::SetProgramLookup(&FakeHost::Lookup);
}

FakeHost::~FakeHost() {
  platform::SetProgramLookup(nullptr);
  platform::ConnectHost12();  // finds nothing now: no call reaches a host that is gone
  platform::InstallHost(previous_);
  g_current = nullptr;
  for (const void* block : live) delete[] static_cast<const unsigned char*>(block);
}

void* FakeHost::Allocate(std::size_t size) {
  unsigned char* block = new unsigned char[size]();
  live.insert(block);
  return block;
}

char* FakeHost::Text(const char* text) {
  const std::size_t length = std::strlen(text);
  char* counted = static_cast<char*>(Allocate(length + 1));
  counted[0] = static_cast<char>(length);
  std::memcpy(counted + 1, text, length);
  return counted;
}

int FakeHost::CountCalls(int xlfn) const {
  int n = 0;
  for (const HostCall& call : calls) n += call.xlfn == xlfn;
  return n;
}

std::vector<HostCall> FakeHost::CallsOf(int xlfn) const {
  std::vector<HostCall> found;
  for (const HostCall& call : calls) {
    if (call.xlfn == xlfn) found.push_back(call);
  }
  return found;
}

void FakeHost::Release(const void* block) {
  if (!block) return;
  if (live.erase(block) == 0) {
    ++strayFrees;
    return;
  }
  delete[] static_cast<const unsigned char*>(block);
}

void FakeHost::ReleaseValue(const XLOPER& value) {
  switch (value.xltype & 0x0FFF) {
    case xltypeStr:
      Release(value.val.str);
      break;
    case xltypeRef:
      Release(value.val.mref.lpmref);
      break;
    case xltypeMulti:
      for (int i = 0; i < value.val.array.rows * value.val.array.columns; ++i) {
        ReleaseValue(value.val.array.lparray[i]);
      }
      Release(value.val.array.lparray);
      break;
    default:
      break;
  }
}

int FakeHost::Handle(int xlfn, XLOPER* result, int count, XLOPER* args[]) {
  FakeHost& host = *g_current;
  HostCall call{xlfn, result != nullptr, args == nullptr, {}, {}, {}};
  for (int i = 0; i < count && args; ++i) {
    const CXllValue& arg = *static_cast<const CXllValue*>(args[i]);
    call.args.push_back(args[i]);
    call.types.push_back(arg.xltype);
    call.texts.push_back(arg.ToText());
  }
  host.calls.push_back(call);
  if (xlfn == xlFree) {
    host.ReleaseValue(*args[0]);
    return xlretSuccess;
  }
  auto answer = host.answers.find(xlfn);
  if (result && answer != host.answers.end()) answer->second(host, *result);
  auto failure = host.failures.find(xlfn);
  return failure == host.failures.end() ? xlretSuccess : failure->second;
}

platform::ProgramProcedure FakeHost::Lookup(const char* name) {
  const bool found = g_current && g_current->offers12 && std::strcmp(name, "MdCallBack12") == 0;
  return found ? reinterpret_cast<platform::ProgramProcedure>(&FakeHost::Handle12) : nullptr;
}

int __stdcall FakeHost::Handle12(int xlfn, int count, XLOPER12* args[], XLOPER12* result) {
  FakeHost& host = *g_current;
  HostCall call{xlfn, result != nullptr, args == nullptr, {}, {}, {}, true};
  for (int i = 0; i < count && args; ++i) {
    call.types.push_back(static_cast<uint16_t>(args[i]->xltype));
    call.texts.push_back(static_cast<const CXllValue12*>(args[i])->ToText());
  }
  host.calls.push_back(call);
  if (xlfn == xlFree) {
    if ((args[0]->xltype & 0x0FFF) == xltypeStr) host.Release(args[0]->val.str);
    return xlretSuccess;
  }
  if (!result) return xlretSuccess;
  if (xlfn == xlGetName) {
    XCHAR* counted = static_cast<XCHAR*>(host.Allocate((host.name.size() + 1) * sizeof(XCHAR)));
    for (std::size_t i = 0; i < host.name.size(); ++i) counted[i + 1] = host.name[i];
    counted[0] = static_cast<XCHAR>(host.name.size());
    result->xltype = xltypeStr;
    result->val.str = counted;
  } else if (xlfn == xlfRegister) {
    result->xltype = xltypeNum;
    result->val.num = host.next_id_++;
  }
  return xlretSuccess;
}
