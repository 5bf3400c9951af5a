// How the seven worksheet functions present themselves to the host: names, argument help, category.
#include "functions/function_help.h"
#include "xll/registration_record.h"

// The registrars below push their records in the order they are defined, so the list reads from
// GasConst back to Mensora. They all live in this one file because only within one file is the
// order of static construction fixed.

namespace {

// Every function is a worksheet function in the category "Mensora", with no shortcut and no help
// topic, called by formulas under the name it is exported as. Built from constant data, each
// record is ready before any registrar links it. A host of version 12 or later calls the export
// of the same name with "12" after it, which takes wide texts (D%), answers a version 12 value
// (Q) and is thread-safe ($).
constexpr RegistrationRecord WorksheetRecord(const FunctionHelp& help, const char* typeText,
                                             const char* procedure12, const char* typeText12) {
  return {nullptr, help.name, typeText, help.name, help.argumentText, 1, kFunctionCategory, "",
          0, help.functionHelp, help.argumentHelp, procedure12, typeText12};
}

RegistrationRecord MensoraRecord = WorksheetRecord(kMensoraHelp, "RBCC", "Mensora12", "QBD%D%$");
RecordRegistrar MensoraRegistrar(&MensoraRecord);

RegistrationRecord ToMetricRecord = WorksheetRecord(kToMetricHelp, "RBC", "ToMetric12", "QBD%$");
RecordRegistrar ToMetricRegistrar(&ToMetricRecord);

RegistrationRecord FromMetricRecord =
    WorksheetRecord(kFromMetricHelp, "RBC", "FromMetric12", "QBD%$");
RecordRegistrar FromMetricRegistrar(&FromMetricRecord);

RegistrationRecord ShowMetricRecord =
    WorksheetRecord(kShowMetricHelp, "RC", "ShowMetric12", "QD%$");
RecordRegistrar ShowMetricRegistrar(&ShowMetricRecord);

RegistrationRecord ShowCommonMetricRecord =
    WorksheetRecord(kShowCommonMetricHelp, "RC", "ShowCommonMetric12", "QD%$");
RecordRegistrar ShowCommonMetricRegistrar(&ShowCommonMetricRecord);

RegistrationRecord GravRecord = WorksheetRecord(kGravHelp, "R", "Grav12", "Q$");
RecordRegistrar GravRegistrar(&GravRecord);

RegistrationRecord GasConstRecord = WorksheetRecord(kGasConstHelp, "R", "GasConst12", "Q$");
RecordRegistrar GasConstRegistrar(&GasConstRecord);

}  // namespace
