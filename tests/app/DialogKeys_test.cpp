// Enter and Esc answer the scheduler dialog, run modally as the options
// panel runs it, with real key presses; what it stored is read back from
// the task scheduler. Runs outside the registry sandbox, which would hide
// the scheduler's COM classes.

#include <gtest/gtest.h>

#include "KeyInput.h"
#include "app/SchedulerDlg.h"
#include "app/schedule/ScheduledTask.h"
#include "res/resource.h"

using namespace keytest;

namespace {

class SchedulerKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(task_.Available());
    task_.Delete();
    ASSERT_FALSE(task_.Load(choice_));
  }
  void TearDown() override { task_.Delete(); }

  // Runs the dialog modally while a helper thread ticks "Automatically
  // run" with Space (it has the focus first) and answers with `answer`;
  // returns the dialog's result.
  INT_PTR TickAndAnswer(WORD answer) {
    ModalKeys keys(IDC_SCHED_ENABLE, [answer](HWND dialog, std::vector<std::string>& problems) {
      HWND enable = GetDlgItem(dialog, IDC_SCHED_ENABLE);
      Expect(WaitFor([&] { return FocusOf(dialog) == enable; }), "the tick box has no focus",
             problems);
      SendKey(VK_SPACE);
      Expect(WaitFor([&] { return SendMessageA(enable, BM_GETCHECK, 0, 0) == BST_CHECKED; }),
             "Space did not tick", problems);
      SendKey(answer);
    });
    CSchedulerDlg dialog;
    const INT_PTR result = dialog.DoModal(nullptr);
    EXPECT_EQ("", keys.Problems());
    return result;
  }

  RegCheck::CScheduledTask task_;
  RegCheck::ScheduleChoice choice_;
};

TEST_F(SchedulerKeysTest, EscCancelsAndStoresNothing) {
  EXPECT_EQ(IDCANCEL, TickAndAnswer(VK_ESCAPE));
  EXPECT_FALSE(task_.Load(choice_));
}

TEST_F(SchedulerKeysTest, EnterIsOkAndStoresTheTickedSchedule) {
  EXPECT_EQ(IDOK, TickAndAnswer(VK_RETURN));
  ASSERT_TRUE(task_.Load(choice_));
  // Ticking starts from the first day of the month.
  EXPECT_EQ(RegCheck::kMonthly, choice_.frequency);
  EXPECT_EQ(0, choice_.dayIndex);
}

}  // namespace
