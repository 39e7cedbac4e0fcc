#pragma once
// What one scan's checkers and walks share: the cancel request, the visit
// counters the progress display reads, the registry view whose path rules
// hold, and the existence answers remembered so far. Whoever runs a walk
// owns one (the scan coordinator for a scan, each tool for its listing), so
// a cancel or a count never leaks from one owner into another's work.

#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/RegView.h"

namespace RegCheck {

// Implemented by the progress display; both calls arrive on the scan thread.
class IRegProgressCallback {
 public:
  // `category` is a category bit, or 0 for the scan as a whole; `begin` is 1
  // when the stage starts and 0 when it ends.
  virtual void OnStage(int category, int begin) = 0;
  // Something was visited; read the counters through the context's owner.
  virtual void OnProgress() = 0;

 protected:
  ~IRegProgressCallback() = default;
};

class CScanContext {
 public:
  CScanContext() = default;
  // A context whose work also stops while `owner`'s cancel is pending, for
  // work done on another thread on behalf of `owner`'s.
  explicit CScanContext(const CScanContext* owner) : owner_(owner) {}
  CScanContext(const CScanContext&) = delete;
  CScanContext& operator=(const CScanContext&) = delete;

  // A pending cancel ends every walk at its next step and makes every file
  // check answer "found" at once. It stays until cleared; any thread may set
  // it.
  void Cancel() { cancelled_ = true; }
  void ClearCancel() { cancelled_ = false; }
  bool IsCancelled() const { return cancelled_ || (owner_ && owner_->IsCancelled()); }

  // Called by the walks for each key and value they visit; each visit is
  // passed on to the progress callback, if any.
  void SetProgressCallback(IRegProgressCallback* callback) { callback_ = callback; }
  void OnKeyVisited(const std::string& keyText);
  void OnValueVisited(const std::string& keyText);
  // Sets both counters to 0.
  void ResetCounters();
  // Counts visits made in another context as this one's; the progress
  // callback hears of them once.
  void AddVisits(int keys, int values);
  int GetKeysVisited() const { return keysVisited_; }
  int GetValuesVisited() const { return valuesVisited_; }
  std::string GetCurrentKey() const { return currentKey_; }

  // The view whose expansion rules the path checks apply (see
  // checkers/PathRules.h); kShared until set.
  RegView GetView() const { return view_; }
  void SetView(RegView view) { view_ = view; }

  // Existence answers (file attributes, or INVALID_FILE_ATTRIBUTES) keyed
  // by the exact candidate text. Kept only while remembering is on: a scan
  // turns it on for its length, since answers cannot change meanwhile and a
  // file named by a thousand entries is then looked up once. Turning it off
  // forgets everything.
  void SetRemembering(bool on);
  // True and `attributes` set when an answer for `path` is remembered;
  // `attributes` untouched otherwise.
  bool Recall(const std::string& path, DWORD& attributes) const;
  // Does nothing while remembering is off.
  void Remember(const std::string& path, DWORD attributes);
  // The views of a key, as ViewsOf (engine/RegView.h) gives them, asked of
  // the registry once per key while remembering is on: which keys 64-bit
  // Windows keeps apart does not change during a scan, and the question
  // costs six registry calls.
  std::vector<std::string> ViewsOf(HKEY root, const std::string& path);
  // Folders a lookup showed to be missing (or no folder at all): nothing
  // below them can exist for the rest of the scan either. Kept, and forgotten,
  // with the answers; the caller decides which paths may be judged this way.
  void RememberMissingFolder(const std::string& folder);
  // Whether some folder `path` lies in, at any depth, is remembered as
  // missing. Paths are compared as written, with backslashes between names.
  bool IsBelowMissingFolder(const std::string& path) const;

 private:
  // Asked at every step of every walk: a flag costs nothing to read, where
  // a wait on an event is a kernel call (a server round trip under Wine).
  std::atomic<bool> cancelled_{false};
  const CScanContext* owner_ = nullptr;
  IRegProgressCallback* callback_ = nullptr;
  std::string currentKey_;
  int keysVisited_ = 0;
  int valuesVisited_ = 0;
  RegView view_ = RegView::kShared;
  bool remembering_ = false;
  std::unordered_map<std::string, DWORD> answers_;
  std::unordered_set<std::string> missingFolders_;
  std::map<std::pair<HKEY, std::string>, std::vector<std::string>> views_;
};

}  // namespace RegCheck
