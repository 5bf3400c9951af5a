// CAddInApp: the Mensora add-in's application object.
#pragma once

#include "xll/app.h"

// The add-in's own application: the framework's behaviour throughout, except that at attach it
// takes the add-in's title and makes one function per registration record. The library has one
// static instance; a test may make its own, which GetApp then returns while it lives.
class CAddInApp : public CXllApp {
 public:
  // Runs the framework's attach, sets title to "Mensora" and loads the registration records.
  // Returns the framework's answer (1).
  int OnAttach() override;
};
