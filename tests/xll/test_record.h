// Registration records made up by tests, and a fake host that registers them.
#pragma once

#include <string>
#include <vector>

#include "fake_host.h"
#include "xll/registration_record.h"

// A record that owns its texts: a function of type "RBC" in the category given, whose procedure
// and function text are both name. Not copyable: record() points into the object.
class TestRecord {
 public:
  TestRecord(std::string name, std::string argumentText, std::vector<std::string> helps,
             std::string category = "Mensora");
  TestRecord(const TestRecord&) = delete;
  TestRecord& operator=(const TestRecord&) = delete;

  RegistrationRecord& record() { return record_; }

 private:
  std::string name_;
  std::string argumentText_;
  std::string category_;
  std::string helpRun_;  // each help and its NUL, then the empty text
  RegistrationRecord record_;
};

// Makes host answer every xlfRegister with a new id: 1, 2, 3 and so on.
void AnswerRegisterWithIds(FakeHost& host);
