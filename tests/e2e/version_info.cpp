// Prints the version resource of each file named on the command line as Windows reads it for
// the file's properties: a line "fixed: file A.B.C.D, product A.B.C.D, type N" (N is 1 for a
// program, 2 for a library), then each text of the US English table as a line "Name=Value". Exits 1 when a file has no resource.
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

const char* const kTexts[] = {"CompanyName",      "FileDescription", "FileVersion",
                              "InternalName",     "LegalCopyright",  "OriginalFilename",
                              "ProductName",      "ProductVersion"};

bool PrintVersionInfo(const char* path) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return false;
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path, 0, size, data.data())) return false;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  const unsigned parts[] = {HIWORD(fixed->dwFileVersionMS),    LOWORD(fixed->dwFileVersionMS),
                            HIWORD(fixed->dwFileVersionLS),    LOWORD(fixed->dwFileVersionLS),
                            HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                            HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)};
  std::printf("fixed: file %u.%u.%u.%u, product %u.%u.%u.%u, type %lu\n", parts[0], parts[1],
              parts[2], parts[3], parts[4], parts[5], parts[6], parts[7], fixed->dwFileType);
  for (const char* name : kTexts) {
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\040904B0\\%s", name);
    char* text = nullptr;
    if (VerQueryValueA(data.data(), query, reinterpret_cast<void**>(&text), &length)) {
      std::printf("%s=%s\n", name, text);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    if (!PrintVersionInfo(argv[i])) {
      std::fprintf(stderr, "%s: no version resource\n", argv[i]);
      status = 1;
    }
  }
  return status;
}
