// The Windows module calls, on LoadLibraryA, GetProcAddress and FreeLibrary.
#include "harness/platform/module.h"

#include "platform/system.h"

namespace {

// The system's text for error code, without its closing line break, and the code itself.
std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message(text ? text : "", length);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  if (message.empty()) message = "cannot load the library";
  return message + " (error " + std::to_string(code) + ")";
}

}  // namespace

platform::Module* platform::LoadModule(const char* path, std::string* error) {
  // This program itself is loaded by its own file name, so that UnloadModule can release it
  // like any other module.
  char self[MAX_PATH];
  if (path == nullptr || *path == '\0') {
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length == sizeof self) {
      if (error) *error = SystemMessage(GetLastError());
      return nullptr;
    }
    path = self;
  }
  HMODULE handle = LoadLibraryA(path);
  if (!handle && error) *error = std::string(path) + ": " + SystemMessage(GetLastError());
  return reinterpret_cast<Module*>(handle);
}

platform::Procedure platform::FindProcedure(Module* module, const char* name) {
  if (!module || !name) return nullptr;
  FARPROC address = GetProcAddress(reinterpret_cast<HMODULE>(module), name);
  // Through the generic function pointer type, which tells the compiler the cast is meant.
  return reinterpret_cast<Procedure>(reinterpret_cast<void (*)()>(address));
}

void platform::UnloadModule(Module* module) {
  if (module) FreeLibrary(reinterpret_cast<HMODULE>(module));
}

bool platform::LoaderRunsEntryPoint() { return true; }
