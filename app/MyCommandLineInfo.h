#pragma once
// The program's switches: "fast" starts hidden in the tray, "scan" starts
// hidden and scans at once. Anything else is ignored.

#include "framework/CommandLineInfo.h"

class CAppOptions;

class CMyCommandLineInfo : public fw::CCommandLineInfo {
 public:
  // The switches set the start flags of `options`.
  explicit CMyCommandLineInfo(CAppOptions& options) : options_(options) {}

  // Only flags count, compared byte for byte ("/SCAN" and "scan" do nothing).
  void ParseParam(const char* param, bool flag, bool last) override;

 private:
  CAppOptions& options_;
};
