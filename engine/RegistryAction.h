#pragma once
// One found error, and the owning list the checkers append to.

#include <string>
#include <vector>

namespace RegCheck {

class CActionList;

class CRegistryAction {
 public:
  CRegistryAction() = default;
  CRegistryAction(const CRegistryAction&) = delete;
  CRegistryAction& operator=(const CRegistryAction&) = delete;

  // The category bit of the checker that made the action.
  virtual int GetCategory() = 0;
  // Removes the entry through the backup manager; 1 on success, 0 otherwise.
  virtual int Fix() = 0;
  // One line saying what is wrong; replaces `out`, returns 1.
  virtual int GetDescription(std::string& out) = 0;
  // Where in the registry, with root abbreviation (and value name); returns 1.
  virtual int GetLocation(std::string& out) = 0;
  // Destroying an action does not touch its list: the list unlinks it first.
  virtual ~CRegistryAction() = default;

  int IsSelected() const { return selected_; }
  void SetSelected(int selected) { selected_ = selected; }
  CActionList* GetOwner() const { return owner_; }

  // Removes the action from its owner, which destroys it, or destroys it
  // directly when it is in no list. The action must not be used afterwards.
  void Release();

 private:
  friend class CActionList;
  CActionList* owner_ = nullptr;
  int selected_ = 1;
};

// Decides which found errors a list turns away (the user's ignore list).
class IActionFilter {
 public:
  virtual bool Excludes(CRegistryAction& action) const = 0;

 protected:
  ~IActionFilter() = default;
};

class CActionList {
 public:
  using Container = std::vector<CRegistryAction*>;

  CActionList() = default;
  ~CActionList() { Clear(); }
  CActionList(const CActionList&) = delete;
  CActionList& operator=(const CActionList&) = delete;

  // Takes ownership and appends; an action the filter excludes is destroyed
  // at once instead, so callers must not use the pointer after Add.
  void Add(CRegistryAction* action);
  // Consulted by Add until replaced; null (the default) admits everything.
  // The filter must outlive its use.
  void SetFilter(const IActionFilter* filter) { filter_ = filter; }
  // Moves every action of `other` to the end of this list, in their order
  // and through this list's filter, and leaves `other` empty.
  void TakeAll(CActionList& other);
  // Unlinks and destroys the first entry holding `action`; 0 when absent.
  int Remove(CRegistryAction* action);
  // Destroys every action in list order and empties the list.
  void Clear();
  int Count() const { return static_cast<int>(actions_.size()); }
  int SelectedCount() const;
  int CountInCategory(int category) const;

  CRegistryAction* At(int index) const { return actions_[static_cast<size_t>(index)]; }
  Container::const_iterator begin() const { return actions_.begin(); }
  Container::const_iterator end() const { return actions_.end(); }

 private:
  Container actions_;
  const IActionFilter* filter_ = nullptr;
};

}  // namespace RegCheck
