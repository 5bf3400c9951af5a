// The names LibreOffice knows the Calc add-in by.
#pragma once

namespace mensora_calc {

// The service Calc files the function descriptions under, and the implementation's name.
inline constexpr char kServiceName[] = "org.mensora.calc.MensoraFunctions";
inline constexpr char kImplementationName[] = "org.mensora.calc.MensoraAddIn";

}  // namespace mensora_calc
