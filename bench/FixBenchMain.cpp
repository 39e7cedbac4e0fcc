// varnholt-fixbench: measures the fix run, the part of cleaning that writes.
// Each fix snapshots its entry, appends it to the recovery journal and makes
// the journal durable before deleting, so the disk sets the pace.
//
//   varnholt-fixbench COUNT FOLDER   plant COUNT stale shared DLL entries,
//                                    scan them, fix them all with the backup
//                                    folder and cleaning log under FOLDER
//
// Run it in a throwaway prefix (scripts/run-fixbench): it writes to the
// machine's own SharedDlls key.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "engine/FixRun.h"
#include "engine/RegistryAction.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"

using namespace RegCheck;

namespace {

constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool Plant(long count, const std::string& folder) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = true;
  const DWORD one = 1;
  for (long i = 0; i < count && ok; ++i) {
    const std::string name = folder + "\\gone\\fix" + std::to_string(i) + ".dll";
    ok = RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                        sizeof one) == ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc != 3 || atol(argv[1]) <= 0) {
    fprintf(stderr, "usage: varnholt-fixbench COUNT FOLDER\n");
    return 2;
  }
  const long count = atol(argv[1]);
  const std::string folder = argv[2];
  CreateDirectoryA(folder.c_str(), nullptr);
  if (!Plant(count, folder)) {
    fprintf(stderr, "cannot write %s\n", kSharedDlls);
    return 1;
  }

  CActionList results;
  CScanCoordinator& coordinator = GetScanCoordinator();
  coordinator.SetCategories(kCatSharedDll);
  coordinator.Start(&results);
  coordinator.WaitDone();

  int selected = 0;
  FixOutcome outcome;
  double fixSeconds = 0;
  const double start = Now();
  {
    // The program's manager would write beside the benchmark's own file.
    CBackupManager manager(folder + "\\Backup");
    SetBackupManagerForTesting(&manager);
    CCleaningLog::SetPathForTesting(folder + "\\reg_clean.log");
    selected = results.SelectedCount();
    outcome = RunFixSelected(results, "bench", nullptr);
    fixSeconds = Now() - start;
    SetBackupManagerForTesting(nullptr);
  }
  const double closeSeconds = Now() - start - fixSeconds;
  const int fixed = outcome.fixed ? outcome.fixed : 1;
  printf("fix run: %d selected, %d fixed in %.2f s: %.0f fixes/s, %.2f ms per fix; "
         "session file written in %.2f s\n",
         selected, outcome.fixed, fixSeconds, outcome.fixed / fixSeconds,
         1000.0 * fixSeconds / fixed, closeSeconds);
  return outcome.fixed == selected && selected == count ? 0 : 1;
}
