// The program's command line as UTF-8, whatever the system's code page.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The arguments of main as UTF-8: natively argv as it stands (the system's texts are UTF-8); on
// Windows the wide command line, where argv holds them in the ANSI code page and a character the
// code page lacks is lost. Falls back to argv when the system cannot say.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace platform
