#pragma once
// The checkers of the scan categories, one member each, and the dispatch
// from a category bit to its checker. Checkers keep no state between scans.

namespace RegCheck {

class CActionList;

class CCheckerSet {
 public:
  // Runs the checker of `category`, appending its findings to `results`.
  // A bit with no checker contributes nothing.
  void Scan(int category, CActionList& results);
};

}  // namespace RegCheck
