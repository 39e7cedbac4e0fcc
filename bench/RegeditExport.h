#pragma once
// The platform's own registry export as a yardstick for the scan: runs
// `regedit /e` over the whole registry and counts what it wrote, keys and
// values counted as the scan counts its entries.

namespace bench {

struct ExportFigures {
  long keys = 0;
  long values = 0;
  double seconds = 0;  // with regedit's process start
  bool ok = false;
};

ExportFigures MeasureRegeditExport();

// Seconds on the performance counter, for timing one stretch against another.
double Now();

}  // namespace bench
