// Ownership and order of the found-error list.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/RegistryAction.h"

using namespace RegCheck;

namespace {

// Logs its destruction so tests can see which actions died and in what order.
class LoggedAction : public CRegistryAction {
 public:
  LoggedAction(std::vector<std::string>& log, std::string name, int category = 0x2)
      : log_(log), name_(std::move(name)), category_(category) {}
  ~LoggedAction() override { log_.push_back(name_ + (GetOwner() ? " owned" : " free")); }
  int GetCategory() override { return category_; }
  int Fix() override { return 1; }
  int GetDescription(std::string& out) override {
    out = name_;
    return 1;
  }
  int GetLocation(std::string& out) override {
    out = "HKLM\\" + name_;
    return 1;
  }

 private:
  std::vector<std::string>& log_;
  std::string name_;
  int category_;
};

std::vector<std::string> Names(const CActionList& list) {
  std::vector<std::string> names;
  for (CRegistryAction* action : list) {
    std::string text;
    action->GetDescription(text);
    names.push_back(text);
  }
  return names;
}

TEST(ActionList, NewActionIsSelectedAndUnowned) {
  std::vector<std::string> log;
  CActionList list;
  auto* action = new LoggedAction(log, "a");
  EXPECT_EQ(1, action->IsSelected());
  EXPECT_EQ(nullptr, action->GetOwner());
  list.Add(action);
  EXPECT_EQ(&list, action->GetOwner());
  action->SetSelected(0);
  EXPECT_EQ(0, list.SelectedCount());
}

TEST(ActionList, ReleaseRemovesExactlyThatEntryAndKeepsOrder) {
  std::vector<std::string> log;
  CActionList list;
  auto* a = new LoggedAction(log, "a");
  auto* b = new LoggedAction(log, "b");
  auto* c = new LoggedAction(log, "c");
  list.Add(a);
  list.Add(b);
  list.Add(c);
  b->Release();
  EXPECT_EQ((std::vector<std::string>{"a", "c"}), Names(list));
  // The list unlinks the action before destroying it.
  EXPECT_EQ((std::vector<std::string>{"b free"}), log);
}

TEST(ActionList, ReleaseOfAFreeActionDestroysItAlone) {
  std::vector<std::string> log;
  CActionList list;
  list.Add(new LoggedAction(log, "kept"));
  (new LoggedAction(log, "loose"))->Release();
  EXPECT_EQ((std::vector<std::string>{"loose free"}), log);
  EXPECT_EQ(1, list.Count());
}

TEST(ActionList, RemoveOfAForeignPointerChangesNothing) {
  std::vector<std::string> log;
  CActionList list, other;
  auto* mine = new LoggedAction(log, "mine");
  auto* theirs = new LoggedAction(log, "theirs");
  list.Add(mine);
  other.Add(theirs);
  EXPECT_EQ(0, list.Remove(theirs));
  EXPECT_EQ(1, list.Count());
  EXPECT_EQ(&other, theirs->GetOwner());
  EXPECT_TRUE(log.empty());
}

TEST(ActionList, ClearDestroysAllInListOrder) {
  std::vector<std::string> log;
  {
    CActionList list;
    list.Add(new LoggedAction(log, "1"));
    list.Add(new LoggedAction(log, "2"));
    list.Add(new LoggedAction(log, "3"));
    list.Clear();
    EXPECT_EQ(0, list.Count());
    EXPECT_EQ((std::vector<std::string>{"1 free", "2 free", "3 free"}), log);
    list.Add(new LoggedAction(log, "4"));
  }
  // Destroying the list clears what it still holds.
  EXPECT_EQ("4 free", log.back());
}

TEST(ActionList, CountsPerCategoryAndSelection) {
  std::vector<std::string> log;
  CActionList list;
  list.Add(new LoggedAction(log, "a", 0x40));
  list.Add(new LoggedAction(log, "b", 0x2));
  list.Add(new LoggedAction(log, "c", 0x40));
  list.At(2)->SetSelected(0);
  EXPECT_EQ(2, list.CountInCategory(0x40));
  EXPECT_EQ(1, list.CountInCategory(0x2));
  EXPECT_EQ(0, list.CountInCategory(0x200));
  EXPECT_EQ(2, list.SelectedCount());
}

}  // namespace
