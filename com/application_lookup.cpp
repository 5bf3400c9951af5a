// Finding the host application object of this process: candidates from the active object and
// the running object table, each asked for its "Application" and probed with a macro that calls
// back into this add-in's own file.
#include "com/automation_value.h"
#include "com/dispatch_call.h"
#include "com/xll_com.h"
#include "xll/cell_value.h"
#include "xll/format.h"
#include "xll/host_call.h"

namespace {

// An HRESULT as "%lx" shows it on Windows: its 32 bits in lower-case hexadecimal.
unsigned long HexCode(HRESULT code) {
  return static_cast<unsigned long>(static_cast<uint32_t>(code));
}

// The application object a candidate belongs to, with one reference; nullptr when the
// candidate has no "Application" or it is not an object.
IDispatch* ApplicationOf(IDispatch* candidate) {
  VARIANT value;
  VariantInit(&value);
  if (SUCCEEDED(GetProperty(candidate, L"Application", nullptr, &value)) &&
      value.vt == VT_DISPATCH && value.pdispVal) {
    return value.pdispVal;  // the reference passes to the caller
  }
  VariantClear(&value);
  return nullptr;
}

// The active object of the host's class as a first candidate (with one reference), or nullptr
// with status and message telling why not.
IDispatch* ActiveCandidate(const char* progId, std::string& message, long& status) {
  IDispatch* candidate = nullptr;
  IUnknown* active = nullptr;
  BSTR wide = TextToBstr(progId);
  CLSID clsid;
  status = CLSIDFromProgID(wide, &clsid);
  if (FAILED(status)) {
    message =
        FormatText("CLSIDFromProgID(\"%s\", ...) failed with error %lx", progId, HexCode(status));
  } else {
    status = GetActiveObject(clsid, nullptr, &active);
    if (FAILED(status)) {
      message =
          FormatText("GetActiveObject(\"%s\") failed with error %lx", progId, HexCode(status));
    }
  }
  SysFreeString(wide);
  if (status >= 0 && active) {
    status = active->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&candidate));
    if (FAILED(status)) {
      message = FormatText("QueryInterface(IID_IDispatch) failed with error %lx", HexCode(status));
      candidate = nullptr;
    }
  }
  if (active) active->Release();
  return candidate;
}

// The interfaces a walk of the running object table holds, released together.
struct TableWalk {
  IBindCtx* context = nullptr;
  IRunningObjectTable* table = nullptr;
  IEnumMoniker* monikers = nullptr;
  IMoniker* moniker = nullptr;

  // Opens the table for enumeration. Returns 1, or 0 with the failing step's message; status is
  // each step's code.
  int Open(std::string& message, long& status) {
    status = CreateBindCtx(0, &context);
    if (status != S_OK) {
      message = FormatText("CreateBindCtx() failed with error %lx", HexCode(status));
      return 0;
    }
    status = context->GetRunningObjectTable(&table);
    if (status != S_OK) {
      message = FormatText("GetRunningObjectTable() failed with error %lx", HexCode(status));
      return 0;
    }
    status = table->EnumRunning(&monikers);
    if (status != S_OK) {
      message = FormatText("EnumRunning() failed with error %lx", HexCode(status));
      return 0;
    }
    status = monikers->Reset();
    if (status != S_OK) {
      message = FormatText("Reset() failed with error %lx", HexCode(status));
      return 0;
    }
    return 1;
  }

  // The next entry that binds to IDispatch, with one reference; nullptr when the table ran out
  // (status S_FALSE) or the enumerator failed (status its code).
  IDispatch* Next(long& status) {
    for (;;) {
      status = monikers->Next(1, &moniker, nullptr);
      if (status != S_OK) {
        moniker = nullptr;
        return nullptr;
      }
      IDispatch* bound = nullptr;
      const HRESULT code =
          moniker->BindToObject(context, nullptr, IID_IDispatch, reinterpret_cast<void**>(&bound));
      moniker->Release();
      moniker = nullptr;
      if (SUCCEEDED(code) && bound) return bound;
    }
  }

  ~TableWalk() {
    if (table) table->Release();
    if (moniker) moniker->Release();
    if (monikers) monikers->Release();
    if (context) context->Release();
  }
};

}  // namespace

int CXllCom::ProbeInstance(IDispatch* candidate) {
  CXllValue file;
  if (CallHost(file, xlGetName) != xlretSuccess) return probeAnswered;
  VARIANT text = TextVariant(
      FormatText("CALL(\"%s\",\"%s\",\"j\")", file.ToText().c_str(), kCheckInstanceName));
  // The macro runs in the process that owns the candidate; only when that is this one does
  // xlCheckInstance see the armed bridge and answer.
  probeArmed = 1;
  ExecuteMacro(candidate, &text);
  probeArmed = 0;
  VariantClear(&text);
  return probeAnswered;
}

int CXllCom::FindApplication(std::string& message, long& status) {
  status = 0;
  message.clear();
  const char* prog_id = HostVersion() > 7.0 ? "Excel.Application" : "Excel.Application.5";
  IDispatch* candidate = ActiveCandidate(prog_id, message, status);

  // Whatever came of the active object, the running object table is searched too, and an
  // earlier message stays even when the application is found there.
  status = 0;
  TableWalk walk;
  bool opened = false;
  for (;;) {
    if (candidate) {
      IDispatch* found = ApplicationOf(candidate);
      candidate->Release();
      candidate = nullptr;
      if (found) {
        if (ProbeInstance(found)) {
          application = found;
          break;
        }
        found->Release();
      }
    }
    if (!opened) {
      opened = true;
      if (!walk.Open(message, status)) break;
    }
    // An enumerator error, like the end of the table, ends the search.
    candidate = walk.Next(status);
    if (!candidate) break;
  }

  if (message.empty() && !application) message = "Failed to find running application";
  return application ? 1 : 0;
}
