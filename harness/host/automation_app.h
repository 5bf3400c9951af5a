// The simulated host's automation object model: the application with one workbook, one sheet
// and one range, whose macro runs reach the add-ins the host has loaded.
#pragma once

#include <string>
#include <vector>

#include "harness/host/automation_object.h"
#include "harness/host/call_macro.h"

class SimHost;
class SimApplication;

// The host's error values as automation returns them from a macro (CVErr of the host's codes).
constexpr SCODE kMacroErrorValue = static_cast<SCODE>(0x800A07DFu);  // #VALUE!
constexpr SCODE kMacroErrorName = static_cast<SCODE>(0x800A07E7u);   // #NAME?

// A workbook or a worksheet: "Name", "Parent" (a workbook's application, a sheet's workbook),
// "Application".
class SimNamedObject : public DispatchObject {
 public:
  SimNamedObject(SimApplication* application, DispatchObject* parent, const std::string& name);
  std::string name;

 protected:
  HRESULT Member(std::size_t index, WORD flags, const std::vector<VARIANT>& arguments,
                 const VARIANT* value, VARIANT* result) override;

 private:
  SimApplication* application_;
  DispatchObject* parent_;
};

// A one-cell range: "AddressLocal" (RowAbsolute, ColumnAbsolute, ReferenceStyle, External,
// RelativeTo; absolute and local by default), "Worksheet", "Parent" (both its sheet),
// "Application".
class SimRange : public DispatchObject {
 public:
  SimRange(SimApplication* application, SimNamedObject* sheet, SimNamedObject* workbook, int row,
           int column);
  int row;
  int column;

 protected:
  HRESULT Member(std::size_t index, WORD flags, const std::vector<VARIANT>& arguments,
                 const VARIANT* value, VARIANT* result) override;

 private:
  SimApplication* application_;
  SimNamedObject* sheet_;
  SimNamedObject* workbook_;
};

// The application: "Application" and "Parent" (itself), "ExecuteExcel4Macro", "DisplayAlerts"
// (read and written), "ActiveWorksheet", "Name", and the event properties "OnSheetActivate",
// "OnSheetDeactivate" and "OnCalculate" (macro names, read and written). Its workbook "Book1"
// holds the active sheet "Sheet1", whose range is B3.
//
// ExecuteExcel4Macro runs CALL("file","procedure","j") by calling the procedure (no arguments,
// a 32-bit integer result) of the library the host has attached under that file name, and
// answers its result as a number; a file or procedure it cannot reach gives #VALUE!. The host of
// another process (or an application without a host) runs its CALL macros there: they reach
// nothing here, and it answers 1 as the other process's copy of the library would. Any other
// macro text answers macroAnswer. Every macro run goes into the host's trace.
class SimApplication : public DispatchObject {
 public:
  // A new application of host with one reference for the caller, which releases it with
  // Release. otherProcess: it stands for the host of another process, which host only traces.
  static SimApplication* Create(SimHost* host, bool otherProcess = false);

  SimNamedObject& Workbook() { return workbook_; }
  SimNamedObject& Worksheet() { return sheet_; }
  SimRange& Range() { return range_; }
  // Forgets the calls every object of the model received and the macros run so far.
  void ForgetModelCalls();

  std::string name = "Spreadsheet Host";
  bool displayAlerts = true;
  std::string eventProperties[3];   // OnSheetActivate, OnSheetDeactivate, OnCalculate
  std::vector<std::string> macros;  // every macro text run, in order
  SimValue macroAnswer = SimValue::Error(kMacroErrorName);

 protected:
  HRESULT Member(std::size_t index, WORD flags, const std::vector<VARIANT>& arguments,
                 const VARIANT* value, VARIANT* result) override;

 private:
  SimApplication(SimHost* host, bool otherProcess);
  // Runs one macro text and answers its value.
  HRESULT RunMacro(const std::string& text, VARIANT* result);

  // Runs a CALL macro. Returns the value to answer.
  SimValue RunCall(const CallMacro& call);

  SimHost* host_;
  bool elsewhere_;
  SimNamedObject workbook_;
  SimNamedObject sheet_;
  SimRange range_;
};
