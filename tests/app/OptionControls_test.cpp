// The options panel in the running program: its boxes show and store the
// options at once, the sound option decides whether the next scan with
// errors plays the sound, and "Schedule..." opens the scheduler dialog.

#include "AppFixture.h"

#include <mmsystem.h>

#include <cstring>

#include "app/OptionControls.h"
#include "app/SchedulerDlg.h"
#include "engine/ScanCategories.h"
#include "res/resource.h"
#include "UncoveredCapture.h"

using namespace apptest;
using namespace RegCheck;

namespace {

// Records the program's PlaySoundA calls instead of playing: the import
// table entry of this test program is pointed at a recorder while the
// object lives.
class SoundRecorder {
 public:
  SoundRecorder() { slot_ = FindImport("winmm.dll", "PlaySoundA"); Swap(reinterpret_cast<void*>(&Record)); }
  ~SoundRecorder() { Swap(original_); }
  bool Installed() const { return slot_ != nullptr; }

  static int calls;
  static LPCSTR lastSound;
  static HMODULE lastModule;
  static DWORD lastFlags;

 private:
  static BOOL WINAPI Record(LPCSTR sound, HMODULE module, DWORD flags) {
    ++calls;
    lastSound = sound;
    lastModule = module;
    lastFlags = flags;
    return TRUE;
  }

  void Swap(void* to) {
    if (!slot_) return;
    DWORD old = 0;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
    if (to != original_) original_ = *slot_;
    *slot_ = to;
    VirtualProtect(slot_, sizeof *slot_, old, &old);
  }

  // The import address table entry of `function` from `dll` in this
  // program, matched by name or by the address the loader bound.
  static void** FindImport(const char* dll, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    HMODULE module = GetModuleHandleA(dll);
    const ULONG_PTR bound =
        module ? reinterpret_cast<ULONG_PTR>(GetProcAddress(module, function)) : 0;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name; ++imp) {
      if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), dll) != 0) continue;
      auto* iat = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
      auto* names = imp->OriginalFirstThunk
                        ? reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk)
                        : nullptr;
      for (int i = 0; iat[i].u1.Function; ++i) {
        bool match = bound && iat[i].u1.Function == bound;
        if (names && !IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) {
          auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData);
          match = match || strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0;
        }
        if (match) return reinterpret_cast<void**>(&iat[i].u1.Function);
      }
    }
    return nullptr;
  }

  void** slot_ = nullptr;
  void* original_ = nullptr;
};

int SoundRecorder::calls = 0;
LPCSTR SoundRecorder::lastSound = nullptr;
HMODULE SoundRecorder::lastModule = nullptr;
DWORD SoundRecorder::lastFlags = 0;

