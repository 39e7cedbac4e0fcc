#include "app/cli/ReportFormat.h"

namespace RegCheck {

bool TakeFormatOption(std::vector<std::string>& args, ReportFormat& format, std::string& error) {
  ReportFormat chosen = format;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string value;
    if (args[i] == "--format") {
      if (i + 1 >= args.size()) {
        error = "--format needs tsv or json";
        return false;
      }
      value = args[++i];
    } else if (args[i].rfind("--format=", 0) == 0) {
      value = args[i].substr(9);
    } else {
      rest.push_back(args[i]);
      continue;
    }
    if (value == "json") {
      chosen = ReportFormat::kJson;
    } else if (value == "tsv") {
      chosen = ReportFormat::kTsv;
    } else {
      error = "unknown format \"" + value + "\" (tsv or json)";
      return false;
    }
  }
  args.swap(rest);
  format = chosen;
  return true;
}

void BeginJsonReport(CJsonWriter& json, const char* command) {
  json.BeginObject();
  json.Field("schema", kJsonSchemaVersion);
  json.Field("command", command);
}

}  // namespace RegCheck
