#include "engine/RegistryAction.h"

#include <algorithm>

namespace RegCheck {

void CRegistryAction::Release() {
  if (owner_) {
    owner_->Remove(this);
  } else {
    delete this;
  }
}

void CActionList::Add(CRegistryAction* action) {
  if (filter_ && filter_->Excludes(*action)) {
    delete action;
    return;
  }
  action->owner_ = this;
  actions_.push_back(action);
}

void CActionList::TakeAll(CActionList& other) {
  Container moving;
  moving.swap(other.actions_);
  for (CRegistryAction* action : moving) Add(action);
}

int CActionList::Remove(CRegistryAction* action) {
  auto it = std::find(actions_.begin(), actions_.end(), action);
  if (it == actions_.end()) return 0;
  actions_.erase(it);
  action->owner_ = nullptr;
  delete action;
  return 1;
}

void CActionList::Clear() {
  // Take the entries first so that a destructor never sees a half-cleared list.
  Container doomed;
  doomed.swap(actions_);
  for (CRegistryAction* action : doomed) {
    action->owner_ = nullptr;
    delete action;
  }
}

int CActionList::SelectedCount() const {
  return static_cast<int>(std::count_if(actions_.begin(), actions_.end(),
                                        [](const CRegistryAction* a) { return a->IsSelected() != 0; }));
}

int CActionList::CountInCategory(int category) const {
  int count = 0;
  for (CRegistryAction* action : actions_)
    if (action->GetCategory() == category) ++count;
  return count;
}

}  // namespace RegCheck
