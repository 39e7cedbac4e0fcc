#include "app/cli/IgnoreCommands.h"

#include <cstdlib>

#include "app/cli/CategoryList.h"
#include "app/cli/ConsoleCommands.h"
#include "engine/IgnoreList.h"

namespace RegCheck {

namespace {

int Fail(std::ostream& err, const std::string& problem, int code = kExitUsage) {
  err << "varnholt-cli: " << problem << '\n';
  return code;
}

// One category, by name or bit; the ignore list keys on exactly one.
bool ParseOneCategory(const std::string& word, int& category, std::string& error) {
  int mask = 0;
  if (!ParseCategoryList(word, mask, error)) return false;
  if (mask == 0 || (mask & (mask - 1)) != 0) {
    error = "\"" + word + "\" is not a single category";
    return false;
  }
  category = mask;
  return true;
}

std::string ErrorText(LONG rc) { return "the registry answered error " + std::to_string(rc); }

int List(ReportFormat format, std::ostream& out) {
  const std::vector<IgnoreEntry> entries = ReadIgnoreList();
  if (format == ReportFormat::kJson) {
    CJsonWriter json(out);
    BeginJsonReport(json, "ignore");
    json.Key("entries");
    json.BeginArray();
    for (size_t i = 0; i < entries.size(); ++i) {
      json.BeginObject();
      json.Field("number", static_cast<int64_t>(i + 1));
      json.Field("category", CategoryShortName(entries[i].category));
      json.Field("bit", entries[i].category);
      json.Field("location", entries[i].location);
      json.Field("description", entries[i].description);
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return kExitOk;
  }
  for (size_t i = 0; i < entries.size(); ++i)
    out << i + 1 << '\t' << CategoryShortName(entries[i].category) << '\t' << entries[i].location
        << '\t' << entries[i].description << '\n';
  return kExitOk;
}

int Add(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 4) return Fail(err, "usage: ignore add CATEGORY LOCATION");
  IgnoreEntry entry;
  std::string error;
  if (!ParseOneCategory(args[2], entry.category, error)) return Fail(err, error);
  entry.location = args[3];
  if (entry.location.empty()) return Fail(err, "the location is empty");
  const LONG rc = AddIgnoreEntry(entry);
  if (rc == ERROR_INVALID_PARAMETER)
    return Fail(err, "the location is too long to keep (at most about " +
                         std::to_string(kMaxIgnoreNameLength) + " characters)");
  if (rc != ERROR_SUCCESS) return Fail(err, "cannot store the entry: " + ErrorText(rc), kExitFindings);
  out << "ignored\t" << CategoryShortName(entry.category) << '\t' << entry.location << '\n';
  return kExitOk;
}

int Remove(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  IgnoreEntry entry;
  if (args.size() == 3) {
    const std::vector<IgnoreEntry> entries = ReadIgnoreList();
    char* end = nullptr;
    const long number = strtol(args[2].c_str(), &end, 10);
    if (args[2].empty() || *end != '\0' || number < 1 || static_cast<size_t>(number) > entries.size())
      return Fail(err, "\"" + args[2] + "\" is no entry number (" + std::to_string(entries.size()) +
                           " listed; see 'varnholt-cli ignore list')");
    entry = entries[static_cast<size_t>(number - 1)];
  } else if (args.size() == 4) {
    std::string error;
    if (!ParseOneCategory(args[2], entry.category, error)) return Fail(err, error);
    entry.location = args[3];
  } else {
    return Fail(err, "usage: ignore remove N|CATEGORY LOCATION");
  }
  const LONG rc = RemoveIgnoreEntry(entry.category, entry.location);
  if (rc == ERROR_FILE_NOT_FOUND)
    return Fail(err, "that error is not ignored (see 'varnholt-cli ignore list')");
  if (rc != ERROR_SUCCESS) return Fail(err, "cannot remove the entry: " + ErrorText(rc), kExitFindings);
  out << "removed\t" << CategoryShortName(entry.category) << '\t' << entry.location << '\n';
  return kExitOk;
}

}  // namespace

int RunIgnoreCommand(const std::vector<std::string>& args, ReportFormat format, std::ostream& out,
                     std::ostream& err) {
  const std::string action = args.size() > 1 ? args[1] : std::string();
  if (action == "list" && args.size() == 2) return List(format, out);
  if (format == ReportFormat::kJson && (action == "add" || action == "remove"))
    return Fail(err, "--format json is not available for ignore " + action);
  if (action == "add") return Add(args, out, err);
  if (action == "remove") return Remove(args, out, err);
  return Fail(err, "usage: ignore add CATEGORY LOCATION | ignore list | ignore remove N|CATEGORY LOCATION");
}

}  // namespace RegCheck
