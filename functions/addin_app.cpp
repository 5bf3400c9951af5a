// CAddInApp: the add-in's title and functions, and the one application object of the library.
#include "functions/addin_app.h"

namespace {

// The name the add-in manager shows.
constexpr char kTitle[] = "Mensora";

// Nothing in its construction touches the registration records, which are linked by their own
// static constructors: in whichever order the two run, both are done before the library entry
// point makes the functions at attach.
CAddInApp g_addin_app;

}  // namespace

int CAddInApp::OnAttach() {
  const int attached = CXllApp::OnAttach();
  title = kTitle;
  LoadRegistrationRecords();
  return attached;
}
