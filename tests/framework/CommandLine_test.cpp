#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/CommandLineInfo.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLineTest, SplitsLikeTheCRuntime) {
  EXPECT_EQ(fw::SplitCommandLine("\"C:\\Program Files\\app.exe\" /scan"),
            (Args{"C:\\Program Files\\app.exe", "/scan"}));
  EXPECT_EQ(fw::SplitCommandLine("app.exe   a\t\"b c\"  d"), (Args{"app.exe", "a", "b c", "d"}));
  EXPECT_EQ(fw::SplitCommandLine("app.exe a\\\\\"b c\""), (Args{"app.exe", "a\\b c"}));
  EXPECT_EQ(fw::SplitCommandLine("app.exe a\\\"b"), (Args{"app.exe", "a\"b"}));
  EXPECT_EQ(fw::SplitCommandLine("app.exe a\\b\\"), (Args{"app.exe", "a\\b\\"}));
  EXPECT_EQ(fw::SplitCommandLine("app.exe \"\""), (Args{"app.exe", ""}));
  EXPECT_EQ(fw::SplitCommandLine("app.exe"), (Args{"app.exe"}));
  EXPECT_EQ(fw::SplitCommandLine(""), Args{});
  EXPECT_EQ(fw::SplitCommandLine(nullptr), Args{});
}

struct Recorded {
  std::string param;
  bool flag;
  bool last;
  bool operator==(const Recorded& o) const {
    return param == o.param && flag == o.flag && last == o.last;
  }
};

class Recorder : public fw::CCommandLineInfo {
 public:
  std::vector<Recorded> calls;
  void ParseParam(const char* param, bool flag, bool last) override {
    calls.push_back({param, flag, last});
  }
};

TEST(CommandLineTest, FlagMarkerIsRemovedAndReported) {
  Recorder r;
  fw::ParseCommandLine("app.exe /scan -fast scan /SCAN -", r);
  ASSERT_EQ(r.calls.size(), 5u);
  EXPECT_EQ(r.calls[0], (Recorded{"scan", true, false}));
  EXPECT_EQ(r.calls[1], (Recorded{"fast", true, false}));
  EXPECT_EQ(r.calls[2], (Recorded{"scan", false, false}));
  EXPECT_EQ(r.calls[3], (Recorded{"SCAN", true, false}));
  EXPECT_EQ(r.calls[4], (Recorded{"", true, true}));
}

TEST(CommandLineTest, NoArgumentsNoCalls) {
  Recorder r;
  fw::ParseCommandLine("\"C:\\x y\\app.exe\"", r);
  EXPECT_TRUE(r.calls.empty());
}

}  // namespace
