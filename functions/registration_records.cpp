// How the seven worksheet functions present themselves to the host: names, argument help, category.
#include "xll/registration_record.h"

// The registrars below push their records in the order they are defined, so the list reads from
// GasConst back to Mensora. They all live in this one file because only within one file is the
// order of static construction fixed.
//
// Each argument help literal spells its final "\0" so that, with the literal's own NUL, the run
// of texts ends in an empty text.

namespace {

// Every function is a worksheet function in the category "Mensora", with no shortcut and no help
// topic, called by formulas under the name it is exported as. A host of version 12 or later calls
// the export of the same name with "12" after it, which takes wide texts (D%), answers a version
// 12 value (Q) and is thread-safe ($).
constexpr RegistrationRecord WorksheetRecord(const char* name, const char* typeText,
                                             const char* argumentText, const char* functionHelp,
                                             const char* argumentHelp, const char* procedure12,
                                             const char* typeText12) {
  return {nullptr, name, typeText, name, argumentText, 1, "Mensora", "", 0, functionHelp,
          argumentHelp, procedure12, typeText12};
}

RegistrationRecord MensoraRecord = WorksheetRecord(
    "Mensora", "RBCC", "Val,InUnits,OutUnits",
    "Change Val from InUnits to OutUnits",
    "= Input value expressed in InUnits (number)\0"
    "= The units of Val (text)\0"
    "= The units to output (text).\0",
    "Mensora12", "QBD%D%$");
RecordRegistrar MensoraRegistrar(&MensoraRecord);

RegistrationRecord ToMetricRecord = WorksheetRecord(
    "ToMetric", "RBC", "Val,InUnits",
    "Change Val from InUnits to standard metric MKS units",
    "= Input value expressed in InUnits (number)\0"
    "= The units of Val (text).\0",
    "ToMetric12", "QBD%$");
RecordRegistrar ToMetricRegistrar(&ToMetricRecord);

RegistrationRecord FromMetricRecord = WorksheetRecord(
    "FromMetric", "RBC", "Val,OutUnits",
    "Change Val from standard metric MKS units to OutUnits",
    "= Input value expressed in MKS units (number)\0"
    "= The units to output (text).\0",
    "FromMetric12", "QBD%$");
RecordRegistrar FromMetricRegistrar(&FromMetricRecord);

RegistrationRecord ShowMetricRecord = WorksheetRecord(
    "ShowMetric", "RC", "InUnits",
    "Show the standard metric MKS units equivalent to InUnits",
    "= Input units (text).\0",
    "ShowMetric12", "QD%$");
RecordRegistrar ShowMetricRegistrar(&ShowMetricRecord);

RegistrationRecord ShowCommonMetricRecord = WorksheetRecord(
    "ShowCommonMetric", "RC", "InUnits",
    "Show the standard metric MKS units equivalent to InUnits except for several common units:"
    "   J, N,  W, Pa, etc.",
    "= Input units (text).\0",
    "ShowCommonMetric12", "QD%$");
RecordRegistrar ShowCommonMetricRegistrar(&ShowCommonMetricRecord);

RegistrationRecord GravRecord = WorksheetRecord(
    "Grav", "R", "",
    "Returns 9.80665 m/s^2, the gravitational constant",
    "",
    "Grav12", "Q$");
RecordRegistrar GravRegistrar(&GravRecord);

RegistrationRecord GasConstRecord = WorksheetRecord(
    "GasConst", "R", "",
    "Returns 8.31446261815324 J / mol / degK, the universal gas constant",
    "",
    "GasConst12", "Q$");
RecordRegistrar GasConstRegistrar(&GasConstRecord);

}  // namespace
