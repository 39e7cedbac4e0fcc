// The console reports with --format json, read back with a real JSON parser:
// scan, fix (outcome and backup file), backups, the ignore list and a tool
// list, with names full of quotes, control characters and bytes above 0x7F.
// Also the ignore and export commands and their answers to bad input.

#include <windows.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

#include "app/cli/ConsoleCommands.h"
#include "engine/ScanCategories.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"

using namespace RegCheck;
using namespace testsupport;
using nlohmann::json;

namespace {

const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
const char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// `ansi` as UTF-8, through the ANSI code page the program's text is in.
std::string Utf8(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, ansi.data(),
                                                      static_cast<int>(ansi.size()), &wide[0],
                                                      static_cast<int>(wide.size()))));
  std::string utf8(wide.size() * 4, '\0');
  utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(),
                                                      static_cast<int>(wide.size()), &utf8[0],
                                                      static_cast<int>(utf8.size()), nullptr, nullptr)));
  return utf8;
}

class JsonReportsTest : public BackupSandboxTest {
 protected:
  int Run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    return RunConsoleCommand(args, out_, err_);
  }
  // Parses the output; a parse error fails the test with the text.
  json Parsed() {
    json document = json::parse(out_.str(), nullptr, false);
    EXPECT_FALSE(document.is_discarded()) << out_.str();
    return document;
  }

  std::ostringstream out_, err_;
};

TEST_F(JsonReportsTest, ScanFixAndBackupsParseWithEveryOddCharacter) {
  // Quote, backslash, tab, a control character and Latin-1 bytes.
  const std::string odd = temp_.PathOf("gone") + "\\q\"uo\tte\x01 caf\xe9 \xa9.dll";
  const std::string plain = temp_.PathOf("gone") + "\\plain.dll";
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, odd, 1);
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, plain, 1);

  ASSERT_EQ(kExitFindings, Run({"scan", "--categories", "SharedDll", "--format", "json"}));
  json scan = Parsed();
  EXPECT_EQ(1, scan["schema"]);
  EXPECT_EQ("scan", scan["command"]);
  ASSERT_EQ(1u, scan["categories"].size());
  EXPECT_EQ("SharedDll", scan["categories"][0]["name"]);
  EXPECT_EQ(kCatSharedDll, scan["categories"][0]["bit"]);
  EXPECT_EQ(2, scan["categories"][0]["count"]);
  ASSERT_EQ(2u, scan["findings"].size());
  EXPECT_EQ(2, scan["total"]);
  bool sawOdd = false;
  for (const json& finding : scan["findings"]) {
    EXPECT_EQ("SharedDll", finding["category"]);
    EXPECT_EQ("native", finding["view"]);
    EXPECT_FALSE(finding.contains("outcome"));
    if (finding["location"] == Utf8(std::string("HKLM\\") + kSharedDlls + " (VALUE:" + odd + ")")) {
      sawOdd = true;
      EXPECT_EQ(Utf8("Shared dll " + odd + " not exists"), finding["description"]);
    }
  }
  EXPECT_TRUE(sawOdd) << out_.str();

  ASSERT_EQ(kExitOk, Run({"fix", "--format=json", "--categories", "SharedDll"}));
  json fix = Parsed();
  EXPECT_EQ("fix", fix["command"]);
  EXPECT_EQ(2, fix["attempted"]);
  EXPECT_EQ(2, fix["fixed"]);
  ASSERT_EQ(2u, fix["findings"].size());
  for (const json& finding : fix["findings"]) EXPECT_EQ("fixed", finding["outcome"]);
  ASSERT_TRUE(fix["backup"].is_string());
  const std::string backup = fix["backup"];
  EXPECT_EQ(0u, backup.find(temp_.PathOf("Backup") + "\\{"));
  EXPECT_EQ(".rbk", backup.substr(backup.size() - 4));

  ASSERT_EQ(kExitOk, Run({"backups", "--format", "json"}));
  json backups = Parsed();
  ASSERT_EQ(1u, backups["sessions"].size());
  const json& current = backups["sessions"][0];
  EXPECT_TRUE(current["current"].get<bool>());
  EXPECT_TRUE(current["file"].is_null());
  EXPECT_GT(current["time"].get<int64_t>(), 1500000000);
  ASSERT_EQ(2u, current["operations"].size());
  EXPECT_EQ("value", current["operations"][0]["kind"]);
  EXPECT_EQ(1, current["operations"][0]["number"]);
}

