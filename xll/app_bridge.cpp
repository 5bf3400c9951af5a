// The application object's side of the automation bridge: starting it, stopping it, and running
// event macros through it. No bridge is built into the add-in yet, so none can be started and no
// event macro can run; these three bodies are where it plugs in.
#include "xll/app.h"

int CXllApp::StartCom(std::string& message, long& code) {
  message = "automation bridge not available";
  code = 0;
  com = nullptr;
  return 0;
}

void CXllApp::StopCom() {
  // StartCom never makes a bridge, so there is none to terminate.
  com = nullptr;
}

int CXllApp::ExecuteEventMacro(const std::string&, int, const char*,
                               std::initializer_list<EventArgument>) {
  // Without a bridge the macro cannot be run, which counts as a failed run.
  return 0;
}
