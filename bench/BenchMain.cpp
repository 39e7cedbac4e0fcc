// varnholt-bench: builds a large registry in its own prefix and measures the
// scan per category against a floor walk that reads the same keys and
// values but checks no paths.
//
//   varnholt-bench build KEYS FILEROOT   write the registry and its files
//   varnholt-bench scan FILEROOT [LABEL [--total-only] [--findings FILE]]
//                                        measure (PATH set to the bench's);
//                                        per category and in total, or only
//                                        the whole scan; the whole scan's
//                                        findings, sorted, go to FILE

#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <string>
#include <vector>

#include "bench/RegeditExport.h"
#include "bench/RegistryBuilder.h"
#include "checkers/FileProbe.h"
#include "engine/RegCallCounter.h"
#include "engine/RegistryAction.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"

using namespace RegCheck;

namespace {

using bench::Now;

struct Figures {
  long keys = 0, values = 0, probes = 0, findings = 0, calls = 0;
  double seconds = 0;
  std::vector<std::string> lines;  // one per finding, sorted
};

Figures Scan(int mask) {
  CActionList results;
  CScanCoordinator& coordinator = GetScanCoordinator();
  coordinator.SetCategories(mask);
  coordinator.SetProgressCallback(nullptr);
  long probesBefore = ProbeCount();
  long callsBefore = RegistryCallCount();
  double start = Now();
  coordinator.Start(&results);
  coordinator.WaitDone();
  Figures f;
  f.seconds = Now() - start;
  f.keys = coordinator.GetKeysVisited();
  f.values = coordinator.GetValuesVisited();
  f.probes = ProbeCount() - probesBefore;
  f.calls = RegistryCallCount() - callsBefore;
  f.findings = results.Count();
  for (CRegistryAction* action : results) {
    std::string description, location;
    action->GetDescription(description);
    action->GetLocation(location);
    f.lines.push_back(std::to_string(action->GetCategory()) + "\t" + description + "\t" + location);
  }
  std::sort(f.lines.begin(), f.lines.end());
  return f;
}

void Row(const char* name, const Figures& memo, const Figures& plain, const Figures& floor) {
  long entries = memo.keys + memo.values;
  double perSecond = memo.seconds > 0 ? entries / memo.seconds : 0;
  printf("%-22s %9ld %9ld %8.2f %10.0f %8.3f %8.3f %8ld %8.2f %8.2f %8.2f\n", name, memo.keys,
         memo.values, memo.seconds, perSecond, entries ? double(memo.probes) / entries : 0.0,
         entries ? double(plain.probes) / entries : 0.0, memo.findings, plain.seconds,
         floor.seconds > 0 ? memo.seconds / floor.seconds : 0.0,
         entries ? double(memo.calls) / entries : 0.0);
  if (memo.lines != plain.lines)
    printf("  !! findings differ with the memo off: %ld\n", plain.findings);
}

bool WriteLines(const std::string& file, const std::vector<std::string>& lines) {
  FILE* out = fopen(file.c_str(), "wb");
  if (!out) return false;
  for (const std::string& line : lines) fprintf(out, "%s\n", line.c_str());
  return fclose(out) == 0;
}

double Rate(long entries, double seconds) { return seconds > 0 ? entries / seconds : 0.0; }

int RunScan(const std::string& fileRoot, const std::string& label, bool totalOnly,
            const std::string& findingsFile) {
  if (!fileRoot.empty()) SetEnvironmentVariableA("PATH", bench::BenchPath(fileRoot).c_str());
  printf("== %s\n", label.c_str());
  printf("%-22s %9s %9s %8s %10s %8s %8s %8s %8s %8s %8s\n", "category", "keys", "values",
         "seconds", "entries/s", "probes/e", "nomemo/e", "findings", "nomemo s", "x floor",
         "calls/e");
  Figures total[3];
  for (const ScanCategory& category : kScanCategories) {
    if (totalOnly) break;
    Figures f[3];
    SetProbeMemoEnabled(true);
    f[0] = Scan(category.bit);
    SetProbeMemoEnabled(false);
    f[1] = Scan(category.bit);
    SetProbeMemoEnabled(true);
    SetFileChecksEnabled(false);
    f[2] = Scan(category.bit);
    SetFileChecksEnabled(true);
    std::string name = category.settingsValue + 3;
    Row(name.c_str(), f[0], f[1], f[2]);
  }
  SetProbeMemoEnabled(true);
  total[0] = Scan(kAllCategories);
  SetProbeMemoEnabled(false);
  total[1] = Scan(kAllCategories);
  SetProbeMemoEnabled(true);
  SetFileChecksEnabled(false);
  total[2] = Scan(kAllCategories);
  SetFileChecksEnabled(true);
  Row("TOTAL (one scan)", total[0], total[1], total[2]);
  const long entries = total[2].keys + total[2].values;
  printf("floor walk seconds: %.2f (%.0f entries/s, %.2f registry calls per entry)\n",
         total[2].seconds, Rate(entries, total[2].seconds),
         entries ? double(total[2].calls) / entries : 0.0);
  bench::ExportFigures exported = bench::MeasureRegeditExport();
  if (exported.ok) {
    printf("regedit /e: %.2f s for %ld keys, %ld values (%.0f entries/s; floor walk %.2fx its rate)\n",
           exported.seconds, exported.keys, exported.values,
           Rate(exported.keys + exported.values, exported.seconds),
           Rate(entries, total[2].seconds) /
               std::max(Rate(exported.keys + exported.values, exported.seconds), 1e-9));
  } else {
    printf("regedit /e: could not be run\n");
  }
  if (!findingsFile.empty() && !WriteLines(findingsFile, total[0].lines))
    printf("could not write %s\n", findingsFile.c_str());
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory)))
    printf("peak working set: %.1f MiB\n", memory.PeakWorkingSetSize / 1048576.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  setvbuf(stdout, nullptr, _IONBF, 0);
  std::string command = argc > 1 ? argv[1] : "";
  int rc = 2;
  if (command == "build" && argc == 4) {
    double start = Now();
    bench::BuildFigures f = bench::BuildRegistry(atol(argv[2]), argv[3]);
    printf("built %ld keys, %ld values (%ld entries naming missing files) in %.1f s\n", f.keys,
           f.values, f.planted_missing, Now() - start);
    rc = 0;
  } else if (command == "scan" && argc >= 3) {
    bool totalOnly = false;
    std::string findingsFile;
    for (int i = 4; i < argc; ++i) {
      std::string option = argv[i];
      if (option == "--total-only") totalOnly = true;
      if (option == "--findings" && i + 1 < argc) findingsFile = argv[++i];
    }
    rc = RunScan(argv[2], argc > 3 ? argv[3] : argv[2], totalOnly, findingsFile);
  } else {
    fprintf(stderr, "usage: varnholt-bench build KEYS FILEROOT | scan FILEROOT|\"\" [LABEL [--total-only] [--findings FILE]]\n");
  }
  CoUninitialize();
  return rc;
}
