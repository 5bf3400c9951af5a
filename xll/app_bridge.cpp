// The application object's side of the automation bridge: starting it, stopping it, and running
// event macros through it with the host objects of the event named as texts.
#include <memory>

#include "com/automation_value.h"
#include "com/host_objects.h"
#include "com/xll_com.h"
#include "xll/app.h"
#include "xll/format.h"

namespace {

// The text one event argument contributes to the macro call; "" when its query fails.
std::string ArgumentText(char letter, const EventArgument& argument) {
  std::string text;
  switch (letter) {
    case 'B': {
      std::string name;
      if (SUCCEEDED(GetWorkbookName(argument.object, name)))
        text = FormatText("\"%s\"", name.c_str());
      break;
    }
    case 'S': {
      std::string sheet_name;
      std::string workbook_name;
      IDispatch* workbook = nullptr;
      if (SUCCEEDED(GetSheetName(argument.object, sheet_name)) &&
          SUCCEEDED(GetParent(argument.object, &workbook)) &&
          SUCCEEDED(GetWorkbookName(workbook, workbook_name))) {
        text = FormatText("\"[%s]%s\"", workbook_name.c_str(), sheet_name.c_str());
      }
      if (workbook) workbook->Release();
      break;
    }
    case 'R': {
      std::string address;
      if (SUCCEEDED(GetRangeAddress(argument.object, address, 0))) {
        text = FormatText("\"%s\"", address.c_str());
      }
      break;
    }
    default: text = argument.truth ? "TRUE" : "FALSE"; break;
  }
  return text;
}

bool TakesArgument(char letter) {
  return letter == 'B' || letter == 'S' || letter == 'R' || letter == 'F';
}

}  // namespace

int CXllApp::StartCom(std::string& message, long& code) {
  message.clear();
  code = 0;
  // A bridge that fails to start is deleted again; one that already runs stays where it is.
  std::unique_ptr<CXllCom> bridge(new CXllCom);
  if (!bridge->Init(message, code)) return 0;
  StopCom();
  com = bridge.release();
  return 1;
}

void CXllApp::StopCom() {
  if (!com) return;
  com->Term();
  delete com;
  com = nullptr;
}

void CXllApp::AbandonCom() {
  if (!com) return;
  com->Abandon();
  delete com;
  com = nullptr;
}

int CXllApp::ExecuteEventMacro(const std::string& macro, int wantsResult, const char* letters,
                               std::initializer_list<EventArgument> arguments) {
  if (!com) return 0;
  std::string list;
  auto next = arguments.begin();
  for (const char* letter = letters; letter && *letter; ++letter) {
    if (!TakesArgument(*letter)) continue;
    // An event that passes fewer arguments than its letters name passes nothing for the rest.
    const EventArgument argument =
        next != arguments.end() ? *next++ : EventArgument::Object(nullptr);
    const std::string piece = ArgumentText(*letter, argument);
    if (!list.empty()) list += ",";
    list += piece;
  }

  VARIANT result;
  VariantInit(&result);
  const HRESULT code =
      com->ExecuteMacroWithoutAlerts(FormatText("%s(%s)", macro.c_str(), list.c_str()), &result);
  int truth = 0;
  if (FAILED(code) || !wantsResult || FAILED(TakeTruth(&result, &truth))) {
    VariantClear(&result);
    return 0;
  }
  return truth;
}
