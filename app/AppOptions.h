#pragma once
// The user's three options and the two start flags of the command line.

class CAppOptions {
 public:
  // Loads the three options; both start flags start cleared.
  CAppOptions();

  // Reads "ShowSplash", "PromptFix" and "UseSound" (missing values give 1).
  void Load();
  // Writes the three options as DWORD values.
  void Save() const;

  int GetShowSplash() const { return showSplash_; }
  void SetShowSplash(int on) { showSplash_ = on; }
  int GetPromptToFix() const { return promptToFix_; }
  void SetPromptToFix(int on) { promptToFix_ = on; }
  int GetUseSound() const { return useSound_; }
  void SetUseSound(int on) { useSound_ = on; }
  // Main window hidden at start ("fast" or "scan").
  int GetBackgroundMode() const { return backgroundMode_; }
  void SetBackgroundMode(int on) { backgroundMode_ = on; }
  // Scan at once and report through the tray ("scan"); cleared when the
  // user opens the main window.
  int GetScanAtStart() const { return scanAtStart_; }
  void SetScanAtStart(int on) { scanAtStart_ = on; }

 private:
  int showSplash_ = 1;
  int promptToFix_ = 1;
  int useSound_ = 1;
  int backgroundMode_ = 0;
  int scanAtStart_ = 0;
};

// The process's options, created (and loaded) on first use.
CAppOptions& GetAppOptions();