class OptionControlsTest : public AppTest {
 protected:
  void ShowOptions() {
    Click(Frame().GetDlgItem(IDC_PANEL_OPTIONS));
    ASSERT_EQ(CWorkArea::kOptions, Work().GetPanelIndex());
  }
  void ShowScan() {
    Click(Frame().GetDlgItem(IDC_PANEL_SCAN));
    ASSERT_EQ(CWorkArea::kScan, Work().GetPanelIndex());
  }
  HWND Box(UINT id) { return Work().GetDlgItem(static_cast<int>(id)); }
  bool Ticked(UINT id) { return SendMessageA(Box(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  RECT InWorkArea(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, Work().GetHwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  // A scan of the shared DLL row with two errors planted; no box follows
  // when the prompt option is off.
  void ScanWithErrors() {
    TickOnly(kCatSharedDll);
    Click(Panel().GetScanButton());
    ASSERT_EQ(2, Panel().GetResults().Count());
  }
};

TEST_F(OptionControlsTest, BoxesShowTheStoredOptionsAndEachStoresItsOwnValueAtOnce) {
  SetOption("ShowSplash", 0);
  SetOption("UseSound", 0);
  SetOption("PromptFix", 1);
  Start();
  ShowOptions();
  EXPECT_EQ(0u, Work().GetDescription().GetWindowText().find("In this section you can customize"));

  struct Row {
    UINT id;
    const char* text;
    const char* value;
    RECT rect;
  };
  const Row rows[] = {
      {IDC_OPT_SPLASH, "Show splash screen on software load", "ShowSplash", {2, 80, 300, 100}},
      {IDC_OPT_SOUND, "Play sound on errors found", "UseSound", {2, 105, 300, 125}},
      {IDC_OPT_PROMPTFIX, "Prompt to fix errors after scan complete", "PromptFix", {2, 130, 300, 150}},
  };
  for (const Row& row : rows) {
    HWND box = Box(row.id);
    ASSERT_NE(nullptr, box) << row.id;
    EXPECT_TRUE(IsWindowVisible(box)) << row.id;
    EXPECT_EQ(row.text, WindowTextOf(box));
    EXPECT_EQ(static_cast<LONG>(BS_AUTOCHECKBOX), GetWindowLongA(box, GWL_STYLE) & BS_TYPEMASK);
    RECT r = InWorkArea(box);
    EXPECT_EQ(row.rect.left, r.left) << row.id;
    EXPECT_EQ(row.rect.top, r.top) << row.id;
    EXPECT_EQ(row.rect.right, r.right) << row.id;
    EXPECT_EQ(row.rect.bottom, r.bottom) << row.id;
  }
  EXPECT_FALSE(Ticked(IDC_OPT_SPLASH));
  EXPECT_FALSE(Ticked(IDC_OPT_SOUND));
  EXPECT_TRUE(Ticked(IDC_OPT_PROMPTFIX));

  // Each click flips exactly its own value, in the registry and in the
  // options the program reads.
  DWORD expected[3] = {0, 0, 1};
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 3; ++i) {
      Click(Box(rows[i].id));
      expected[i] ^= 1;
      for (int j = 0; j < 3; ++j)
        EXPECT_EQ(expected[j], ReadSetting(rows[j].value)) << "after " << rows[i].value;
      EXPECT_EQ(expected[i] != 0, Ticked(rows[i].id));
    }
  }
  CAppOptions& options = GetAppOptions();
  EXPECT_EQ(0, options.GetShowSplash());
  EXPECT_EQ(0, options.GetUseSound());
  EXPECT_EQ(1, options.GetPromptToFix());

  HWND schedule = Box(IDC_OPT_SCHEDULE);
  ASSERT_NE(nullptr, schedule);
  EXPECT_TRUE(IsWindowVisible(schedule));
  EXPECT_EQ("Schedule...", WindowTextOf(schedule));
  RECT r = InWorkArea(schedule);
  EXPECT_EQ(2, r.left);
  EXPECT_EQ(210, r.top);
  EXPECT_EQ(102, r.right);
  EXPECT_EQ(234, r.bottom);

  // Leaving the panel hides all four.
  ShowScan();
  for (UINT id : {IDC_OPT_SPLASH, IDC_OPT_SOUND, IDC_OPT_PROMPTFIX, IDC_OPT_SCHEDULE})
    EXPECT_FALSE(IsWindowVisible(Box(id))) << id;
}

TEST_F(OptionControlsTest, UntickingTheSoundSilencesTheNextScanWithErrors) {
  SetOption("UseSound", 1);
  SetOption("PromptFix", 0);
  PlantMissingSharedDll("first.dll");
  PlantMissingSharedDll("second.dll");
  SoundRecorder recorder;
  ASSERT_TRUE(recorder.Installed());
  SoundRecorder::calls = 0;
  Start();

  // With the option on the scan plays the program's wave resource.
  ScanWithErrors();
  ASSERT_EQ(1, SoundRecorder::calls);
  EXPECT_EQ(MAKEINTRESOURCEA(IDW_SCANDONE), SoundRecorder::lastSound);
  EXPECT_EQ(GetModuleHandleA(nullptr), SoundRecorder::lastModule);
  EXPECT_EQ(static_cast<DWORD>(SND_RESOURCE | SND_ASYNC), SoundRecorder::lastFlags);

  ShowOptions();
  ASSERT_TRUE(Ticked(IDC_OPT_SOUND));
  Click(Box(IDC_OPT_SOUND));
  EXPECT_EQ(0u, ReadSetting("UseSound"));
  EXPECT_EQ(0u, ReadSetting("PromptFix"));

  ShowScan();
  ScanWithErrors();
  EXPECT_EQ(1, SoundRecorder::calls) << "the scan played the sound with the option off";

  // Ticked again, the sound is back.
  ShowOptions();
  Click(Box(IDC_OPT_SOUND));
  EXPECT_EQ(1u, ReadSetting("UseSound"));
  ShowScan();
  ScanWithErrors();
  EXPECT_EQ(2, SoundRecorder::calls);
}

TEST_F(OptionControlsTest, ScheduleButtonRunsTheSchedulerOverTheMainWindow) {
  // COM finds the task scheduler's classes under the real
  // HKEY_LOCAL_MACHINE, which the sandbox hides. Nothing in this test reads
  // machine values otherwise, so it lifts that one redirection.
  ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr));
  Start();
  ShowOptions();
  HWND owner = reinterpret_cast<HWND>(-1);
  bool enabledWhileOpen = true;
  int available = -1;
  DialogDriver driver(IDC_SCHED_ENABLE, [&](HWND dialog) {
    owner = GetWindow(dialog, GW_OWNER);
    enabledWhileOpen = IsWindowEnabled(Frame().GetHwnd()) != FALSE;
    auto* object = dynamic_cast<CSchedulerDlg*>(fw::CWnd::FromHandle(dialog));
    available = object ? object->SchedulerAvailable() : -2;
    Press(dialog, IDCANCEL);
  });
  Click(Box(IDC_OPT_SCHEDULE));
  ASSERT_TRUE(driver.Wait());
  EXPECT_EQ(Frame().GetHwnd(), owner);
  EXPECT_FALSE(enabledWhileOpen) << "the dialog was not modal";
  EXPECT_EQ(1, available) << "the dialog could not reach the task scheduler";
  EXPECT_TRUE(IsWindowEnabled(Frame().GetHwnd()));
}

TEST_F(OptionControlsTest, Screenshot) {
  Start();
  ShowOptions();
  EXPECT_TRUE(WriteScreenshot(Frame().GetHwnd(), POINT{600, 20}, "options.png"));
}

}  // namespace
