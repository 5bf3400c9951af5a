// Writes the extension's description of the seven functions for Calc's function wizard
// (CalcAddIns.xcu), from the texts the Windows add-in registers, so that both say the same.
#include <cstdio>
#include <fstream>
#include <string>

#include "calc/addin_names.h"
#include "functions/function_help.h"

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// One property with an English value (or, without a language, one for every locale).
std::string Property(const std::string& indent, const char* name, const std::string& value,
                     bool english = true) {
  return indent + "<prop oor:name=\"" + name + "\">" + (english ? "<value xml:lang=\"en-US\">"
                                                                : "<value>") +
         Escaped(value) + "</value></prop>\n";
}

std::string FunctionNode(const FunctionHelp& function) {
  const std::string name = function.name;
  std::string node = "      <node oor:name=\"" + name + "\" oor:op=\"replace\">\n";
  const std::string in = "        ";
  node += Property(in, "DisplayName", name);
  node += Property(in, "Description", function.functionHelp);
  node += Property(in, "Category", kFunctionCategory, false);
  node += Property(in, "CategoryDisplayName", kFunctionCategory);
  // The name other spreadsheets' files use: the Windows host's workbooks call it by the same.
  node += Property(in, "CompatibilityName", name);
  node += in + "<node oor:name=\"Parameters\">\n";
  for (std::size_t i = 0; i < ArgumentCount(function); ++i) {
    const std::string argument = ArgumentName(function, i);
    node += in + "  <node oor:name=\"" + argument + "\" oor:op=\"replace\">\n";
    node += Property(in + "    ", "DisplayName", argument);
    node += Property(in + "    ", "Description", ArgumentHelp(function, i));
    node += in + "  </node>\n";
  }
  node += in + "</node>\n";
  return node + "      </node>\n";
}

}  // namespace

// mensora_calc_config FILE: writes the description to FILE. Exits 1 when it cannot be written.
int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mensora_calc_config FILE\n");
    return 2;
  }
  std::string xcu =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<oor:component-data xmlns:oor=\"http://openoffice.org/2001/registry\"\n"
      "    xmlns:xs=\"http://www.w3.org/2001/XMLSchema\"\n"
      "    oor:name=\"CalcAddIns\" oor:package=\"org.openoffice.Office\">\n"
      "  <node oor:name=\"AddInInfo\">\n"
      "    <node oor:name=\"" + std::string(mensora_calc::kServiceName) +
      "\" oor:op=\"replace\">\n"
      "     <node oor:name=\"AddInFunctions\">\n";
  for (const FunctionHelp& function : kFunctionHelps) xcu += FunctionNode(function);
  xcu += "     </node>\n    </node>\n  </node>\n</oor:component-data>\n";
  std::ofstream file(argv[1], std::ios::binary);
  file << xcu;
  file.close();
  if (!file) {
    std::fprintf(stderr, "mensora_calc_config: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
