// Registration records made up by tests, and a fake host that registers them.
#include "test_record.h"

#include <utility>

TestRecord::TestRecord(std::string name, std::string argumentText,
                       std::vector<std::string> helps, std::string category)
    : name_(std::move(name)), argumentText_(std::move(argumentText)),
      category_(std::move(category)) {
  for (const std::string& help : helps) helpRun_ += help + '\0';
  // c_str() adds the NUL that ends the run with an empty text.
  record_ = RegistrationRecord{nullptr, name_.c_str(), "RBC", name_.c_str(),
                               argumentText_.c_str(), 1, category_.c_str(), "", 0,
                               "Converts a value", helpRun_.c_str()};
}

void AnswerRegisterWithIds(FakeHost& host) {
  host.answers[xlfRegister] = [next = 1.0](FakeHost&, XLOPER& result) mutable {
    result.xltype = xltypeNum;
    result.val.num = next++;
  };
}
