#pragma once
// Builds a large, realistic registry in the benchmark's own Wine prefix:
// COM classes sharing a few hundred server DLLs, ProgIDs, type libraries,
// installer components, uninstall entries, services, fonts, help files,
// start values and MRU records, with a known share naming missing files.

#include <string>

namespace bench {

struct BuildFigures {
  long keys = 0;
  long values = 0;
  long planted_missing = 0;  // entries built to name a missing file
};

// Writes about `targetKeys` keys below the real roots and the files they
// name below `fileRoot` (e.g. "C:\\VhBench"). Returns what was written.
BuildFigures BuildRegistry(long targetKeys, const std::string& fileRoot);

// The PATH the scans run with: 12 folders below `fileRoot` and the system's.
std::string BenchPath(const std::string& fileRoot);

}  // namespace bench
