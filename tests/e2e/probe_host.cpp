// Loads the probe add-in beside the stand-in XLCall32.dll and checks that its calls reach the
// handler installed here, with arguments and results intact. Exits 0 when every check passes.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/host_entry.h"
#include "harness/platform/module.h"
#include "xll/host_api.h"

namespace {

struct Call {
  int xlfn;
  int count;
  double first;
};
std::vector<Call> g_calls;

// Answers every function with twice its first argument; records what it was asked.
int DoublingHost(int xlfn, XLOPER* result, int count, XLOPER* args[]) {
  bool number = count > 0 && (args[0]->xltype & ~xlbitXLFree) == xltypeNum;
  double first = number ? args[0]->val.num : 0.0;
  g_calls.push_back({xlfn, count, first});
  if (result && xlfn != xlFree) {
    result->val.num = 2 * first;
    result->xltype = xltypeNum | xlbitXLFree;
  }
  return xlretSuccess;
}

int g_failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
  if (!ok) ++g_failures;
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "probe_addin.dll";
  std::string error;
  Check(platform::LoadModule("probe_absent.dll", &error) == nullptr && !error.empty(),
        "a missing library is refused with a reason");
  std::printf("  (%s)\n", error.c_str());
  platform::Module* self = platform::LoadModule(nullptr, &error);
  Check(self != nullptr, "the program can load itself");
  Check(platform::FindProcedure(self, "ProbeRoundTrip") == nullptr, "an absent name is not found");
  platform::UnloadModule(self);

  platform::Module* addin = platform::LoadModule(path, &error);
  Check(addin != nullptr, "the add-in loads with its XLCall32.dll imports resolved");
  if (!addin) return 1;
  typedef double(__stdcall * RoundTrip)(double, int);
  auto round_trip =
      reinterpret_cast<RoundTrip>(platform::FindProcedure(addin, "ProbeRoundTrip"));
  Check(round_trip != nullptr, "ProbeRoundTrip is exported under its plain name");
  Check(platform::FindProcedure(addin, "ProbeRoundTrip@12") == nullptr,
        "no decorated export name");
  if (!round_trip) return 1;

  Check(round_trip(1.5, xlfGetWorkspace) == -1.0, "without a host the call fails");

  Check(platform::InstallHost(DoublingHost) == nullptr, "no host was installed before");
  double answer = round_trip(21.25, xlfGetWorkspace);
  Check(answer == 42.5, "Excel4v reaches the host and its answer comes back");
  Check(g_calls.size() == 2, "two host calls: the question and the release");
  if (g_calls.size() == 2) {
    Check(g_calls[0].xlfn == xlfGetWorkspace && g_calls[0].count == 1 && g_calls[0].first == 21.25,
          "Excel4v passes function number, count and argument");
    Check(g_calls[1].xlfn == xlFree && g_calls[1].count == 1 && g_calls[1].first == 42.5,
          "Excel4 passes its variable arguments on to the host");
  }
  Check(platform::InstallHost(nullptr) == DoublingHost, "the installed host is handed back");
  Check(round_trip(1.5, xlfGetWorkspace) == -1.0, "after uninstalling the call fails again");

  platform::UnloadModule(addin);
  std::printf("%d failed\n", g_failures);
  return g_failures == 0 ? 0 : 1;
}
