// Loading, opening, closing, removing and unloading an add-in in the simulated host.
#include "addin_session.h"

#include <cstring>
#include <utility>

#include "platform/system.h"

namespace {
typedef int(__stdcall* EntryProc)();
typedef XLOPER*(__stdcall* ManagerInfoProc)(XLOPER*);

// The file part of a path written with either kind of separator.
std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

void AddinSession::SetAttachHooks(std::function<void()> attach, std::function<void()> detach) {
  attach_ = std::move(attach);
  detach_ = std::move(detach);
}

bool AddinSession::Load(const std::string& path, const std::string& name, std::string* error) {
  if (module_) {
    if (error) *error = "an add-in is loaded already";
    return false;
  }
  module_ = platform::LoadModule(path.c_str(), error);
  if (!module_) return false;
  const std::string shown = name.empty() ? path : name;
  host_.SetAddinName(shown);
  host_.AttachModule(shown, module_);
  title_ = FileName(shown);
  if (attach_) attach_();
  return true;
}

int AddinSession::Open() {
  auto open = reinterpret_cast<EntryProc>(platform::FindProcedure(module_, "xlAutoOpen"));
  if (!open) {
    host_.RecordAddinCall("xlAutoOpen", {}, "<not exported>");
    return 0;
  }
  const int opened = open();
  host_.RecordAddinCall("xlAutoOpen", {}, std::to_string(opened));

  auto info =
      reinterpret_cast<ManagerInfoProc>(platform::FindProcedure(module_, "xlAddInManagerInfo"));
  if (info) {
    // The question is the host's own value, on its stack, as the real host asks it.
    XLOPER action;
    std::memset(&action, 0, sizeof action);
    action.xltype = xltypeNum;
    action.val.num = 1;
    const HostValue answer = host_.AcceptResult(module_, "xlAddInManagerInfo", {"1"}, info(&action));
    if (answer.type == xltypeStr) title_ = answer.text;
  }
  return opened;
}

int AddinSession::Close() {
  const int answer = CallEntry("xlAutoClose");
  if (module_) host_.DropRegistrations(host_.AddinName());
  return answer;
}

int AddinSession::CallEntry(const char* name) {
  auto entry = reinterpret_cast<EntryProc>(platform::FindProcedure(module_, name));
  if (!entry) return 1;
  const int answer = entry();
  host_.RecordAddinCall(name, {}, std::to_string(answer));
  return answer;
}

void AddinSession::Unload() {
  if (!module_) return;
  if (detach_) detach_();
  host_.DetachModule(module_);
  platform::UnloadModule(module_);
  module_ = nullptr;
}
