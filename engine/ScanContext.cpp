#include "engine/ScanContext.h"

namespace RegCheck {

void CScanContext::OnKeyVisited(const std::string& keyText) {
  ++keysVisited_;
  currentKey_ = keyText;
  if (callback_) callback_->OnProgress();
}

void CScanContext::OnValueVisited(const std::string& keyText) {
  ++valuesVisited_;
  currentKey_ = keyText;
  if (callback_) callback_->OnProgress();
}

void CScanContext::ResetCounters() {
  keysVisited_ = 0;
  valuesVisited_ = 0;
}

void CScanContext::AddVisits(int keys, int values) {
  keysVisited_ += keys;
  valuesVisited_ += values;
  if (callback_) callback_->OnProgress();
}

void CScanContext::SetRemembering(bool on) {
  remembering_ = on;
  if (on) return;
  answers_.clear();
  missingFolders_.clear();
  views_.clear();
}

bool CScanContext::Recall(const std::string& path, DWORD& attributes) const {
  auto found = answers_.find(path);
  if (found == answers_.end()) return false;
  attributes = found->second;
  return true;
}

void CScanContext::Remember(const std::string& path, DWORD attributes) {
  if (remembering_) answers_.emplace(path, attributes);
}

std::vector<std::string> CScanContext::ViewsOf(HKEY root, const std::string& path) {
  if (!remembering_) return RegCheck::ViewsOf(root, path);
  auto found = views_.find({root, path});
  if (found == views_.end()) found = views_.emplace(std::make_pair(root, path), RegCheck::ViewsOf(root, path)).first;
  return found->second;
}

void CScanContext::RememberMissingFolder(const std::string& folder) {
  if (remembering_) missingFolders_.insert(folder);
}

bool CScanContext::IsBelowMissingFolder(const std::string& path) const {
  if (missingFolders_.empty()) return false;
  for (size_t slash = path.find('\\'); slash != std::string::npos;
       slash = path.find('\\', slash + 1))
    if (missingFolders_.count(path.substr(0, slash))) return true;
  return false;
}

}  // namespace RegCheck
