#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "framework/Dialog.h"
#include "framework/DialogTemplate.h"
#include "support/gui/MessagePump.h"

namespace {

class TestDialog : public fw::CDialog {
 public:
  using fw::CDialog::CDialog;
  std::vector<UINT> seen;
  int initCalls = 0;
  std::function<void(TestDialog&)> onInit;
  bool ownOk = false;
  int okCalls = 0;

  bool OnCmdMsg(UINT id, UINT code, HWND ctl) override {
    if (ownOk && id == IDOK) {
      ++okCalls;
      EndDialog(55);
      return true;
    }
    return fw::CDialog::OnCmdMsg(id, code, ctl);
  }

 protected:
  BOOL OnInitDialog() override {
    ++initCalls;
    if (onInit) onInit(*this);
    return TRUE;
  }
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    seen.push_back(msg);
    return fw::CDialog::WindowProc(msg, w, l);
  }
};

size_t IndexOf(const std::vector<UINT>& v, UINT msg) {
  return std::find(v.begin(), v.end(), msg) - v.begin();
}

fw::CDialogTemplate CodeTemplate() {
  fw::CDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 150, 80,
                        "Code dialog");
  t.AddItem("BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 50, 40, 14);
  t.AddItem("BUTTON", "Cancel", IDCANCEL, WS_VISIBLE | WS_TABSTOP, 60, 50, 40, 14);
  t.AddItem("STATIC", "Hello", 301, WS_VISIBLE, 10, 10, 100, 10);
  return t;
}

TEST(DialogTest, CodeTemplateCreatesItsControls) {
  fw::CDialogTemplate t = CodeTemplate();
  EXPECT_EQ(t.ItemCount(), 3);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(t.Get()) % 4, 0u);
  TestDialog dlg(&t);
  std::string text;
  dlg.onInit = [&](TestDialog& d) {
    char buf[32] = {};
    GetDlgItemTextA(d, 301, buf, sizeof buf);
    text = buf;
    d.EndDialog(9);
  };
  EXPECT_EQ(dlg.DoModal(nullptr), 9);
  EXPECT_EQ(text, "Hello");
  EXPECT_EQ(dlg.initCalls, 1);
  EXPECT_EQ(dlg.GetHwnd(), nullptr) << "unbound once the dialog is gone";
}

TEST(DialogTest, DialogSeesCreationMessagesBeforeInitDialog) {
  fw::CDialogTemplate t = CodeTemplate();
  TestDialog dlg(&t);
  dlg.onInit = [](TestDialog& d) { d.EndDialog(1); };
  ASSERT_EQ(dlg.DoModal(nullptr), 1);
  size_t create = IndexOf(dlg.seen, WM_CREATE);
  size_t init = IndexOf(dlg.seen, WM_INITDIALOG);
  ASSERT_LT(create, dlg.seen.size());
  ASSERT_LT(init, dlg.seen.size());
  EXPECT_LT(create, init);
}

TEST(DialogTest, EscapeCancelsAndEnterConfirms) {
  fw::CDialogTemplate t = CodeTemplate();
  {
    TestDialog dlg(&t);
    // Keys go through the modal loop's dialog-message handling.
    dlg.onInit = [](TestDialog& d) {
      PostMessageA(d.GetDlgItem(IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    };
    EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
  }
  {
    TestDialog dlg(&t);
    dlg.onInit = [](TestDialog& d) { PostMessageA(d.GetDlgItem(IDOK), WM_KEYDOWN, VK_RETURN, 0); };
    EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
  }
  {
    TestDialog dlg(&t);
    dlg.onInit = [](TestDialog& d) { PostMessageA(d, WM_CLOSE, 0, 0); };
    EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
  }
}

TEST(DialogTest, CommandHandlerOverridesDefaultOk) {
  fw::CDialogTemplate t = CodeTemplate();
  TestDialog dlg(&t);
  dlg.ownOk = true;
  dlg.onInit = [](TestDialog& d) {
    PostMessageA(d.GetDlgItem(IDOK), BM_CLICK, 0, 0);
  };
  EXPECT_EQ(dlg.DoModal(nullptr), 55);
  EXPECT_EQ(dlg.okCalls, 1);
}

TEST(DialogTest, ResourceTemplate) {
  TestDialog dlg(200);
  std::string caption;
  bool hasCheck = false;
  dlg.onInit = [&](TestDialog& d) {
    caption = d.GetWindowText();
    hasCheck = d.GetDlgItem(300) != nullptr;
    PostMessageA(d.GetDlgItem(IDCANCEL), BM_CLICK, 0, 0);
  };
  EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(caption, "Template dialog");
  EXPECT_TRUE(hasCheck);
}

TEST(DialogTest, MissingTemplateFails) {
  TestDialog dlg(9999);
  EXPECT_EQ(dlg.DoModal(nullptr), -1);
  EXPECT_EQ(dlg.initCalls, 0);
  EXPECT_FALSE(dlg.CreateModeless(nullptr));
}

TEST(DialogTest, ModelessDialogLivesUntilEnded) {
  fw::CDialogTemplate t = CodeTemplate();
  TestDialog dlg(&t);
  ASSERT_TRUE(dlg.CreateModeless(nullptr));
  HWND hwnd = dlg.GetHwnd();
  EXPECT_EQ(dlg.initCalls, 1);
  EXPECT_FALSE(dlg.IsModal());
  guitest::PumpPending();
  EXPECT_TRUE(IsWindow(hwnd));
  // OK of a modeless dialog destroys it.
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(dlg.GetHwnd(), nullptr);
}

}  // namespace
