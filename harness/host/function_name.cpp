// The names of the function numbers the simulated host answers.
#include "function_name.h"

#include "xll/host_api.h"

namespace {
struct NamedFunction {
  int number;
  const char* name;
};

constexpr NamedFunction kNames[] = {
    {xlFree, "xlFree"},           {xlCoerce, "xlCoerce"},
    {xlGetName, "xlGetName"},     {xlfSetName, "xlfSetName"},
    {xlfRegister, "xlfRegister"}, {xlfGetWorkspace, "xlfGetWorkspace"},
    {xlfUnregister, "xlfUnregister"}, {xlcClose, "xlcClose"},
    {xlcAlert, "xlcAlert"},       {xlcNew, "xlcNew"},
    {xlcEcho, "xlcEcho"},
};
}  // namespace

std::string FunctionName(int xlfn) {
  for (const NamedFunction& entry : kNames) {
    if (entry.number == xlfn) return entry.name;
  }
  return "fn" + std::to_string(xlfn);
}
