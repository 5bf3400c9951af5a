// How the seven worksheet functions present themselves to the host: names, argument help, category.
#include "functions/function_help.h"
#include "xll/registration_record.h"

// The registrars below push their records in the order they are defined, so the list reads from
// GasConst back to Mensora. They all live in this one file because only within one file is the
// order of static construction fixed.

namespace {

// Every function is a worksheet function in the category "Mensora", with no shortcut and no help
// topic, called by formulas under the name it is exported as. Built from constant data, each
// record is ready before any registrar links it.
constexpr RegistrationRecord WorksheetRecord(const FunctionHelp& help, const char* typeText) {
  return {nullptr, help.name, typeText, help.name, help.argumentText, 1, kFunctionCategory, "",
          0, help.functionHelp, help.argumentHelp};
}

RegistrationRecord MensoraRecord = WorksheetRecord(kMensoraHelp, "RBCC");
RecordRegistrar MensoraRegistrar(&MensoraRecord);

RegistrationRecord ToMetricRecord = WorksheetRecord(kToMetricHelp, "RBC");
RecordRegistrar ToMetricRegistrar(&ToMetricRecord);

RegistrationRecord FromMetricRecord = WorksheetRecord(kFromMetricHelp, "RBC");
RecordRegistrar FromMetricRegistrar(&FromMetricRecord);

RegistrationRecord ShowMetricRecord = WorksheetRecord(kShowMetricHelp, "RC");
RecordRegistrar ShowMetricRegistrar(&ShowMetricRecord);

RegistrationRecord ShowCommonMetricRecord = WorksheetRecord(kShowCommonMetricHelp, "RC");
RecordRegistrar ShowCommonMetricRegistrar(&ShowCommonMetricRecord);

RegistrationRecord GravRecord = WorksheetRecord(kGravHelp, "R");
RecordRegistrar GravRegistrar(&GravRecord);

RegistrationRecord GasConstRecord = WorksheetRecord(kGasConstHelp, "R");
RecordRegistrar GasConstRegistrar(&GasConstRecord);

}  // namespace