TEST_F(JsonReportsTest, IgnoreCommandsRoundTripAndScanTotalsLeaveIgnoredOut) {
  const std::string kept = temp_.PathOf("gone") + "\\kept.dll";
  const std::string skipped = temp_.PathOf("gone") + "\\skipped.dll";
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, kept, 1);
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, skipped, 1);
  const std::string location = std::string("HKLM\\") + kSharedDlls + " (VALUE:" + skipped + ")";

  ASSERT_EQ(kExitOk, Run({"ignore", "add", "SharedDll", location}));
  ASSERT_EQ(kExitOk, Run({"ignore", "list", "--format", "json"}));
  json list = Parsed();
  ASSERT_EQ(1u, list["entries"].size());
  EXPECT_EQ("SharedDll", list["entries"][0]["category"]);
  EXPECT_EQ(Utf8(location), list["entries"][0]["location"]);

  ASSERT_EQ(kExitFindings, Run({"scan", "--categories", "SharedDll"}));
  EXPECT_EQ(std::string::npos, out_.str().find("skipped.dll")) << out_.str();
  EXPECT_NE(std::string::npos, out_.str().find("Shared DLLs entries: 1\nTotal: 1\n")) << out_.str();

  ASSERT_EQ(kExitOk, Run({"ignore", "list"}));
  EXPECT_EQ("1\tSharedDll\t" + location + "\t\n", out_.str());
  ASSERT_EQ(kExitOk, Run({"ignore", "remove", "1"}));
  ASSERT_EQ(kExitOk, Run({"ignore", "list"}));
  EXPECT_EQ("", out_.str());
  ASSERT_EQ(kExitFindings, Run({"scan", "--categories", "SharedDll"}));
  EXPECT_NE(std::string::npos, out_.str().find("Total: 2\n")) << out_.str();

  for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
           {"ignore"}, {"ignore", "add", "SharedDll"}, {"ignore", "add", "Nope", "HKLM\\X"},
           {"ignore", "add", "SharedDll,Fonts", "HKLM\\X"}, {"ignore", "add", "Fonts", ""},
           {"ignore", "remove", "1"}, {"ignore", "remove", "Fonts", "HKLM\\Never"},
           {"ignore", "add", "Fonts", "HKLM\\X", "--format", "json"},
           {"scan", "--format", "xml"}, {"scan", "--format"}, {"restore", "x", "--format", "json"},
           {"export"}, {"export", "missing.rbk"}}) {
    EXPECT_EQ(kExitUsage, Run(bad)) << bad.back();
    EXPECT_EQ(0u, err_.str().find("varnholt-cli: ")) << bad.back();
  }
  EXPECT_EQ(kExitOk, Run({"ignore", "list"}));
  EXPECT_EQ("", out_.str());
}

TEST_F(JsonReportsTest, ToolListAndExportOfABackupFile) {
  SetString(HKEY_CURRENT_USER, kRun, "Tab\tName", "C:\\t.exe");
  ASSERT_EQ(kExitOk, Run({"startup", "--format", "json"}));
  json startup = Parsed();
  EXPECT_EQ("startup", startup["command"]);
  ASSERT_EQ(1u, startup["entries"].size());
  EXPECT_EQ("HKCU\\" + std::string(kRun) + " (VALUE:Tab\tName)", startup["entries"][0]["location"]);
  EXPECT_EQ("native", startup["entries"][0]["view"]);

  ASSERT_EQ(kExitOk, Run({"startup", "remove", "1"}));
  const std::string reg = temp_.PathOf("out.reg");
  std::string file;
  {
    // The session is on disk once its manager is gone, as at program exit.
    SetBackupManagerForTesting(nullptr);
    manager_.reset();
    manager_.reset(new CBackupManager(temp_.PathOf("Backup")));
    SetBackupManagerForTesting(manager_.get());
    ASSERT_EQ(1u, manager_->GetSessions().size());
    file = manager_->GetSessions()[0]->GetFilePath();
  }
  ASSERT_EQ(kExitOk, Run({"export", file.substr(file.find_last_of('\\') + 1), reg}));
  EXPECT_NE(std::string::npos, out_.str().find("exported\t1 operations\t" + reg)) << out_.str();
  HANDLE handle = CreateFileA(reg.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, handle);
  char head[4] = {};
  DWORD got = 0;
  ReadFile(handle, head, sizeof head, &got, nullptr);
  CloseHandle(handle);
  EXPECT_EQ(std::string("\xff\xfeW\0", 4), std::string(head, got));
}

}  // namespace
