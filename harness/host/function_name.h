// Readable names of the host's function numbers, for traces.
#pragma once

#include <string>

// The host's name of the function number ("xlfRegister", "xlcEcho"), or "fn<number>" for a
// number this host does not know.
std::string FunctionName(int xlfn);
